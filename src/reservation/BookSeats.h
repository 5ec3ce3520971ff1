#pragma once
#include "common/Notice.h"
#include "common/ReservationState.h"
#include "data/session/Transaction.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <memory>

// A booking written and waiting for its customer details: its own transaction and its
// own copy of the request as it was booked, so nothing another screen does can change it.
struct PendingBooking {
    nbk::data::Transaction transaction;
    // the run, its departure at the boarding place, the stretch's km, the fare's parts, the
    // places and the seats chosen
    nbk::reservation::ReservationState request;
    qint32 RouteId = 0;  // the booked run's route

    // The seats booked, in the order they were chosen.
    QList<qint16> seats() const;
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
// offset), working on a copy of the request: a new customer id, the lowest free seats of the stretch, a temporary customer row and the seat
// rows in one transaction that the returned booking holds. On failure nothing remains.
// `picked` are seats the clerk chose on the run's plan, taken first (each must be free
// over the stretch); the lowest free seats make up the rest.
BookingOutcome BookSeats(const nbk::reservation::ReservationState &request, qint16 row,
                         const QList<qint16> &picked = {});
// The fare of `seats` seats over `km` km: raises nbk::data::DbException 6 when a step
// does not fit in 16 bits.
qint16 FareFor(qint32 km, double fuelMultiplier, double classMultiplier, qint16 classBase, qint16 seats);
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
