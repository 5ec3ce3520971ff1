#include "routes/DeleteRoute.h"
#include "routes/StoreRoute.h"

#include "data/session/Class1.h"
#include "data/dialect/DbError.h"
#include "data/dialect/SqlText.h"
#include "ui/prompt/Prompt.h"
#include "data/session/Transaction.h"

namespace nbk::routes {

namespace {

const char *const SQL_DELETE = "Delete Route where route_id = ";
// a reservation is its customer row on one of the runs, or a seat it holds there
const char *const SQL_RESERVATIONS_1 =
    "SELECT COUNT(*) FROM customer c WHERE c.instance_id IN (SELECT instance_id FROM bus_instance WHERE bus_id = ";
const char *const SQL_RESERVATIONS_2 =
    ") OR c.customer_id IN (SELECT sm.customer_id FROM seat_matrix sm, bus_instance bi "
    "WHERE sm.instance_id = bi.instance_id AND bi.bus_id = ";
const char *const SQL_RESERVATIONS_3 = ")";
const char *const SQL_SEATS =
    "SELECT COUNT(*) FROM seat_matrix sm, bus_instance bi WHERE sm.instance_id = bi.instance_id AND bi.bus_id = ";
const char *const MSG_BOOKED = "Route %1 cannot be deleted: its bus runs hold %2 (%3), which would lose their "
                               "seats. Nothing has been changed. ";
const char *const MSG_FAILED = "The route could not be deleted. Nothing has been changed.\r\n";
const char *const MSG_DELETED = "Route %1 has been deleted with its bus runs, path, timetable and classes. ";

constexpr int kStop = mb::Critical | mb::OKOnly;

using nbk::data::L;

QString counted(qint64 n, const char *one, const char *many)
{
    return QString::number(n) + QLatin1Char(' ') + L(n == 1 ? one : many);
}

Outcome failed(const QString &why) { return Outcome::refuse(L(MSG_FAILED) + why.trimmed(), kStop, QStringLiteral("Error")); }

}  // namespace

RouteBookings BookingsOnRoute(data::Class1 &s, qint32 routeId)
{
    data::Connection &cn = s.GetCurrentConnection();
    const QString id = QString::number(routeId);
    RouteBookings b;
    b.reservations = qint64(cn.query(L(SQL_RESERVATIONS_1) + id + L(SQL_RESERVATIONS_2) + id + L(SQL_RESERVATIONS_3))
                                .value(0)
                                .toDouble());
    b.seats = qint64(cn.query(L(SQL_SEATS) + id).value(0).toDouble());
    return b;
}

Outcome RefuseDeletionWithBookings(qint32 routeId, const RouteBookings &b)
{
    if (b.reservations == 0 && b.seats == 0)
        return Outcome::done();
    return Outcome::refuse(L(MSG_BOOKED)
                               .arg(routeId)
                               .arg(counted(b.reservations, "reservation", "reservations"),
                                    counted(b.seats, "seat", "seats")),
                           kStop, QStringLiteral("Error"));
}

Outcome DeleteRoute(data::Class1 &s, qint32 routeId)
{
    // a task of its own: it commits alone, never someone else's pending changes
    data::Transaction tx;
    try {
        tx = data::Transaction(s, QStringLiteral("the deletion of route %1").arg(routeId));
        if (!tx.isOpen())
            return Outcome::refuse(tx.refusal(), kStop, QStringLiteral("Error"));
        // counted again inside the deletion: a booking made since the question is kept
        if (Outcome refused = RefuseDeletionWithBookings(routeId, BookingsOnRoute(s, routeId)); !refused.ok)
            return refused;
        if (s.exec(L(SQL_DELETE) + QString::number(routeId)) != nbk::data::kExecOk) {
            const QString why = s.LastExecError();
            if (isLockRefusal(why)) {
                tx.rollback();
                return Outcome::refuse(busyText(), kStop, QStringLiteral("Error"));
            }
            return failed(why);
        }
        tx.commit();
    } catch (const data::DbException &e) {
        if (isLockRefusal(e.error().description)) {
            tx.rollback();
            return Outcome::refuse(busyText(), kStop, QStringLiteral("Error"));
        }
        return failed(e.error().description);
    } catch (const std::exception &e) {
        return failed(QString::fromUtf8(e.what()));
    }
    Outcome done = Outcome::done();
    done.notice = {L(MSG_DELETED).arg(routeId), mb::Information | mb::OKOnly, QStringLiteral("Information")};
    return done;
}

}  // namespace nbk::routes
