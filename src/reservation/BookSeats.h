#pragma once
#include "common/Notice.h"
#include "common/ReservationState.h"
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
    nbk::reservation::ReservationState request;  // the request as it was booked

    // The fare in 16-bit arithmetic with halves to the even neighbour; raises
    // nbk::data::DbException 6 when it does not fit.
    qint16 fare() const;
};

struct BookingOutcome {
    nbk::Notices notices;
    // set when the booking is written: the customer details screen takes it
    std::shared_ptr<PendingBooking> booking;
    // the booking's own copy of the request, as far as it got: the run, the seats, the fare's parts
    nbk::reservation::ReservationState request;
};

// Books request.SeatsRequested seats on row `row` of request.SearchRows (at its boarding
// offset), working on a copy of the request: a new customer id (also left in
// Reservation.CustomerId), the lowest free seats of the stretch, a temporary customer row and the seat
// rows in one transaction that the returned booking holds. On failure nothing remains.
BookingOutcome BookSeats(const nbk::reservation::ReservationState &request, qint16 row);
// Puts r.SeatsRequested seats of r.FreeSeats into r.ChosenSeats (striking RejectedSeat out
// first when it is negative): 1, or -2 when there are not enough.
qint16 PickSeats(nbk::reservation::ReservationState &r, qint16 RejectedSeat, qint16 FreeSeatCount);

namespace nbk::reservation {
// Runs between the free-seat count and the first write of a booking (tests use it to
// take a seat from another session in that window); empty by default.
void setFreeSeatsComputedHook(std::function<void()> hook);
// What a pending booking is called when another task is refused because of it.
QString bookingTask(qint32 customerId);
}  // namespace nbk::reservation
