#include "operations/screens/frmCancel.h"
#include "ui/Notices.h"

#include "operations/CancelReservation.h"
#include "ui/Keys.h"
#include "ui/MsgBox.h"
#include "data/session/Class1.h"
#include "reports/RefundSlip.h"
#include "reports/screens/ReportViews.h"

#include <QComboBox>
#include <algorithm>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmCancel::frmCancel(QWidget *parent) : nbk::ui::Screen(parent)
{
    setObjectName(QStringLiteral("frmCancel"));
    setWindowTitle(tr("Cancel Reservation"));
    Label1 = new QLabel(tr("Enter details to cancel"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont heading = Label1->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.3);
    Label1->setFont(heading);

    auto *Label2 = new QLabel(tr("Customer ID"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    txtcid = new QLineEdit(this);
    txtcid->setObjectName(QStringLiteral("txtcid"));
    auto *Label3 = new QLabel(tr("Number of seats to cancel"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    cmbseats = new QComboBox(this);
    cmbseats->setObjectName(QStringLiteral("cmbseats"));
    cmdCancel = new QPushButton(tr("Cancel Tickets"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    Command2 = new QPushButton(tr("Exit without Cancel"), this);
    Command2->setObjectName(QStringLiteral("Command2"));

    auto *grid = new QGridLayout;
    grid->addWidget(Label2, 0, 0);
    grid->addWidget(txtcid, 0, 1);
    grid->addWidget(Label3, 1, 0);
    grid->addWidget(cmbseats, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdCancel);
    buttons->addWidget(Command2);
    auto *top = new QVBoxLayout(this);
    top->addWidget(Label1, 0, Qt::AlignHCenter);
    top->addSpacing(12);
    top->addLayout(grid);
    top->addStretch();
    top->addLayout(buttons);

    connect(txtcid, &QLineEdit::textChanged, this, [this] { offerSeatsHeld(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    nbk::ui::setDialogKeys(this, cmdCancel, Command2);
    txtcid->setFocus();
    Form_Load();
}

void frmCancel::Form_Load()
{
    cmbseats->clear();
    cmbseats->addItem(tr("All"));
    for (int i = 1; i <= 10; ++i)
        cmbseats->addItem(QString::number(i));
    cmbseats->setCurrentIndex(0);
}

// The count list offers what the typed booking holds ("All" and each smaller count), so
// that nobody picks seats a booking does not have; an unknown id leaves the full list.
void frmCancel::offerSeatsHeld()
{
    const std::optional<int> held = SeatsHeld(txtcid->text());
    const int last = held ? *held - 1 : 10;
    if (cmbseats->count() == last + 1)
        return;
    const int was = cmbseats->currentIndex();
    cmbseats->clear();
    cmbseats->addItem(tr("All"));
    for (int i = 1; i <= last; ++i)
        cmbseats->addItem(QString::number(i));
    cmbseats->setCurrentIndex(was <= last ? was : 0);
}

void frmCancel::cmdCancel_Click()
{
    const QString cid = txtcid->text();
    const CancelOutcome done = CancelReservation(cid, qint16(std::max(0, cmbseats->currentIndex())), nbk::confirmByMessageBox());
    nbk::showNotices(done.notices);
    if (done.cancelled > 0)
        offerRefundSlip(cid);
    if (done.focus == nbk::Focus::CustomerId)
        txtcid->setFocus();
    if (done.closeWindow) {
        close();
        return;
    }
    if (done.cancelled > 0) {
        // the next booking starts from an empty box: Enter again must not reach this one
        txtcid->clear();
        cmbseats->setCurrentIndex(0);
        txtcid->setFocus();
    }
}

// The slip opens in its report window, ready to print, without another question between the
// clerk and the next booking; it is read back from the trail, as a reprint would be, so it
// says what was committed.
void frmCancel::offerRefundSlip(const QString &cid)
{
    if (!DbSession)
        return;
    const nbk::reports::RefundSlipOutcome o = nbk::reports::refundSlip(*DbSession, cid);
    if (o.message)
        nbk::ui::MsgBox(o.message->text, o.message->style, o.message->title);
    else
        nbk::reports::showRefundSlip(o.slip);
}

void frmCancel::Command2_Click() { close(); }
