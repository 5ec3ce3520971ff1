#include "reservation/JourneyChecks.h"

#include "common/Clock.h"
#include "common/SharedRoutines.h"
#include "data/dialect/Numbers.h"
#include "ui/prompt/Prompt.h"

#include <cmath>

using nbk::ui::showMessage;
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

std::optional<JourneyTime> CheckJourneyTime(const JourneyTyped &t, nbk::Focus *focus)
{
    using nbk::Focus;
    auto refuse = [&](Focus box) -> std::optional<JourneyTime> {
        if (focus)
            *focus = box;
        return std::nullopt;
    };
    if (t.monthText.isEmpty() || t.yearText.isEmpty()) {
        showMessage(QStringLiteral(QT_TRANSLATE_NOOP("Prompt", "Select a Month and a Year")), mb::Exclamation, QStringLiteral("Error. Invalid Date"));
        return refuse(Focus::None);
    }
    const int month = t.monthIndex + 1;
    const int year = int(nbk::Val(t.yearText));
    int day = 0;
    if (!wholeNumberIn(t.day, 1, DaysInMonth(QDate(year, month, 1)), &day)) {
        showMessage(QStringLiteral(QT_TRANSLATE_NOOP("Prompt", "Invalid Date")), mb::Information, QStringLiteral("Error"));
        return refuse(Focus::JourneyDay);
    }
    int hour = 0;
    if (!wholeNumberIn(t.hour, 0, 23, &hour)) {
        showMessage(QStringLiteral(QT_TRANSLATE_NOOP("Prompt", "Invalid Hour")), mb::Information, QStringLiteral("Error"));
        return refuse(Focus::JourneyHour);
    }
    int minute = 0;
    if (!wholeNumberIn(t.minute, 0, 59, &minute)) {
        showMessage(QStringLiteral(QT_TRANSLATE_NOOP("Prompt", "Invalid Minutes")), mb::Information, QStringLiteral("Error"));
        return refuse(Focus::JourneyMinute);
    }
    if (t.seatsText.isEmpty() || t.classText.isEmpty()) {
        showMessage(QStringLiteral(QT_TRANSLATE_NOOP("Prompt", "Select a Class and Number of Seats required")), mb::Exclamation,
               QStringLiteral("Error. Invalid Class"));
        return refuse(Focus::None);
    }
    const QDate journeyDate(year, month, day);
    const QDate today = nbk::currentDate();
    // a past date is told it has passed, however far back it lies
    if (journeyDate < today) {
        showMessage(QStringLiteral(QT_TRANSLATE_NOOP("Prompt", "Invalid Date. The date you have specified has already passed.")), mb::Information,
               QStringLiteral("Error"));
        return refuse(Focus::JourneyDay);
    }
    if (std::abs(today.daysTo(journeyDate)) > 45) {
        showMessage(QStringLiteral(QT_TRANSLATE_NOOP("Prompt", "Sorry, Reservation cannot be made for more then 45 days "
                                                               "in advance. \r\nPlease change the date if you wish "
                                                               "to retry. ")),
               mb::Information, QStringLiteral("Error"));
        return refuse(Focus::JourneyDay);
    }
    return JourneyTime{journeyDate, hour, minute};
}

std::optional<nbk::Notice> LargeBookingQuestion(int seats)
{
    if (seats <= kUsualPartySeats)
        return std::nullopt;
    // No is the default: a slip of the keyboard must not book a coach-load
    return nbk::Notice{QString::fromLatin1(QT_TRANSLATE_NOOP("Prompt", "Reserve %1 seats on one ticket? ")).arg(seats),
                       mb::Question | mb::YesNo | mb::DefaultButton2, QStringLiteral("Confirm")};
}
