#pragma once
#include <QList>
#include <QString>
#include <QStringList>

namespace nbk::reports {

// The seat chart's text: one header line naming the route's stops, and under it one line
// per seat whose cell under each stretch is "-----" (free) or "--X--" (booked). Cells and
// names share one fixed-pitch font, so a cell ends where the next stop name begins.
namespace chart {

// Routes outside these bounds do not fit the chart's tables.
constexpr int kMinStops = 2;
constexpr int kMaxStops = 100;
constexpr int kSeatLines = 50;

inline const char *const kAllFree = "All Free";

// One booking of a seat: the first and last route sequence numbers it holds, and whose it is.
struct Booking {
    int first = 0;
    int last = 0;
    QString customer;
};

// One seat of the drawn chart: for each stretch 1 to N - 1, whether it is held, and who
// holds the seat.
struct SeatMarks {
    int seat = 0;
    QList<bool> held;
    QString holders;
};

// Five blanks before each stop name, names trimmed.
QString headerLine(const QStringList &stopNames);

// The line of one seat over a route with these stop names (at least two): "All Free"
// without bookings; a booking's stretches outside the route are left out.
QString seatLine(const QStringList &stopNames, const QList<Booking> &bookings);

// The stretches 1 to N - 1 of a route of N stops that the bookings hold (a booking's
// stretches outside the route are left out).
QList<bool> heldStretches(int stops, const QList<Booking> &bookings);

// The customers holding the seat, each once, in the order of the stretches they hold.
QString holders(const QList<Booking> &bookings);

}  // namespace chart
}  // namespace nbk::reports
