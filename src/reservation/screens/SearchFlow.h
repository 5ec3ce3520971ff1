#pragma once
#include "reservation/BookSeats.h"
#include "reservation/FindBusInstances.h"
#include "reservation/ResolvePlace.h"

#include <functional>

// What the journey screens do with the procedures' outcomes: the request screen, the
// messages, the place choice, the run choice or the customer details, in that order.
namespace nbk::reservation {

// Shows the booking's messages, then hands a written booking to the customer details screen.
void showBookingOutcome(BookingOutcome &outcome);
// Books run row `row` of request.SearchRows, or, when the run's class has a seat layout,
// opens the seat choice that books it.
void bookOrChooseSeats(const ReservationState &request, qint16 row);
// Acts on a run search made for `request`, which takes the runs found (TakeSearch) and goes
// with them to the run choice; returns the search's result.
bool showSearchOutcome(ReservationState &request, SearchOutcome &outcome);
// Shows the place match's messages and opens the place confirmation screen, which takes
// its own copy of `request`, or the request screen.
void showPlaceOutcome(const ReservationState &request, const PlaceOutcome &outcome);

// Runs with each request the screens searched for, once it holds the runs found (tests
// read what was searched through it); empty by default.
void setSearchedHook(std::function<void(const ReservationState &)> hook);

// False (after telling the clerk and bringing the pending booking's customer screen to the
// front) when another task's changes are pending: a new request must not run into them.
bool nothingPending();

}  // namespace nbk::reservation
