#include "reports/TicketQueries.h"

#include "data/session/Class1.h"
#include "data/session/Command.h"
#include "data/dialect/DbError.h"
#include "ui/prompt/Prompt.h"
#include "data/dialect/Numbers.h"
#include "data/session/Transaction.h"

#include <cmath>

namespace nbk::reports {

namespace {

const char *const MSG_NO_RESERVATION = " No Reservation done yet, in this session ";
const char *const MSG_INVALID_CUSTOMER = "Invalid Customer No. ";
const char *const MSG_INVALID_INSTANCE = "Invalid Instance No. ";
const char *const MSG_NOT_FOUND = "No customers found for search criteria ";

const char *const SQL_SEATS = "SELECT seat_no from Seat_matrix where CUSTOMER_ID =";
const char *const SQL_INSTANCE_1 =
    "SELECT * from vticket where CUSTOMERID IN (SELECT CUSTOMER_id from customer where Instance_id = ";
const char *const SQL_INSTANCE_2 = ")";

Message error(const char *text, int icon) { return {QString::fromLatin1(text), icon | mb::OKOnly, QStringLiteral("Error")}; }
Message notFound() { return {QString::fromLatin1(MSG_NOT_FOUND), mb::Information | mb::OKOnly, QStringLiteral("Information")}; }

// While this session's transaction is open its reads see what that task has not committed:
// a booking waiting for its customer details would print as a ticket of its placeholder row.
std::optional<Message> pendingWork(const data::Class1 &s)
{
    if (!s.IsInTransaction())
        return std::nullopt;
    return Message{data::pendingWorkMessage(s.PendingTask()), mb::Critical | mb::OKOnly, QStringLiteral("Error")};
}

}  // namespace

CustomerTicketOutcome customerTicket(data::Class1 &s, bool mostRecent, const QString &typed)
{
    CustomerTicketOutcome out;
    qint32 cid = 0;
    if (mostRecent) {
        cid = lastReservationCustomerId();
        if (cid == 0) {
            out.message = error(MSG_NO_RESERVATION, mb::Information);
            return out;
        }
    } else {
        if (!IsNumeric(typed)) {
            out.message = error(MSG_INVALID_CUSTOMER, mb::Critical);
            return out;
        }
        const double v = Val(typed.trimmed());
        // a number too large for an id names no customer
        if (!std::isfinite(v) || std::fabs(v) > 2147483647.0) {
            out.message = error(MSG_INVALID_CUSTOMER, mb::Critical);
            return out;
        }
        cid = CLng(v);
    }
    if ((out.message = pendingWork(s)))
        return out;
    try {
        s.setupTicketDetails(cid);
        data::ResultSet r = s.SQLcmdGetTicketDetails().execute();
        if (r.eof()) {
            out.message = notFound();
            return out;
        }
        out.ticket.customerId = cid;
        out.ticket.details = r;
        out.ticket.seats = s.GetCurrentConnection().query(QString::fromLatin1(SQL_SEATS) + QString::number(cid));
    } catch (const data::DbException &e) {
        out = CustomerTicketOutcome{};
        out.message = databaseFailure(e);
    }
    return out;
}

InstanceTicketsOutcome instanceTickets(data::Class1 &s, const QString &typed)
{
    InstanceTicketsOutcome out;
    if (!IsNumeric(typed)) {
        out.message = error(MSG_INVALID_INSTANCE, mb::Critical);
        return out;
    }
    if ((out.message = pendingWork(s)))
        return out;
    try {
        data::ResultSet r = s.GetCurrentConnection().query(QString::fromLatin1(SQL_INSTANCE_1)
                                                           + shortestDecimal(Val(typed.trimmed()))
                                                           + QString::fromLatin1(SQL_INSTANCE_2));
        if (r.eof()) {
            out.message = notFound();
            return out;
        }
        out.tickets.typedInstance = typed;
        out.tickets.rows = r;
    } catch (const data::DbException &e) {
        out.message = databaseFailure(e);
    }
    return out;
}

}  // namespace nbk::reports
