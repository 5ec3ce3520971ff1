#include "reservation/JourneyChecks.h"

#include "app/common/Clock.h"
#include "app/common/SharedRoutines.h"
#include "data/Numbers.h"
#include "ui/MsgBox.h"

#include <QComboBox>
#include <QLineEdit>
#include <cmath>

using nbk::ui::MsgBox;
namespace mb = nbk::mb;

namespace {

// A whole number from lo to hi: the date-time text of the request has no room for
// fractions, and an hour of 24 is not a time of day.
bool wholeNumberIn(const QString &text, int lo, int hi, int *value)
{
    if (!nbk::IsNumeric(text))
        return false;
    const double v = nbk::Val(text);
    if (v != std::floor(v) || v < lo || v > hi)
        return false;
    *value = int(v);
    return true;
}

}  // namespace

std::optional<JourneyTime> CheckJourneyTime(const JourneyFields &f)
{
    if (f.cmbMonth->currentText().isEmpty() || f.cmbYear->currentText().isEmpty()) {
        MsgBox(QStringLiteral("Select a Month and a Year"), mb::Exclamation, QStringLiteral("Error. Invalid Date"));
        return std::nullopt;
    }
    const int month = f.cmbMonth->currentIndex() + 1;
    const int year = int(nbk::Val(f.cmbYear->currentText()));
    int day = 0;
    if (!wholeNumberIn(f.txtDD->text(), 1, DaysInMonth(QDate(year, month, 1)), &day)) {
        MsgBox(QStringLiteral("Invalid Date"), mb::Information, QStringLiteral("Error"));
        f.txtDD->setFocus();
        return std::nullopt;
    }
    int hour = 0;
    if (!wholeNumberIn(f.txthh->text(), 0, 23, &hour)) {
        MsgBox(QStringLiteral("Invalid Hour"), mb::Information, QStringLiteral("Error"));
        f.txthh->setFocus();
        return std::nullopt;
    }
    int minute = 0;
    if (!wholeNumberIn(f.txtmin->text(), 0, 59, &minute)) {
        MsgBox(QStringLiteral("Invalid Minutes"), mb::Information, QStringLiteral("Error"));
        f.txtmin->setFocus();
        return std::nullopt;
    }
    if (f.cmbSeats->currentText().isEmpty() || f.cmbClass->currentText().isEmpty()) {
        MsgBox(QStringLiteral("Select a Class and Number of Seats required"), mb::Exclamation,
               QStringLiteral("Error. Invalid Class"));
        return std::nullopt;
    }
    const QDate journeyDate(year, month, day);
    const QDate today = nbk::currentDate();
    if (std::abs(today.daysTo(journeyDate)) > 45) {
        MsgBox(QStringLiteral("Sorry, Reservation cannot be made for more then 45 days in advance. ")
                   + QStringLiteral("\r\n") + QStringLiteral("Please change the date if you wish to retry. "),
               mb::Information, QStringLiteral("Error"));
        f.txtDD->setFocus();
        return std::nullopt;
    }
    if (journeyDate < today) {
        MsgBox(QStringLiteral("Invalid Date. The date you have specified has already passed."), mb::Information,
               QStringLiteral("Error"));
        return std::nullopt;
    }
    return JourneyTime{journeyDate, hour, minute};
}

std::optional<nbk::Notice> LargeBookingQuestion(int seats)
{
    if (seats <= kUsualPartySeats)
        return std::nullopt;
    // No is the default: a slip of the keyboard must not book a coach-load
    return nbk::Notice{QStringLiteral("Reserve %1 seats on one ticket? ").arg(seats),
                       mb::Question | mb::YesNo | mb::DefaultButton2, QStringLiteral("Confirm")};
}
