#include "reports/TicketQueries.h"

#include "data/session/Class1.h"
#include "data/session/Command.h"
#include "data/session/StretchSeats.h"
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

const char *const MSG_INVALID_RUN = "Invalid Run No. ";
const char *const MSG_NO_RUN = "There is no run %1.";

const char *const SQL_SEATS = "SELECT seat_no from Seat_matrix where CUSTOMER_ID =";
const char *const SQL_SEATS_ORDER = " ORDER BY seat_no";
// a booking with concession seats: each seat with its category, and the passenger's age
const char *const SQL_HAS_CATEGORIES = "SELECT count(*) FROM seat_category WHERE customer_id = ";
const char *const SQL_SEATS_CATEGORY =
    "SELECT CASE WHEN sc.category IS NULL THEN sm.seat_no || '  adult' "
    "ELSE sm.seat_no || '  ' || sc.category || ' (age ' || sc.age || ')' END AS seat_no "
    "FROM seat_matrix sm LEFT JOIN seat_category sc ON sc.customer_id = sm.customer_id AND sc.seat_no = sm.seat_no "
    "WHERE sm.customer_id = %1 ORDER BY sm.seat_no";
const char *const SQL_LOCAL_NAMES =
    "SELECT o.name, d.name FROM customer c LEFT JOIN place_local_name o ON o.place = c.origin "
    "LEFT JOIN place_local_name d ON d.place = c.destin WHERE c.customer_id = ";
const char *const SQL_RUN_HEADING =
    "SELECT bi.instance_id AS RUN, bi.bus_id AS ROUTE, r.route_name AS ROUTE_NAME, "
    "COALESCE(o.full_name, r.place1) AS ROUTE_FROM, COALESCE(d.full_name, r.place2) AS ROUTE_TO, "
    "bi.class AS CLASS, ct.description AS CLASS_NAME, bi.dep_date AS DEPARTS, bi.registration AS VEHICLE "
    "FROM bus_instance bi LEFT JOIN route r ON r.route_id = bi.bus_id "
    "LEFT JOIN place o ON o.place = r.place1 LEFT JOIN place d ON d.place = r.place2 "
    "LEFT JOIN class_type ct ON ct.class = bi.class WHERE bi.instance_id = ";
// a seat held over two stretches of the run by two passengers gives two lines, the nearer first
const char *const SQL_MANIFEST_1 =
    "SELECT sm.seat_no AS SEAT, c.customer_id AS CUSTOMERID, c.name AS NAME, c.age AS AGE, c.gender AS GENDER, "
    "COALESCE(o.full_name, c.origin) AS BOARDS, COALESCE(d.full_name, c.destin) AS ALIGHTS, "
    "lo.name AS BOARDS_LOCAL, ld.name AS ALIGHTS_LOCAL "
    "FROM seat_matrix sm JOIN customer c ON c.customer_id = sm.customer_id "
    "LEFT JOIN place o ON o.place = c.origin LEFT JOIN place d ON d.place = c.destin "
    "LEFT JOIN place_local_name lo ON lo.place = c.origin LEFT JOIN place_local_name ld ON ld.place = c.destin "
    "WHERE sm.instance_id = ";
const char *const SQL_MANIFEST_2 = " ORDER BY sm.seat_no, sm.route_sequence1, c.customer_id";
// the stretches of the run's route in order, each with its two stops' names
const char *const SQL_STRETCHES =
    "SELECT po.sequence_no, COALESCE(p1.full_name, re.place1), l1.name, COALESCE(p2.full_name, re.place2), l2.name "
    "FROM bus_instance bi JOIN path_order po ON po.route_id = bi.bus_id JOIN route_element re ON re.reid = po.reid "
    "LEFT JOIN place p1 ON p1.place = re.place1 LEFT JOIN place p2 ON p2.place = re.place2 "
    "LEFT JOIN place_local_name l1 ON l1.place = re.place1 LEFT JOIN place_local_name l2 ON l2.place = re.place2 "
    "WHERE bi.instance_id = %1 ORDER BY po.sequence_no";
const char *const SQL_INSTANCE_1 =
    "SELECT * from vticket where CUSTOMERID IN (SELECT CUSTOMER_id from customer where Instance_id = ";
const char *const SQL_INSTANCE_2 = ")";

Message error(const QString &text, int icon) { return {text, icon | mb::OKOnly, QStringLiteral("Error")}; }
Message error(const char *text, int icon) { return error(QString::fromLatin1(text), icon); }

// A number typed for an id: rounded as the screens round, and none beyond an id's range.
std::optional<qint32> typedId(const QString &typed)
{
    if (!IsNumeric(typed))
        return std::nullopt;
    const double v = Val(typed.trimmed());
    if (!std::isfinite(v) || std::fabs(v) > 2147483647.0)
        return std::nullopt;
    return CLng(v);
}
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
        const std::optional<qint32> id = typedId(typed);
        if (!id) {
            out.message = error(MSG_INVALID_CUSTOMER, mb::Critical);
            return out;
        }
        cid = *id;
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
        data::Connection &cn = s.GetCurrentConnection();
        const bool concessions =
            CLng(cn.query(QString::fromLatin1(SQL_HAS_CATEGORIES) + QString::number(cid)).value(0)) > 0;
        out.ticket.seats = concessions ? cn.query(QString::fromLatin1(SQL_SEATS_CATEGORY).arg(cid))
                                       : cn.query(QString::fromLatin1(SQL_SEATS) + QString::number(cid)
                                                  + QString::fromLatin1(SQL_SEATS_ORDER));
        const data::ResultSet local = cn.query(QString::fromLatin1(SQL_LOCAL_NAMES) + QString::number(cid));
        if (!local.eof()) {
            out.ticket.originLocal = local.value(0).toString();
            out.ticket.destinationLocal = local.value(1).toString();
        }
        r.moveFirst();
        const int column = r.fieldIndex(QStringLiteral("INSTANCE"));
        const QVariant run = column >= 0 ? r.value(column) : QVariant();
        if (!run.isNull())
            out.ticket.run = runHeading(s, CLng(run));
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

data::ResultSet runHeading(data::Class1 &s, qint32 run)
{
    return s.GetCurrentConnection().query(QString::fromLatin1(SQL_RUN_HEADING) + QString::number(run));
}

RunManifestOutcome runManifest(data::Class1 &s, const QString &typed)
{
    RunManifestOutcome out;
    const std::optional<qint32> run = typedId(typed);
    if (!run) {
        out.message = error(MSG_INVALID_RUN, mb::Critical);
        return out;
    }
    if ((out.message = pendingWork(s)))
        return out;
    try {
        out.manifest.run = runHeading(s, *run);
        if (out.manifest.run.eof()) {
            out = RunManifestOutcome{};
            out.message = error(QString::fromLatin1(MSG_NO_RUN).arg(*run), mb::Information);
            return out;
        }
        data::Connection &cn = s.GetCurrentConnection();
        out.manifest.lines = cn.query(QString::fromLatin1(SQL_MANIFEST_1) + QString::number(*run)
                                      + QString::fromLatin1(SQL_MANIFEST_2));
        const QString vehicle = out.manifest.run.value(QStringLiteral("VEHICLE")).toString();
        const auto name = [](const QVariant &v) { return v.isNull() ? QString() : v.toString().trimmed(); };
        for (data::ResultSet r = cn.query(QString::fromLatin1(SQL_STRETCHES).arg(*run)); !r.eof(); r.moveNext()) {
            const qint32 k = CLng(r.value(0));
            const data::StretchSeatCount seats = data::countStretchSeats(s, vehicle, k, k, *run);
            out.manifest.vehicleSeats = seats.total;
            out.manifest.stretches.append(
                {name(r.value(1)), name(r.value(2)), name(r.value(3)), name(r.value(4)), seats.held, seats.free()});
        }
    } catch (const data::DbException &e) {
        out = RunManifestOutcome{};
        out.message = databaseFailure(e);
    }
    return out;
}

}  // namespace nbk::reports
