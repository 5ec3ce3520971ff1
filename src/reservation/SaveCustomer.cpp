#include "reservation/SaveCustomer.h"

#include "common/SharedRoutines.h"
#include "data/session/Class1.h"
#include "data/dialect/DbError.h"
#include "data/dialect/SqlText.h"
#include "data/dialect/Numbers.h"
#include "reservation/CustomerEntry.h"
#include "common/ReservationState.h"

using nbk::data::sqlText;

namespace {
const char *const MSG_FARE = QT_TRANSLATE_NOOP("Prompt",
    "The fare of this reservation is too large to be recorded. Please check the fares of the route and class ");
const char *const MSG_UPDATE_FAILED = QT_TRANSLATE_NOOP("Prompt",
    " Error updating database (Reservation Cancelled) . Please try later or report to supervisor ");
const char *const MSG_NOTHING_PENDING =
    QT_TRANSLATE_NOOP("Prompt", "This reservation has been cancelled. Please make a new reservation ");
const char *const MSG_DONE = QT_TRANSLATE_NOOP("Prompt", "Update complete.");
// the ticket, a cancellation and the seat chart all ask for this number
const char *const MSG_DONE_ID =
    QT_TRANSLATE_NOOP("Prompt", "Customer no. %1: the ticket and any cancellation ask for this number.");

const char *const SQL_SEAT_CATEGORY =
    "INSERT INTO seat_category (customer_id, seat_no, category, age, share, fare) VALUES (%1, %2, '%3', %4, %5, %6)";

nbk::Notice notice(const char *text, int style, const char *title)
{
    return {QString::fromLatin1(text), style, QString::fromLatin1(title)};
}
}  // namespace

CustomerSaveOutcome SaveCustomerDetails(PendingBooking *booking, const QString &name, const QString &phone,
                                        const QString &age, const QString &gender,
                                        const QList<SeatCategoryChoice> &choices, const QList<FareCategory> &categories)
{
    CustomerSaveOutcome out;
    const nbk::Notice failed = notice(MSG_UPDATE_FAILED, nbk::mb::Critical | nbk::mb::OKOnly, "Error");
    // after a failed update the booking is gone; an update now would change nothing
    if (!booking || !booking->transaction.isOpen()) {
        out.notices.push_back(notice(MSG_NOTHING_PENDING, nbk::mb::Information | nbk::mb::OKOnly, "Error"));
        return out;
    }
    PendingBooking &booked = *booking;
    nbk::reservation::ReservationState &b = booked.request;
    CustomerEntry entry;
    if (const std::optional<EntryProblem> problem = CheckCustomerEntry(name, phone, age, &entry)) {
        if (problem->field == nbk::Focus::Phone) {
            // the update the database would refuse is never built from such text; the clerk
            // sees what a refused update shows, and nothing of the booking stays
            booked.transaction.rollback();
            out.notices.push_back(failed);
            return out;
        }
        out.notices.push_back({problem->message, nbk::mb::Information | nbk::mb::OKOnly, QStringLiteral("Error")});
        out.focus = problem->field;
        return out;
    }
    CategoryFare priced;
    try {
        priced = FareWithCategories(booked, choices, categories);
        if (!priced.problem.isEmpty()) {
            out.notices.push_back({priced.problem, nbk::mb::Information | nbk::mb::OKOnly, QStringLiteral("Error")});
            out.focus = nbk::Focus::SeatCategories;
            return out;
        }
        b.Fare = priced.fare;
    } catch (const nbk::data::DbException &) {
        // nothing written: the clerk may still cancel the reservation
        out.notices.push_back(notice(MSG_FARE, nbk::mb::Critical | nbk::mb::OKOnly, "Error"));
        return out;
    }

    const QString sql = QStringLiteral("UPDATE Customer set customer_id= ") + QString::number(b.CustomerId)
                        + QStringLiteral(", Instance_ID =") + QString::number(b.BookedInstanceId)
                        + QStringLiteral(", Journey_date=") + OracleDateLiteral(b.JourneyDateTime)
                        + QStringLiteral(", Name = '") + sqlText(name) + QStringLiteral("' , age=")
                        + QString::number(entry.age) + QStringLiteral(", phone='") + sqlText(entry.phone)
                        + QStringLiteral("', gender='") + sqlText(gender) + QStringLiteral("' , origin='")
                        + sqlText(b.OriginPlace) + QStringLiteral("' , destin='") + sqlText(b.DestinationPlace)
                        + QStringLiteral("', fare=") + QString::number(b.Fare)
                        + QStringLiteral(" where customer_ID = ") + QString::number(b.CustomerId);
    try {
        bool written = DbSession->exec(sql) == nbk::data::kExecOk;
        // each concession seat with the age and fare it was sold at, for the fare rule
        for (const PricedSeat &p : priced.concessions)
            written = written
                      // one arg() for all: a name holding "%6" stays the name
                      && DbSession->exec(QString::fromLatin1(SQL_SEAT_CATEGORY)
                                             .arg(QString::number(b.CustomerId), QString::number(p.seat),
                                                  sqlText(p.category.name), nbk::shortestDecimal(p.age),
                                                  QString::number(p.category.share, 'g', 17), QString::number(p.fare)))
                             == nbk::data::kExecOk;
        if (written) {
            booked.transaction.commit();
            out.saved = true;
            // only a reservation that was made is Print Most Recent Ticket's: one abandoned or
            // refused after its id was drawn would print as "no customers found"
            nbk::reservation::SetMostRecentCustomerId(b.CustomerId);
        }
    } catch (const std::exception &) {
        out.saved = false;
    }
    if (!out.saved) {
        // a failed commit is reported like a refused update: the clerk must know
        booked.transaction.rollback();
        // a commit whose answer was lost may have been saved: the shell says so instead
        if (!DbSession->LostAtCommit())
            out.notices.push_back(failed);
        return out;
    }
    out.notices.push_back({QString::fromLatin1(MSG_DONE) + QStringLiteral("\r\n") + QString::fromLatin1(MSG_DONE_ID).arg(b.CustomerId),
                           nbk::mb::Information | nbk::mb::OKOnly, QStringLiteral("Reservation")});
    return out;
}
