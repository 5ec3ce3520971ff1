#include "operations/scheduling/CreateBusInstance.h"

#include "common/SharedRoutines.h"
#include "data/session/Class1.h"
#include "data/dialect/Numbers.h"
#include "data/dialect/SqlText.h"
#include "operations/scheduling/RouteNumber.h"
#include "operations/scheduling/RunTimes.h"
#include "operations/scheduling/Timetable.h"

#include <cmath>
#include <optional>

namespace mb = nbk::mb;
using nbk::wallClock;

namespace {

const char *const SQL_ROUTES_ONE = " AND r.Route_id=";
const char *const SQL_CLASS_1 = " SELECT * from service_class where route_id = ";
const char *const SQL_CLASS_2 = " AND class = ";
const char *const SQL_CLASS_3 = " And (day = ";
const char *const SQL_CLASS_TWO_DAYS = " OR day = 8 or day = ";
const char *const SQL_CLASS_ONE_DAY = " OR day =8 )";
const char *const SQL_FREQ_1 = "SELECT * from route_frequency where route_id = ";
const char *const SQL_FREQ_2 = " AND ( Day = ";
const char *const SQL_FREQ_TWO_DAYS = " or day = 8 or day = ";
const char *const SQL_FREQ_ONE_DAY = " or day = 8)";
const char *const SQL_UNUSED_VEHICLE_1 = "select registration from bus_info where type = ";
const char *const SQL_UNUSED_VEHICLE_2 = " AND registration not in (select registration from bus_instance) ";
const char *const SQL_STAND =
    "SELECT Stand_ID from bus_stand bs where bs.city in ( SELECT full_name from place where place in (select "
    "place1  from route where route_id = ";
const char *const SQL_SEATS = " SELECT total_seats from bus_info where registration = '";
const char *const SQL_VEHICLE_1 = "SELECT ALL bi.registration , bi.dep_date, (r.travelmins + ";
const char *const SQL_VEHICLE_2 = " )/(1440)  FROM bus_instance bi,(SELECT * from route where  place2 = '";
const char *const SQL_VEHICLE_3 = "') r Where bi.bus_id = r.Route_id AND bi.class = ";
const char *const SQL_VEHICLE_4 = " AND (bi.dep_date + ( (r.travelmins + ";
const char *const SQL_VEHICLE_5 = ") / 1440) ) <= ";
const char *const SQL_VEHICLE_6 = " AND NOT EXISTS (SELECT * from bus_instance b Where bi.registration = b.registration And ( ";
const char *const SQL_VEHICLE_7 = ") + ((r.travelmins + ";
const char *const SQL_VEHICLE_8 = " ) / (1440)) <= b.dep_date) ";

const char *const MSG_NO_ROUTES = " No Routes available for the segment. Please change the From or To locations ";
const char *const MSG_APPROXIMATE =
    " A route which services the request \r\nwithin +/- 15 minutes is found. Do you wish to use this route? ";

constexpr double kWindowMinutes = 15;
constexpr int kEveryDay = 8;

QString num(double v) { return nbk::shortestDecimal(v); }

double minutesBetween(const QDateTime &a, const QDateTime &b)
{
    return std::fabs(double(wallClock(a).msecsTo(wallClock(b)))) / 60000.0;
}

QDateTime addMinutes(const QDateTime &d, double minutes) { return d.addMSecs(std::llround(minutes * 60000.0)); }

struct Frequency {
    double interval = 0;
    int hour = 0;
    int minute = 0;
};

// The plan of one weekday: its own row, else the every-day row.
std::optional<Frequency> frequencyOf(const nbk::data::RowTable &rows, int day)
{
    for (int want : {day, kEveryDay})
        for (int r = 0; r < rows.rowCount(); ++r)
            if (rows.at(1, r).toInt() == want)
                return Frequency{rows.at(2, r).toDouble(), rows.at(3, r).toInt(), rows.at(4, r).toInt()};
    return std::nullopt;
}

// The departure of the plan nearest to `target` when it lies within the window of the
// wanted start; `approximate` is set when it is near but not exact.
std::optional<QDateTime> candidate(const QDateTime &target, const QDateTime &wantedStart, const Frequency &f,
                                   bool &approximate)
{
    if (!(f.interval > 0))
        return std::nullopt;
    const QDateTime first = nbk::wallClockFromText(FormatDepartureText(target, f.hour, f.minute),
                                                   QStringLiteral("M-d-yyyy"), QStringLiteral("H:m:ss"));
    if (!first.isValid())
        return std::nullopt;
    const QDateTime c = NearestDeparture(target, first, f.interval);
    if (DateTimeDiffers(c, wantedStart)) {
        if (minutesBetween(c, wantedStart) < kWindowMinutes)
            approximate = true;
        else
            return std::nullopt;
    }
    return c;
}

// The vehicle for a run leaving at `chosen`: one whose last run ends at the place in time,
// else (trying the other candidate departure first) one that has never run.
QString pickVehicle(nbk::data::Connection &cn, const QString &origin, qint16 slack, qint16 classIndex,
                    QDateTime &chosen, std::optional<QDateTime> &c1, std::optional<QDateTime> &c2)
{
    for (;;) {
        nbk::data::ResultSet rs = cn.query(ComposeVehicleQuery(origin, slack, chosen, classIndex));
        if (!rs.eof()) {
            QString best;
            double bestDistance = 0;
            for (; !rs.eof(); rs.moveNext()) {
                const double d = minutesBetween(rs.value(1).toDateTime(), chosen);
                if (best.isNull() || d < bestDistance) {
                    best = rs.value(0).toString();
                    bestDistance = d;
                }
            }
            return best;
        }
        if (c1) {
            chosen = *c1;
            c1.reset();
        } else if (c2) {
            chosen = *c2;
            c2.reset();
        } else {
            break;
        }
    }
    nbk::data::ResultSet rs = cn.query(QString::fromLatin1(SQL_UNUSED_VEHICLE_1) + QString::number(classIndex)
                                       + QString::fromLatin1(SQL_UNUSED_VEHICLE_2));
    if (rs.eof())
        return QString();
    return rs.value(QStringLiteral("registration")).toString();
}

}  // namespace

QString FormatDepartureText(const QDateTime &day, int hour, int minute)
{
    if (!day.isValid())
        return QString();
    const QDate d = day.date();
    return QString::number(d.month()) + QLatin1Char('-') + QString::number(d.day()) + QLatin1Char('-')
           + QString::number(d.year()) + QLatin1Char(' ') + QString::number(hour) + QLatin1Char(':')
           + QString::number(minute) + QStringLiteral(":00");
}

QDateTime NearestDeparture(const QDateTime &target, const QDateTime &first, double interval)
{
    if (!(interval > 0) || !std::isfinite(interval))
        return first;
    const double n = std::nearbyint(1440.0 / interval);
    QDateTime best = first;
    double bestDistance = 1440;
    for (double k = 0; k < n; ++k) {
        const QDateTime departure = addMinutes(first, k * interval);
        const double d = minutesBetween(departure, target);
        if (d < bestDistance) {
            best = departure;
            bestDistance = d;
        }
    }
    return best;
}

QString ComposeVehicleQuery(const QString &place, qint16 slack, const QDateTime &departure, qint16 classIndex)
{
    const QString dep = OracleDateLiteral(departure);
    const QString s = QString::number(slack);
    return QString::fromLatin1(SQL_VEHICLE_1) + s + QString::fromLatin1(SQL_VEHICLE_2) + nbk::data::sqlText(place)
           + QString::fromLatin1(SQL_VEHICLE_3) + QString::number(classIndex) + QString::fromLatin1(SQL_VEHICLE_4) + s
           + QString::fromLatin1(SQL_VEHICLE_5) + dep + QString::fromLatin1(SQL_VEHICLE_6) + dep
           + QString::fromLatin1(SQL_VEHICLE_7) + s + QString::fromLatin1(SQL_VEHICLE_8);
}

bool DateTimeDiffers(const QDateTime &a, const QDateTime &b)
{
    const QTime ta = a.time(), tb = b.time();
    return a.date() != b.date() || ta.hour() != tb.hour() || ta.minute() != tb.minute()
           || ta.second() != tb.second();
}

qint16 CreateBusInstance(QString &RouteIdText, const QString &Origin, const QString &Destination,
                         qint16 ClassIndex, const QDateTime &Wanted, qint16 Slack, nbk::Notices &notices,
                         const nbk::Confirm &confirm)
{
    nbk::data::Class1 &s = *DbSession;
    nbk::data::Connection &cn = s.GetCurrentConnection();

    QString routeSql = nbk::scheduling::RoutesBetweenText(Origin, Destination);
    nbk::data::RowTable routes;
    bool numericRoute = true;
    if (!RouteIdText.isEmpty()) {
        const std::optional<QString> route = RouteNumberLiteral(RouteIdText);
        numericRoute = route.has_value();
        if (route)
            routeSql += QString::fromLatin1(SQL_ROUTES_ONE) + *route;
    }
    if (numericRoute)
        routes = cn.query(routeSql).getRows();
    if (routes.isEmpty()) {
        notices.push_back({QString::fromLatin1(MSG_NO_ROUTES), mb::Critical | mb::OKOnly, QStringLiteral("Error")});
        return -1;
    }

    const QDateTime wanted = wallClock(Wanted);
    bool approximate = false;
    for (int r = 0; r < routes.rowCount(); ++r) {
        const QString routeId = QString::number(nbk::CLng(routes.at(0, r)));
        RouteIdText = routeId;
        double speed = routes.at(4, r).toDouble();
        if (speed == 0)
            speed = nbk::kDefaultSpeedKmPerMinute;
        const double boarding = routes.at(5, r).toDouble();
        const double offset = routes.at(7, r).toDouble() * (boarding - 1)
                              + nbk::data::GetSegmentDistance(routes.at(0, r).toDouble(), boarding) / speed;
        const QDateTime start = addMinutes(wanted, -offset);

        const int day = start.date().dayOfWeek();
        int otherDay = 0;
        double shift = 0;
        if (const int d = addMinutes(start, -kWindowMinutes).date().dayOfWeek(); d != day) {
            otherDay = d;
            shift = kWindowMinutes;
        } else if (const int d2 = addMinutes(start, kWindowMinutes).date().dayOfWeek(); d2 != day) {
            otherDay = d2;
            shift = -kWindowMinutes;
        }

        QString classSql = QString::fromLatin1(SQL_CLASS_1) + routeId + QString::fromLatin1(SQL_CLASS_2)
                           + QString::number(ClassIndex) + QString::fromLatin1(SQL_CLASS_3) + QString::number(day);
        classSql += otherDay ? QString::fromLatin1(SQL_CLASS_TWO_DAYS) + QString::number(otherDay) + QLatin1Char(')')
                             : QString::fromLatin1(SQL_CLASS_ONE_DAY);
        const nbk::data::RowTable classes = cn.query(classSql).getRows();
        if (classes.isEmpty())
            continue;
        // the neighbouring day counts only when the window around the start crosses midnight
        const bool bothDays = otherDay != 0 && classes.rowCount() == 2;

        QString freqSql = QString::fromLatin1(SQL_FREQ_1) + routeId + QString::fromLatin1(SQL_FREQ_2)
                          + QString::number(day);
        freqSql += bothDays ? QString::fromLatin1(SQL_FREQ_TWO_DAYS) + QString::number(otherDay) + QLatin1Char(')')
                            : QString::fromLatin1(SQL_FREQ_ONE_DAY);
        const nbk::data::RowTable plans = cn.query(freqSql).getRows();
        if (plans.isEmpty())
            continue;
        // each day is served by its own row (or the every-day row), whatever order they come in
        const std::optional<Frequency> plan1 = frequencyOf(plans, day);
        const std::optional<Frequency> plan2 = bothDays ? frequencyOf(plans, otherDay) : std::nullopt;
        if (!plan1 || (bothDays && !plan2))
            continue;

        std::optional<QDateTime> c1 = candidate(start, start, *plan1, approximate);
        std::optional<QDateTime> c2;
        if (bothDays)
            c2 = candidate(addMinutes(start, -shift), start, *plan2, approximate);
        if (!c1 && !c2)
            continue;
        QDateTime chosen;
        if (c1 && (!c2 || minutesBetween(*c1, start) <= minutesBetween(*c2, start))) {
            chosen = *c1;
            c1.reset();
        } else {
            chosen = *c2;
            c2.reset();
        }

        const QString registration = pickVehicle(cn, Origin, Slack, ClassIndex, chosen, c1, c2);
        if (registration.isEmpty())
            continue;
        // the question names the departure it found, at the place the passenger boards
        if (approximate
            && !(confirm && confirm({QString::fromLatin1(MSG_APPROXIMATE) + QStringLiteral("\r\nThe bus leaves ") +
                                         Origin + QStringLiteral(" at ") +
                                         nbk::scheduling::departureText(addMinutes(chosen, offset)) +
                                         QLatin1Char('.'),
                                     mb::YesNo | mb::Question, QStringLiteral("Question ")})))
            continue;

        s.setupGetUniqueID(QStringLiteral("instance_seq"));
        const qint32 instanceId = nbk::CLng(s.SQLcmdGetUniqueID().execute().value(QStringLiteral("NEXTVAL")));

        nbk::data::ResultSet stand = cn.query(QString::fromLatin1(SQL_STAND) + routeId + QStringLiteral(" ) )"));
        const qint16 standId = stand.eof() ? qint16(0) : nbk::CInt(stand.value(QStringLiteral("Stand_Id")));

        nbk::data::ResultSet seats =
            cn.query(QString::fromLatin1(SQL_SEATS) + nbk::data::sqlText(registration) + QLatin1Char('\''));
        // a registration the vehicle table does not know cannot carry anybody
        if (seats.eof() || seats.value(QStringLiteral("Total_seats")).isNull())
            continue;
        const double totalSeats = seats.value(QStringLiteral("Total_seats")).toDouble();

        const QString insert = QStringLiteral("Insert into bus_instance values( ") + QString::number(instanceId)
                               + QStringLiteral(", ") + routeId + QStringLiteral(", ") + OracleDateLiteral(chosen)
                               + QStringLiteral(" , 'tt' , ") + QString::number(standId) + QStringLiteral(" , '")
                               + nbk::data::sqlText(registration.trimmed()) + QStringLiteral("' , ")
                               + QString::number(ClassIndex) + QStringLiteral(" , ") + num(totalSeats)
                               + QStringLiteral(" ) ");
        if (s.exec(insert) == nbk::data::kExecOk)
            return 1;
    }
    return -1;
}

qint16 CreateBusInstance(const nbk::reservation::ReservationState &request, QString &routeIdText, qint16 Slack,
                         nbk::Notices &notices, const nbk::Confirm &confirm)
{
    return CreateBusInstance(routeIdText, request.OriginPlace, request.DestinationPlace, request.ClassIndex,
                             request.JourneyDateTime, Slack, notices, confirm);
}
