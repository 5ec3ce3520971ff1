#pragma once
#include "common/ReservationState.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

// A seat kept for some passengers until its release before the departure.
enum class SeatMark { None, Women, Senior };

// The seat layout of a vehicle type, as the supervisor keeps it.
struct SeatLayout {
    qint16 rows = 0;
    qint16 across = 0;      // seats in a row
    qint16 aisleAfter = 0;  // the aisle follows this many seats of a row
    double seniorAge = 60;
    qint32 releaseMinutes = 0;
    QHash<qint16, SeatMark> marks;
};

// A seat row of the run: the seat and the stretch (first and last segment) it is held on.
struct HeldStretch {
    qint16 seat = 0;
    qint16 from = 0;
    qint16 to = 0;
};

struct SeatCell {
    qint16 seat = 0;
    int row = 0;
    int column = 0;  // 0-based; the aisle is not a column
    bool window = false;
    bool held = false;  // on some segment of the journey's stretch
    SeatMark mark = SeatMark::None;
    bool released = false;  // a marked seat open to everyone now
};

struct SeatPlan {
    bool laidOut = false;  // false: the class has no layout (seats 1..total, no picture)
    SeatLayout layout;
    QList<SeatCell> cells;  // by seat number
    int rows = 0;

    // The seat's cell, or null.
    const SeatCell *cell(qint16 seat) const;
    // The free seats, lowest first.
    QList<qint16> freeSeats() const;
    // The free seats any passenger may have now (a kept seat once released), lowest first.
    QList<qint16> openSeats() const;
};

// The plan of `totalSeats` seats in `layout` for a journey over segments from..to: a seat
// is held when one of its rows covers a segment of the stretch (both ends included); a
// marked seat is released from layout.releaseMinutes before `departure`. Seats beyond the
// layout's rows fill further rows.
SeatPlan PlanSeats(const SeatLayout &layout, qint16 totalSeats, const QList<HeldStretch> &held, qint16 from,
                   qint16 to, const QDateTime &departure, const QDateTime &now);

// The plan of run row `row` of request.SearchRows for the request's stretch, from the
// database; laidOut is false when the run's class has no layout (or on a database
// without layouts). Raises nbk::data::DbException when the database fails.
SeatPlan RunSeatPlan(const nbk::reservation::ReservationState &request, qint16 row);

// What a cell shows: the seat and its mark ("12 W", "3 S", "5 W open"), "--" when held.
QString seatCaption(const SeatCell &c);
