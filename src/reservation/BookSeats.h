#pragma once
#include "common/Notice.h"
#include "data/Transaction.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <memory>

// A booking written and waiting for its customer details: its own transaction and its
// own copy of everything the customer screen needs, so nothing another screen does can
// change it.
struct PendingBooking {
    nbk::data::Transaction transaction;
    qint32 CustomerId = 0;
    qint32 BookedInstanceId = 0;
    QDateTime JourneyDateTime;  // departure at the boarding place (wall clock)
    qint32 JourneyKm = 0;
    qint16 ClassBase = 0;
    double ClassMultiplier = 0;
    double FuelMultiplier = 0;
    qint16 SeatsRequested = 0;
    QString OriginPlace;
    QString DestinationPlace;
    QString OriginName;  // full names, as the clerk confirmed them
    QString DestinationName;
    qint32 RouteId = 0;
    QList<qint16> seats;

    // The fare in 16-bit arithmetic with halves to the even neighbour; raises
    // nbk::data::DbException 6 when it does not fit.
    qint16 fare() const;
};

struct BookingOutcome {
    nbk::Notices notices;
    // set when the booking is written: the customer details screen takes it
    std::shared_ptr<PendingBooking> booking;
};

// Books Reservation.SeatsRequested seats on row `row` of Reservation.SearchRows: a new
// customer id, the lowest free seats of the stretch, a temporary customer row and the seat
// rows in one transaction that the returned booking holds. On failure nothing remains.
BookingOutcome BookSeats(qint16 row);
// Puts Reservation.SeatsRequested seats into Reservation.ChosenSeats (striking RejectedSeat
// out first when it is negative): 1, or -2 when there are not enough.
qint16 PickSeats(qint16 RejectedSeat, qint16 FreeSeatCount);

namespace nbk::reservation {
// Runs between the free-seat count and the first write of a booking (tests use it to
// take a seat from another session in that window); empty by default.
void setFreeSeatsComputedHook(std::function<void()> hook);
// What a pending booking is called when another task is refused because of it.
QString bookingTask(qint32 customerId);
}  // namespace nbk::reservation
