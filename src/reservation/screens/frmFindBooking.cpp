#include "reservation/screens/frmFindBooking.h"

#include "ui/Keys.h"
#include "ui/Notices.h"
#include "ui/ScreenRegistry.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
template <class W>
W *named(W *w, const char *name)
{
    w->setObjectName(QLatin1String(name));
    return w;
}
}  // namespace

frmFindBooking::frmFindBooking(QWidget *parent) : nbk::ui::Screen(parent)
{
    setObjectName(QStringLiteral("frmFindBooking"));
    setWindowTitle(QStringLiteral("Find Booking"));
    txtName = named(new QLineEdit(this), "txtName");
    txtPhone = named(new QLineEdit(this), "txtPhone");
    txtDate = named(new QLineEdit(this), "txtDate");
    txtDate->setPlaceholderText(QStringLiteral("DD/MM/YYYY"));
    txtRun = named(new QLineEdit(this), "txtRun");
    cmdFind = named(new QPushButton(QStringLiteral("&Find"), this), "cmdFind");
    lstFound = named(new QListWidget(this), "lstFound");
    cmdTicket = named(new QPushButton(QStringLiteral("Print &Ticket"), this), "cmdTicket");
    cmdCancelBooking = named(new QPushButton(QStringLiteral("&Cancel Booking"), this), "cmdCancelBooking");
    Command2 = named(new QPushButton(QStringLiteral("E&xit"), this), "Command2");

    auto *boxes = new QFormLayout;
    boxes->addRow(QStringLiteral("Passenger name"), txtName);
    boxes->addRow(QStringLiteral("Phone"), txtPhone);
    boxes->addRow(QStringLiteral("Journey date"), txtDate);
    boxes->addRow(QStringLiteral("Run number"), txtRun);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdFind);
    buttons->addStretch();
    buttons->addWidget(cmdTicket);
    buttons->addWidget(cmdCancelBooking);
    buttons->addWidget(Command2);
    auto *top = new QVBoxLayout(this);
    top->addLayout(boxes);
    top->addWidget(lstFound, 1);
    top->addLayout(buttons);

    auto chosen = [this] { return lstFound->currentRow() >= 0; };
    auto enableChoice = [this, chosen] {
        cmdTicket->setEnabled(chosen());
        cmdCancelBooking->setEnabled(chosen());
    };
    enableChoice();
    connect(lstFound, &QListWidget::currentRowChanged, this, enableChoice);
    connect(cmdFind, &QPushButton::clicked, this, [this] { cmdFind_Click(); });
    connect(cmdTicket, &QPushButton::clicked, this, [this] { openWithChosen(QStringLiteral("Ticket"), "Text2", "Command1"); });
    connect(cmdCancelBooking, &QPushButton::clicked, this,
            [this] { openWithChosen(QStringLiteral("frmCancel"), "txtcid", "cmbseats"); });
    connect(lstFound, &QListWidget::itemActivated, this,
            [this] { openWithChosen(QStringLiteral("Ticket"), "Text2", "Command1"); });
    connect(Command2, &QPushButton::clicked, this, [this] { close(); });
    nbk::ui::setDialogKeys(this, cmdFind, Command2);
    txtName->setFocus();
}

void frmFindBooking::cmdFind_Click()
{
    const FindBookingsOutcome o = FindBookings({txtName->text(), txtPhone->text(), txtDate->text(), txtRun->text()});
    found_ = o.found;
    lstFound->clear();
    for (const FoundBooking &b : found_)
        lstFound->addItem(foundBookingText(b));
    if (o.more)
        lstFound->addItem(QStringLiteral("... more bookings match: type more to narrow the search"));
    nbk::showNotices(o.notices);
    switch (o.focus) {
    case nbk::Focus::Name: txtName->setFocus(); break;
    case nbk::Focus::BookingDate: txtDate->setFocus(); break;
    case nbk::Focus::BookingRun: txtRun->setFocus(); break;
    default:
        if (!found_.empty()) {
            lstFound->setCurrentRow(0);
            lstFound->setFocus();
        }
    }
}

void frmFindBooking::openWithChosen(const QString &screen, const char *idBox, const char *focusBox)
{
    const int row = lstFound->currentRow();
    if (row < 0 || size_t(row) >= found_.size())
        return;
    QWidget *w = nbk::openScreen(screen);
    if (!w)
        return;
    if (auto *box = w->findChild<QLineEdit *>(QLatin1String(idBox))) {
        box->setText(QString::number(found_[size_t(row)].customerId));
        if (QWidget *next = w->findChild<QWidget *>(QLatin1String(focusBox)))
            next->setFocus();
    }
}
