#include "operations/scheduling/Timetable.h"

#include "common/PeopleDates.h"
#include "data/dialect/Numbers.h"
#include "data/dialect/SqlText.h"
#include "data/session/Class1.h"
#include "operations/scheduling/RunTimes.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace nbk::scheduling {

namespace {

const char *const SQL_ROUTES_1 =
    "select r.route_Id, r.place1 , r.place2 ,r.km,(r.km / r.travelmins), alpha.sequence_no, beta.sequence_no,"
    "r.stoptime FROM route r, (SELECT route_ID, sequence_no from path_order where reid in (SELECT REID FROM "
    "ROUTE_ELEMENT WHERE place1 = '";
const char *const SQL_ROUTES_2 =
    "' )  ) alpha, (SELECT route_ID, sequence_no from path_order where reid in  (SELECT REID FROM "
    "ROUTE_ELEMENT WHERE place2 = '";
const char *const SQL_ROUTES_3 =
    "' )   ) beta WHERE alpha.sequence_no<=beta.sequence_no AND alpha.route_ID=beta.route_id AND r.route_id = "
    "alpha.route_id";
const char *const SQL_CLASS_ON_DAY = "SELECT count(*) FROM service_class WHERE route_id = %1 AND class = %2 "
                                     "AND (day = %3 OR day = 8)";
const char *const SQL_PLAN_OF_DAY = "SELECT day, frequency, hour, minute FROM route_frequency WHERE route_id = %1 "
                                    "AND (day = %2 OR day = 8)";

constexpr int kEveryDay = 8;

// The starts a route's plan gives on `day`: the first at its hour and minute, then one
// every interval through the day (as the on-demand run reads the plan).
QList<QDateTime> startsOn(nbk::data::Connection &cn, qint32 route, qint16 classIndex, const QDate &day)
{
    const int dow = day.dayOfWeek();
    const nbk::data::RowTable served =
        cn.query(QString::fromLatin1(SQL_CLASS_ON_DAY).arg(route).arg(classIndex).arg(dow)).getRows();
    if (served.rowCount() == 0 || nbk::CLng(served.at(0, 0)) == 0)
        return {};
    const nbk::data::RowTable plans = cn.query(QString::fromLatin1(SQL_PLAN_OF_DAY).arg(route).arg(dow)).getRows();
    // the day's own row wins over the every-day row
    std::optional<int> pick;
    for (int want : {dow, kEveryDay})
        for (int r = 0; r < plans.rowCount() && !pick; ++r)
            if (plans.at(0, r).toInt() == want)
                pick = r;
    if (!pick)
        return {};
    const double interval = plans.at(1, *pick).toDouble();
    const QTime first(plans.at(2, *pick).toInt(), plans.at(3, *pick).toInt());
    if (!first.isValid() || !(interval > 0) || !std::isfinite(interval))
        return {};
    const QDateTime start = nbk::wallClock(day, first);
    const double n = std::nearbyint(1440.0 / interval);
    QList<QDateTime> starts;
    for (double k = 0; k < n; ++k)
        starts << start.addMSecs(std::llround(k * interval * 60000.0));
    return starts;
}

}  // namespace

QString RoutesBetweenText(const QString &origin, const QString &destination)
{
    return QString::fromLatin1(SQL_ROUTES_1) + nbk::data::sqlText(origin) + QString::fromLatin1(SQL_ROUTES_2) +
           nbk::data::sqlText(destination) + QString::fromLatin1(SQL_ROUTES_3);
}

QList<PlannedDeparture> PlannedDepartures(nbk::data::Connection &cn, const QString &origin,
                                          const QString &destination, qint16 classIndex, const QDateTime &from,
                                          const QDateTime &to)
{
    QList<PlannedDeparture> out;
    const nbk::data::RowTable routes = cn.query(RoutesBetweenText(origin, destination)).getRows();
    const QDateTime lo = nbk::wallClock(from), hi = nbk::wallClock(to);
    for (int r = 0; r < routes.rowCount(); ++r) {
        const qint32 route = nbk::CLng(routes.at(0, r));
        double speed = routes.at(4, r).toDouble();
        if (!(speed > 0))
            speed = nbk::kDefaultSpeedKmPerMinute;
        const int boardingSeq = int(nbk::CLng(routes.at(5, r)));
        const double km = nbk::data::GetSegmentDistance(double(route), double(boardingSeq));
        // whole minutes, as the run search reckons a made run's boarding time
        const qint16 offset = nbk::CInt(km / speed + (boardingSeq - 1) * routes.at(7, r).toDouble());
        for (QDate day = lo.addSecs(-qint64(offset) * 60).date(); day <= hi.addSecs(-qint64(offset) * 60).date();
             day = day.addDays(1)) {
            for (const QDateTime &start : startsOn(cn, route, classIndex, day)) {
                const QDateTime boarding = start.addSecs(qint64(offset) * 60);
                if (boarding >= lo && boarding <= hi)
                    out.append({route, start, boarding, boardingSeq, int(nbk::CLng(routes.at(6, r)))});
            }
        }
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const PlannedDeparture &a, const PlannedDeparture &b) { return a.boarding < b.boarding; });
    return out;
}

NearMiss NearestDepartures(const QList<PlannedDeparture> &departures, const QDateTime &wanted)
{
    NearMiss m;
    const QDateTime w = nbk::wallClock(wanted);
    for (const PlannedDeparture &d : departures) {
        if (d.boarding < w && (!m.before.boarding.isValid() || d.boarding > m.before.boarding))
            m.before = d;
        if (d.boarding > w && (!m.after.boarding.isValid() || d.boarding < m.after.boarding))
            m.after = d;
    }
    return m;
}

QString departureText(const QDateTime &t)
{
    return nbk::peopleDateTime(t);
}

QString nearMissText(const NearMiss &m, const QString &origin)
{
    if (!m.any())
        return QString();
    QStringList parts;
    if (m.before.boarding.isValid())
        parts << QStringLiteral("before it at %1 (route %2)").arg(departureText(m.before.boarding)).arg(m.before.routeId);
    if (m.after.boarding.isValid())
        parts << QStringLiteral("after it at %1 (route %2)").arg(departureText(m.after.boarding)).arg(m.after.routeId);
    return QStringLiteral("The nearest buses from %1 leave ").arg(origin) + parts.join(QStringLiteral(" and ")) +
           QLatin1Char('.');
}

}  // namespace nbk::scheduling
