// The booking road and the enquiry of the benchmarks' journey, through the procedures the
// screens call, without a window.
#pragma once
#include "BenchNetwork.h"
#include "common/Notice.h"
#include "common/ReservationState.h"
#include "reservation/BookSeats.h"
#include "reservation/FindBusInstances.h"
#include "reservation/ResolvePlace.h"
#include "reservation/SaveCustomer.h"

namespace nbk::bench {

// The questions (a run made from the plan, and the like) are answered yes.
inline bool yesToAll(const Notice &) { return true; }

// Place resolution, the run search, the booking of the run nearest the wanted time (or
// the first found) and the customer details' save; `request` holds the day, class and
// seats. With a category, the first seat is sold at it (at its youngest age). True when
// the booking is saved.
inline bool bookingRoad(reservation::ReservationState &request, const FareCategory *category = nullptr)
{
    request.AllowInstanceChoice = true;
    request.EnquiryMode = false;
    const PlaceOutcome places = ResolvePlace(QString::fromLatin1(kFromName), QString::fromLatin1(kToName));
    if (places.result != 3)
        return false;
    TakePlaces(request, places);
    QString route;
    SearchOutcome found = FindBusInstances(request, route, yesToAll);
    TakeSearch(request, found);
    BookingOutcome booking = std::move(found.booking);
    if (!booking.booking) {
        const bool listed = !found.entries.isEmpty();
        request.BoardingOffsetMinutes = listed ? found.entries.first().offsetMinutes : BoardingOffsetFor(request.SearchRows, 0);
        booking = BookSeats(request, listed ? found.entries.first().row : 0);
    }
    if (!booking.booking)
        return false;
    QList<SeatCategoryChoice> choices;
    QList<FareCategory> categories;
    if (category && !booking.booking->seats().isEmpty()) {
        choices.append({booking.booking->seats().first(), category->name, QString::number(category->minAge)});
        categories.append(*category);
    }
    return SaveCustomerDetails(booking.booking.get(), QStringLiteral("Bench Mark"), QStringLiteral("9845012345"),
                               QStringLiteral("35"), QStringLiteral("M"), choices, categories)
        .saved;
}

// What the enquiry screen's Next does: the places, then the run search in enquiry mode on
// any route. The runs found.
inline int enquiry(reservation::ReservationState &request)
{
    request.EnquiryMode = true;
    const PlaceOutcome places = ResolvePlace(QString::fromLatin1(kFromName), QString::fromLatin1(kToName));
    TakePlaces(request, places);
    if (places.result != 3)
        return 0;
    QString anyRoute;
    const SearchOutcome found = FindBusInstances(request, anyRoute, yesToAll);
    return int(found.runRows.rowCount());
}

}  // namespace nbk::bench
