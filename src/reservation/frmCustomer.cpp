#include "reservation/frmCustomer.h"

#include "app/common/ScreenRegistry.h"
#include "app/common/SharedRoutines.h"
#include "data/Class1.h"
#include "data/DbError.h"
#include "data/Numbers.h"
#include "data/SqlText.h"
#include "reservation/BookingSummary.h"
#include "reservation/CustomerEntry.h"
#include "reservation/state/ReservationState.h"
#include "ui/ChildWindows.h"
#include "ui/Keys.h"
#include "ui/MsgBox.h"
#include "ui/Twips.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>
#include <tuple>

using nbk::data::sqlText;

namespace {
const char *const MSG_FARE =
    "The fare of this reservation is too large to be recorded. Please check the fares of the route and class ";
const char *const MSG_UPDATE_FAILED =
    " Error updating database (Reservation Cancelled) . Please try later or report to supervisor ";
const char *const MSG_NOTHING_PENDING = "This reservation has been cancelled. Please make a new reservation ";
const char *const MSG_DONE = "Update complete.";
const char *const MSG_CANCEL_QUESTION = "Cancel current reservation? ";

QLabel *label(const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    return l;
}

// The booking as it will be stored, read-only: the clerk checks the journey before Ok.
QGroupBox *bookingFrame(const PendingBooking *booking, QWidget *parent)
{
    auto *frame = new QGroupBox(QStringLiteral("Reservation"), parent);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto *form = new QFormLayout(frame);
    const BookingSummary s = booking ? SummaryOf(*booking) : BookingSummary{};
    for (const auto &[name, caption, text] :
         {std::tuple{"lblFrom", "From", s.from}, std::tuple{"lblTo", "To", s.to},
          std::tuple{"lblDeparts", "Departs", s.departs}, std::tuple{"lblRun", "Bus run", s.run},
          std::tuple{"lblSeats", "Seats", s.seats}, std::tuple{"lblFare", "Fare", s.fare}}) {
        auto *value = new QLabel(text, frame);
        value->setObjectName(QString::fromLatin1(name));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(QString::fromLatin1(caption), value);
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
    setWindowTitle(QStringLiteral("Customer Details"));

    auto *heading = new QLabel(QStringLiteral("Customer Details Form"), this);
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
    Command1 = new QPushButton(QStringLiteral("Ok"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("Cancel"), this);
    Command2->setObjectName(QStringLiteral("Command2"));

    auto *grid = new QGridLayout;
    grid->addWidget(label(QStringLiteral("Name "), this), 0, 0);
    grid->addWidget(txtname, 0, 1);
    grid->addWidget(label(QStringLiteral("Phone"), this), 1, 0);
    grid->addWidget(phone, 1, 1);
    grid->addWidget(label(QStringLiteral("Age"), this), 2, 0);
    grid->addWidget(txtage, 2, 1);
    grid->addWidget(label(QStringLiteral("Gender"), this), 3, 0);
    grid->addWidget(cmbGen, 3, 1);

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
    nbk::ui::sizeInTwips(this, 7005, 5865);
    cmbGen->clear();
    cmbGen->addItem(QStringLiteral("M"));
    cmbGen->addItem(QStringLiteral("F"));
    cmbGen->setCurrentIndex(0);
}

void frmCustomer::Command1_Click()
{
    nbk::data::Class1 &s = *DbSession;
    // after a failed update the booking is gone; an update now would change nothing
    if (!booking_ || !booking_->transaction.isOpen()) {
        nbk::ui::MsgBox(QString::fromLatin1(MSG_NOTHING_PENDING), nbk::mb::Information | nbk::mb::OKOnly,
                        QStringLiteral("Error"));
        return;
    }
    CustomerEntry entry;
    if (const std::optional<EntryProblem> problem =
            CheckCustomerEntry(txtname->text(), phone->text(), txtage->text(), &entry)) {
        if (problem->field == QLatin1String("phone")) {
            // the update the database would refuse is never built from such text; the clerk
            // sees what a refused update shows, and nothing of the booking stays
            booking_->transaction.rollback();
            nbk::ui::MsgBox(QString::fromLatin1(MSG_UPDATE_FAILED), nbk::mb::Critical | nbk::mb::OKOnly,
                            QStringLiteral("Error"));
            return;
        }
        nbk::ui::MsgBox(problem->message, nbk::mb::Information | nbk::mb::OKOnly, QStringLiteral("Error"));
        if (auto *box = findChild<QWidget *>(problem->field))
            box->setFocus();
        return;
    }
    const QString age = QString::number(entry.age);
    const PendingBooking &b = *booking_;
    try {
        Reservation.Fare = b.fare();
    } catch (const nbk::data::DbException &) {
        // nothing written: the clerk may still cancel the reservation
        nbk::ui::MsgBox(QString::fromLatin1(MSG_FARE), nbk::mb::Critical | nbk::mb::OKOnly, QStringLiteral("Error"));
        return;
    }

    const QString sql = QStringLiteral("UPDATE Customer set customer_id= ") + QString::number(b.CustomerId)
                        + QStringLiteral(", Instance_ID =") + QString::number(b.BookedInstanceId)
                        + QStringLiteral(", Journey_date=") + OracleDateLiteral(b.JourneyDateTime)
                        + QStringLiteral(", Name = '") + sqlText(txtname->text()) + QStringLiteral("' , age=")
                        + age + QStringLiteral(", phone='") + sqlText(entry.phone) + QStringLiteral("', gender='")
                        + sqlText(cmbGen->currentText()) + QStringLiteral("' , origin='") + sqlText(b.OriginPlace)
                        + QStringLiteral("' , destin='") + sqlText(b.DestinationPlace) + QStringLiteral("', fare=")
                        + QString::number(Reservation.Fare) + QStringLiteral(" where customer_ID = ")
                        + QString::number(b.CustomerId);

    bool written = false;
    try {
        if (s.exec(sql) == -13) {
            booking_->transaction.commit();
            written = true;
        }
    } catch (const std::exception &) {
        written = false;
    }
    if (!written) {
        // a failed commit is reported like a refused update: the clerk must know
        booking_->transaction.rollback();
        nbk::ui::MsgBox(QString::fromLatin1(MSG_UPDATE_FAILED), nbk::mb::Critical | nbk::mb::OKOnly,
                        QStringLiteral("Error"));
        return;
    }

    nbk::ui::MsgBox(QString::fromLatin1(MSG_DONE), nbk::mb::Information | nbk::mb::OKOnly,
                    QStringLiteral("Reservation"));
    close();
    nbk::closeScreen(QStringLiteral("frmReservation"));
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
    const int answer = nbk::ui::MsgBox(QString::fromLatin1(MSG_CANCEL_QUESTION), nbk::mb::YesNo,
                                       QStringLiteral("Question"));
    if (answer != nbk::mb::Yes)
        return false;
    booking_->transaction.rollback();
    return true;
}
