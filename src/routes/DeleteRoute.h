#pragma once
#include "routes/StoreRoute.h"

namespace nbk::routes {

// The reservations that rest on a route's bus runs: the customers and the seats they hold.
struct RouteBookings {
    qint64 reservations = 0;
    qint64 seats = 0;
};
// Raises DbException when the database fails.
RouteBookings BookingsOnRoute(data::Class1 &s, qint32 routeId);

// The refusal while the route's runs hold reservations (deleting the runs would void them);
// done when they hold none.
Outcome RefuseDeletionWithBookings(qint32 routeId, const RouteBookings &bookings);

// Deletes the route with its runs, path, timetable and classes in a transaction of its
// own, unless its runs hold reservations (counted again inside it); the outcome says so.
Outcome DeleteRoute(data::Class1 &s, qint32 routeId);

}  // namespace nbk::routes
