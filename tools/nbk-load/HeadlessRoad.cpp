// The clerk's tasks without a single widget: the procedures the screens call, in the order
// the screens call them, with the notices shown through the session's prompt.
#include "Clerk.h"
#include "ui/Notices.h"

#include "common/Clock.h"
#include "common/SharedRoutines.h"
#include "data/session/Class1.h"
#include "operations/CancelReservation.h"
#include "reservation/FindBusInstances.h"
#include "reservation/JourneyChecks.h"
#include "reservation/ResolvePlace.h"
#include "reservation/SaveCustomer.h"
#include "common/ReservationState.h"

#include <QLocale>

namespace nbk::load {

namespace {
Confirm answerYes()
{
    return [](const Notice &) { return true; };
}
}  // namespace

bool Clerk::road(const Journey &j, bool chooseRun, bool enquiry, bool finish)
{
    // what the request screen checks and stores
    const QDate d = j.at.date();
    const JourneyTyped typed{QLocale().monthName(d.month()), QString::number(d.year()), d.month() - 1,
                             QString::number(d.day()), QString::number(j.at.time().hour()),
                             QString::number(j.at.time().minute()), QString::number(j.seats),
                             QString::number(j.classIndex)};
    const std::optional<JourneyTime> t = CheckJourneyTime(typed);
    if (!t)
        return false;
    reservation::ReservationState request;
    request.EnquiryMode = enquiry;
    request.SeatsRequested = qint16(j.seats);
    request.JourneyDateText = QStringLiteral("%1-%2-%3 %4:%5:00")
                                      .arg(t->date.month())
                                      .arg(t->date.day())
                                      .arg(t->date.year())
                                      .arg(t->hour)
                                      .arg(t->minute);
    request.JourneyDateTime = QDateTime(t->date, QTime(t->hour, t->minute));
    request.ClassIndex = qint16(j.classIndex);
    if (!enquiry) {
        request.AllowInstanceChoice = chooseRun;
        request.RouteIdText.clear();
        if (request.JourneyDateTime < currentDateTime())
            return false;
    }

    const PlaceOutcome places = ResolvePlace(j.from, j.to);
    TakePlaces(request, places);
    showNotices(places.notices);
    if (places.choosePlaces) {
        // the place confirmation: the candidates named as typed
        request.OriginChoice = qint16(qMax(0, int(places.fromNames.indexOf(j.from))));
        request.DestinationChoice = qint16(qMax(0, int(places.toNames.indexOf(j.to))));
        if (!CheckDistinctPlaces(request, request.OriginChoice, request.DestinationChoice))
            return false;
    } else if (places.result != 3) {
        return false;
    }

    QString route;
    SearchOutcome found = FindBusInstances(request, route, answerYes());
    TakeSearch(request, found);
    showNotices(found.notices);
    if (enquiry) {
        sawRuns_ = !found.entries.isEmpty();
        return sawRuns_;
    }
    BookingOutcome booking = std::move(found.booking);
    if (!found.booked() && booking.notices.empty() && !found.entries.isEmpty()) {
        // the run choice: its first entry
        sawRuns_ = true;
        request.BoardingOffsetMinutes = found.entries.first().offsetMinutes;
        booking = BookSeats(request, found.entries.first().row);
    }
    showNotices(booking.notices);
    if (!booking.booking)
        return false;
    heldBooking_ = booking.booking;
    if (!finish)
        return true;
    const int lossesBefore = losses_;
    const CustomerSaveOutcome saved = SaveCustomerDetails(
        booking.booking.get(), QStringLiteral("Load Passenger %1").arg(options_.session),
        QStringLiteral("98450%1").arg(std::uniform_int_distribution<int>(10000, 99999)(rng_)),
        QString::number(std::uniform_int_distribution<int>(5, 90)(rng_)),
        std::uniform_int_distribution<int>(0, 1)(rng_) ? QStringLiteral("F") : QStringLiteral("M"),
        pickCategories(booking.booking->seats()), categories_);
    showNotices(saved.notices);
    // told "not saved" because the server went away: its commit may still have landed
    if (!saved.saved && losses_ != lossesBefore)
        noteBooking(options_.unsavedFile, booking.booking->request.CustomerId);
    heldBooking_.reset();
    return saved.saved;
}

void Clerk::cancelByProcedure(qint32 customer, int seats)
{
    // the question is kept with the task's texts, as the screen's box would be
    showNotices(CancelReservation(QString::number(customer), qint16(seats), [this](const Notice &q) {
                    prompt_.texts << q.text;
                    return true;
                }).notices);
}

}  // namespace nbk::load
