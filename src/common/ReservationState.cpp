#include "common/ReservationState.h"

nbk::reservation::ReservationState Reservation;

namespace nbk::reservation {
void ResetReservationState() { Reservation = ReservationState{}; }
}  // namespace nbk::reservation
