#pragma once
#include <QtGlobal>
#include <functional>

// Books SeatsRequested seats on row `row` of SearchRows: a new customer id, the lowest
// free seats of the stretch, a temporary customer row and the seat rows in one open
// transaction, then the customer details screen (which commits or rolls back).
void BookSeats(qint16 row);
// Puts SeatsRequested seats into ChosenSeats (striking RejectedSeat out first when it
// is negative): 1, or -2 when there are not enough.
qint16 PickSeats(qint16 RejectedSeat, qint16 FreeSeatCount);

namespace nbk::reservation {
// Runs between the free-seat count and the first write of a booking (tests use it to
// take a seat from another session in that window); empty by default.
void setFreeSeatsComputedHook(std::function<void()> hook);
}  // namespace nbk::reservation
