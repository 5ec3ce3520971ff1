#include "reservation/screens/frmCustomer.h"
#include "ui/Notices.h"

#include "ui/ScreenRegistry.h"
#include "reservation/BookingSummary.h"
#include "reservation/SaveCustomer.h"
#include "ui/ChildWindows.h"
#include "ui/Keys.h"
#include "ui/MsgBox.h"
#include "ui/Twips.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <tuple>

namespace {
const char *const MSG_CANCEL_QUESTION = QT_TRANSLATE_NOOP("Prompt", "Cancel current reservation? ");

QLabel *label(const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    return l;
}

// The booking as it will be stored, read-only: the clerk checks the journey before Ok.
QGroupBox *bookingFrame(const PendingBooking *booking, QWidget *parent)
{
    auto *frame = new QGroupBox(QCoreApplication::translate("frmCustomer", "Reservation"), parent);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto *form = new QFormLayout(frame);
    const BookingSummary s = booking ? SummaryOf(*booking) : BookingSummary{};
    for (const auto &[name, caption, text] :
         {std::tuple{"lblFrom", QT_TRANSLATE_NOOP("frmCustomer", "From"), s.from},
          std::tuple{"lblTo", QT_TRANSLATE_NOOP("frmCustomer", "To"), s.to},
          std::tuple{"lblDeparts", QT_TRANSLATE_NOOP("frmCustomer", "Departs"), s.departs},
          std::tuple{"lblRun", QT_TRANSLATE_NOOP("frmCustomer", "Bus run"), s.run},
          std::tuple{"lblSeats", QT_TRANSLATE_NOOP("frmCustomer", "Seats"), s.seats},
          std::tuple{"lblFare", QT_TRANSLATE_NOOP("frmCustomer", "Fare"), s.fare}}) {
        auto *value = new QLabel(text, frame);
        value->setObjectName(QString::fromLatin1(name));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(QCoreApplication::translate("frmCustomer", caption), value);
    }
    return frame;
}
}  // namespace

frmCustomer *frmCustomer::openFor(std::shared_ptr<PendingBooking> booking)
{
    return nbk::ui::openChildWindow<frmCustomer>(QStringLiteral("frmCustomer"),
                                                 [&] { return new frmCustomer(std::move(booking)); });
}

frmCustomer::frmCustomer(std::shared_ptr<PendingBooking> booking, QWidget *parent)
    : Screen(parent), booking_(std::move(booking))
{
    setWindowTitle(tr("Customer Details"));

    auto *heading = new QLabel(tr("Customer Details Form"), this);
    heading->setObjectName(QStringLiteral("Label1"));
    QFont f = heading->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.4);
    heading->setFont(f);
    heading->setAlignment(Qt::AlignCenter);

    txtname = new QLineEdit(this);
    txtname->setObjectName(QStringLiteral("txtname"));
    phone = new QLineEdit(this);
    phone->setObjectName(QStringLiteral("phone"));
    txtage = new QLineEdit(this);
    txtage->setObjectName(QStringLiteral("txtage"));
    cmbGen = new QComboBox(this);
    cmbGen->setObjectName(QStringLiteral("cmbGen"));
    Command1 = new QPushButton(tr("Ok"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(tr("Cancel"), this);
    Command2->setObjectName(QStringLiteral("Command2"));

    auto *grid = new QGridLayout;
    grid->addWidget(label(tr("Name "), this), 0, 0);
    grid->addWidget(txtname, 0, 1);
    grid->addWidget(label(tr("Phone"), this), 1, 0);
    grid->addWidget(phone, 1, 1);
    grid->addWidget(label(tr("Age"), this), 2, 0);
    grid->addWidget(txtage, 2, 1);
    grid->addWidget(label(tr("Gender"), this), 3, 0);
    grid->addWidget(cmbGen, 3, 1);

    // a database without categories shows the screen as it always was
    if (booking_ && booking_->transaction.isOpen())
        categories_ = LoadFareCategories();
    if (!categories_.isEmpty()) {
        const QList<qint16> seats = booking_->seats();
        grdSeats = new QTableWidget(int(seats.size()), 3, this);
        grdSeats->setObjectName(QStringLiteral("grdSeats"));
        grdSeats->setHorizontalHeaderLabels({tr("Seat"), tr("Category"), tr("Age")});
        grdSeats->verticalHeader()->hide();
        grdSeats->horizontalHeader()->setStretchLastSection(true);
        grdSeats->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
        grdSeats->setColumnWidth(1, 140);
        grdSeats->setMinimumHeight(grdSeats->horizontalHeader()->sizeHint().height()
                                   + std::min(int(seats.size()), 5) * grdSeats->verticalHeader()->defaultSectionSize() + 4);
        for (int i = 0; i < seats.size(); ++i) {
            auto *seat = new QTableWidgetItem(QString::number(seats[i]));
            seat->setFlags(Qt::ItemIsEnabled);
            grdSeats->setItem(i, 0, seat);
            auto *category = new QComboBox(grdSeats);
            category->addItem(QStringLiteral("Adult"));
            for (const FareCategory &c : categories_)
                category->addItem(c.name);
            grdSeats->setCellWidget(i, 1, category);
            grdSeats->setItem(i, 2, new QTableWidgetItem);
            connect(category, &QComboBox::currentIndexChanged, this, [this] { showFare(); });
        }
        grid->addWidget(label(tr("Seats"), this), 4, 0);
        grid->addWidget(grdSeats, 4, 1);
    }

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    buttons->addStretch();

    auto *outer = new QVBoxLayout(this);
    outer->addWidget(heading);
    outer->addSpacing(12);
    outer->addWidget(bookingFrame(booking_.get(), this));
    outer->addLayout(grid);
    outer->addStretch();
    outer->addLayout(buttons);

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    nbk::ui::setDialogKeys(this, Command1, Command2);
    txtname->setFocus();
    Form_Load();
}

void frmCustomer::Form_Load()
{
    // the seat grid adds a line per seat, up to five, to the screen's height (the rest scroll)
    const int seatLines = grdSeats ? std::min(grdSeats->rowCount(), 5) + 1 : 0;
    nbk::ui::sizeInTwips(this, 7005, 5865 + (seatLines > 0 ? 120 + seatLines * 360 : 0));
    cmbGen->clear();
    cmbGen->addItem(QStringLiteral("M"));
    cmbGen->addItem(QStringLiteral("F"));
    cmbGen->setCurrentIndex(0);
}

void frmCustomer::Command1_Click()
{
    const CustomerSaveOutcome saved = SaveCustomerDetails(booking_.get(), txtname->text(), phone->text(),
                                                          txtage->text(), cmbGen->currentText(), seatChoices(),
                                                          categories_);
    nbk::showNotices(saved.notices);
    if (QWidget *box = control(saved.focus))
        box->setFocus();
    if (!saved.saved)
        return;
    close();
    nbk::closeScreen(QStringLiteral("frmReservation"));
}

QWidget *frmCustomer::control(nbk::Focus f) const
{
    switch (f) {
    case nbk::Focus::Name: return txtname;
    case nbk::Focus::Phone: return phone;
    case nbk::Focus::Age: return txtage;
    case nbk::Focus::SeatCategories: return grdSeats;
    default: return nullptr;
    }
}

void frmCustomer::Command2_Click()
{
    if (booking_)
        booking_->transaction.rollback();
    close();
}

bool frmCustomer::queryClose()
{
    if (!booking_ || !booking_->transaction.isOpen())
        return true;
    // No is the default: Enter pressed once too often keeps the passenger's seats
    const int answer = nbk::ui::MsgBox(QString::fromLatin1(MSG_CANCEL_QUESTION),
                                       nbk::mb::YesNo | nbk::mb::DefaultButton2, QStringLiteral("Question"));
    if (answer != nbk::mb::Yes)
        return false;
    booking_->transaction.rollback();
    return true;
}

QList<SeatCategoryChoice> frmCustomer::seatChoices() const
{
    QList<SeatCategoryChoice> out;
    if (!grdSeats)
        return out;
    for (int i = 0; i < grdSeats->rowCount(); ++i) {
        const auto *category = qobject_cast<const QComboBox *>(grdSeats->cellWidget(i, 1));
        const QTableWidgetItem *age = grdSeats->item(i, 2);
        out.append({qint16(grdSeats->item(i, 0)->text().toInt()), category ? category->currentText() : QString(),
                    age ? age->text() : QString()});
    }
    return out;
}

void frmCustomer::showFare()
{
    auto *fare = findChild<QLabel *>(QStringLiteral("lblFare"));
    if (!fare || !booking_)
        return;
    // the ages are checked at Ok: the fare shown follows the categories alone
    QList<SeatCategoryChoice> choices = seatChoices();
    for (SeatCategoryChoice &c : choices)
        for (const FareCategory &k : categories_)
            if (k.name == c.category)
                c.age = QString::number(k.minAge);
    try {
        fare->setText(QString::number(FareWithCategories(*booking_, choices, categories_).fare));
    } catch (const std::exception &) {
        fare->setText(QStringLiteral("too large to be recorded"));
    }
}
