#include "common/ReservationState.h"

#include <atomic>

namespace nbk::reservation {
namespace {
std::atomic<qint32> mostRecent{0};
}

qint32 MostRecentCustomerId() { return mostRecent.load(); }
void SetMostRecentCustomerId(qint32 customerId) { mostRecent.store(customerId); }
void ResetReservationState() { mostRecent.store(0); }
}  // namespace nbk::reservation
