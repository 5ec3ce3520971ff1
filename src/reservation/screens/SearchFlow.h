#pragma once
#include "reservation/BookSeats.h"
#include "reservation/FindBusInstances.h"
#include "reservation/ResolvePlace.h"

// What the journey screens do with the procedures' outcomes: the request screen, the
// messages, the place choice, the run choice or the customer details, in that order.
namespace nbk::reservation {

// Shows the booking's messages, then hands a written booking to the customer details screen.
void showBookingOutcome(BookingOutcome &outcome);
// Acts on a run search; returns its result.
bool showSearchOutcome(SearchOutcome &outcome);
// Shows the place match's messages and opens the place confirmation screen or the request.
void showPlaceOutcome(const PlaceOutcome &outcome);

// False (after telling the clerk and bringing the pending booking's customer screen to the
// front) when another task's changes are pending: a new request must not run into them.
bool nothingPending();

}  // namespace nbk::reservation
