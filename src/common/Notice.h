#pragma once
#include "ui/prompt/Prompt.h"

#include <QString>
#include <functional>
#include <vector>

namespace nbk {

// A message a procedure leaves for its screen to show: the procedure decides what the
// clerk is told, the screen shows it.
struct Notice {
    QString text;
    int style = mb::OKOnly;
    QString title;
};
using Notices = std::vector<Notice>;

// The box a procedure sends the clerk back to after its notices. Procedures name one of
// these; each screen knows which of its controls is meant.
enum class Focus {
    None,
    // the journey request (booking and enquiry)
    JourneyDay,
    JourneyHour,
    JourneyMinute,
    RouteNumber,
    Seats,
    // the customer: cancellation and details
    CustomerId,
    Name,
    Phone,
    Age,
    // the route entry
    RouteSequence,
    RouteDistances,
    StopTime,
    TravelTime,
    Speed,
    // the route search: the place a route is to contain
    SearchPlace,
    // the interval of a day of the route's frequency, Monday .. Sunday, then Everyday
    IntervalMonday,
    IntervalTuesday,
    IntervalWednesday,
    IntervalThursday,
    IntervalFriday,
    IntervalSaturday,
    IntervalSunday,
    IntervalEveryday,
    // the booking search: its journey date and run number
    BookingDate,
    BookingRun,
    // the customer details: the seats' fare categories
    SeatCategories,
};

// The interval box of day row k (0 Monday .. 7 Everyday), and back (-1: no interval box).
constexpr Focus intervalFocus(int k) { return Focus(int(Focus::IntervalMonday) + k); }
constexpr int intervalRow(Focus f)
{
    return f >= Focus::IntervalMonday && f <= Focus::IntervalEveryday ? int(f) - int(Focus::IntervalMonday) : -1;
}

// How a procedure asks the clerk a question it needs answered now: true for Yes.
using Confirm = std::function<bool(const Notice &question)>;

}  // namespace nbk
