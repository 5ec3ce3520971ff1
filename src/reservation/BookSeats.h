#pragma once
#include <QtGlobal>

// Books SeatsRequested seats on row `row` of SearchRows: a new customer id, the lowest
// free seats of the stretch, a temporary customer row and the seat rows in one open
// transaction, then the customer details screen (which commits or rolls back).
void BookSeats(qint16 row);
// Puts SeatsRequested seats into ChosenSeats (striking RejectedSeat out first when it
// is negative): 1, or -2 when there are not enough.
qint16 PickSeats(qint16 RejectedSeat, qint16 FreeSeatCount);
