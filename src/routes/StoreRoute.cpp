#include "routes/StoreRoute.h"
#include "routes/PlaceLocalName.h"

#include "data/dialect/DbError.h"
#include <QStringList>

#include "data/session/Class1.h"
#include "data/dialect/DbError.h"
#include "ui/prompt/Prompt.h"
#include "data/dialect/Numbers.h"
#include "data/dialect/SqlText.h"

#include <cmath>

namespace nbk::routes {

namespace {

const QString kError = QStringLiteral("Error");
const QString kInformation = QStringLiteral("Information");
const QString kInternalError = QStringLiteral("Internal Error");
constexpr int kStop = mb::Critical | mb::OKOnly;

const char *const MSG_PLACE = "One or more of the places in route sequence is null or less than 2 characters";
const char *const MSG_TOO_MANY = "A route can have at most 101 places. Please split the route ";
const char *const MSG_KM_ZERO = "One or more of the kilometers entered is zero ";
const char *const MSG_KM_INVALID = "One or more of the kilometers entered is null or invalid ";
const char *const MSG_KM_TOTAL = "The total distance of the route is beyond 32767 km ";
const char *const MSG_SEGMENTS = "Number of segments does not match with the route sequence ";
const char *const MSG_STOP_TIME = "Invalid Stop time";
const char *const MSG_TRAVEL_TIME = "Invalid Travel time";
const char *const MSG_KMPH = "Invalid KMph";
const char *const MSG_KMPH_ZERO = "The average speed must be above 0 KMph";
const char *const MSG_TRAVEL_RANGE = "The journey time of the route is beyond 32767 minutes ";
const char *const MSG_NO_REID = "Route Element already exists and unable to generate unique ID Please Try again";
const char *const MSG_LOCAL_NAMES = "There are more Kannada names than places in the route sequence ";
const char *const MSG_NO_PLACE_CODE = "Unable to generate a unique code for the new place ";
const char *const MSG_INTEGRITY =
    " Integrity violated. Trying again may solve the problem otherwise contact supervisor.";
const char *const MSG_BOOKED_1 = "Route ";
const char *const MSG_BOOKED_2 =
    " has reservations on its bus runs, which hold their seats by the route's segments. "
    "Its places and segments cannot be changed; its timetable and classes can. "
    "Please add a new route for the changed sequence.";
const char *const MSG_CHANGED_HEAD =
    "\r\n\r\nThese segments are already stored with other distances, which the route uses:";
const char *const MSG_CHANGED_TAIL = "Press Cancel to correct the entry. ";
const char *const MSG_DB_FAILURE = "The route could not be stored. Nothing has been changed.\r\n";

// a place typed in other capitals is the known place ("mysore" is Mysore)
const char *const SQL_PLACE_1 = "SELECT place, Full_Name FROM place where UPPER(Full_Name) = UPPER('";
const char *const SQL_PLACE_2 = "') ORDER BY Full_Name ";
// a code that differs from a stored one only in capitals would name the same place
const char *const SQL_CODE_TAKEN_1 = "SELECT COUNT(*) FROM place WHERE UPPER(place) = UPPER('";
const char *const SQL_CODE_TAKEN_2 = "')";
const char *const SQL_NEW_PLACE_1 = "INSERT INTO PLACE VALUES('";
const char *const SQL_NEW_PLACE_2 = "', '";
const char *const SQL_NEW_PLACE_3 = "')";
const char *const SQL_NEW_SEGMENT_1 = "INSERT INTO ROUTE_ELEMENT values(";
const char *const SQL_NEW_SEGMENT_2 = ", '";
const char *const SQL_NEW_SEGMENT_3 = "', '";
const char *const SQL_NEW_SEGMENT_4 = "', ";
const char *const SQL_NEW_SEGMENT_5 = ")";
const char *const SQL_ROUTE_1 = "INSERT INTO ROUTE VALUES( ";
const char *const SQL_ROUTE_2 = ", '";
const char *const SQL_ROUTE_3 = "' , '";
const char *const SQL_ROUTE_4 = "', ";
const char *const SQL_ROUTE_5 = " )";
const char *const SQL_DELETE_PATH = "DELETE PATH_ORDER where route_id = ";
const char *const SQL_DELETE_FREQUENCY = "DELETE ROUTE_FREQUENCY where route_id = ";
const char *const SQL_DELETE_CLASSES = "DELETE SERVICE_CLASS where route_id = ";
const char *const SQL_UPDATE_1 = "UPDATE ROUTE set  place1= '";
const char *const SQL_UPDATE_2 = "' , place2='";
const char *const SQL_UPDATE_3 = "', stops=";
const char *const SQL_UPDATE_4 = ", KM = ";
const char *const SQL_UPDATE_5 = ", FPI=";
const char *const SQL_UPDATE_6 = ", stoptime=";
const char *const SQL_UPDATE_7 = ", TravelMins = ";
const char *const SQL_UPDATE_8 = " where route_id = ";
const char *const SQL_ROUTE_NAME_1 = "UPDATE ROUTE set route_name = ";
const char *const SQL_PATH_1 = "INSERT INTO PATH_ORDER VALUES( ";
const char *const SQL_PATH_2 = ")";
// the guard of an edit: the stored path and the reservations that rest on it
const char *const SQL_STORED_PATH = "SELECT reid FROM path_order WHERE route_id = ";
const char *const SQL_STORED_PATH_ORDER = " ORDER BY sequence_no";
const char *const SQL_SEGMENT_KM = "SELECT km FROM route_element WHERE reid = ";
const char *const SQL_BOOKED_SEATS =
    "SELECT COUNT(*) FROM seat_matrix sm, bus_instance bi WHERE sm.instance_id = bi.instance_id AND bi.bus_id = ";

constexpr int kSegmentAttempts = 9;
// further place_seq values tried when the sequence code is taken too
constexpr int kSequenceCodeAttempts = 9;
using nbk::data::kExecOk;

using nbk::data::L;

double estimatedMinutes(qsizetype places, double stopTime, double totalKm, double speed)
{
    return std::nearbyint(double(places - 1) * stopTime + totalKm / speed * 60.0);
}

bool fitsSixteenBits(double v) { return v >= -32768 && v <= 32767; }

bool isSeparator(QChar c) { return c == QLatin1Char(',') || c == QLatin1Char(';'); }

qint64 nextValue(data::Class1 &s, const char *sequence)
{
    s.setupGetUniqueID(L(sequence));
    data::ResultSet rs = s.SQLcmdGetUniqueID().execute();
    const double v = rs.value(QStringLiteral("NEXTVAL")).toDouble();
    return qint64(v);
}

// The route's path as stored, and whether its runs hold reservations.
Outcome guardBookedPath(data::Class1 &s, qint32 routeId, const ResolvedRoute &resolved)
{
    data::Connection &cn = s.GetCurrentConnection();
    const QString id = QString::number(routeId);
    data::RowTable stored =
        cn.query(L(SQL_STORED_PATH) + id + L(SQL_STORED_PATH_ORDER)).getRows();
    bool same = stored.rowCount() == resolved.segments.size();
    for (int r = 0; same && r < stored.rowCount(); ++r)
        same = qint64(stored.at(0, r).toDouble()) == resolved.segments.at(r);
    if (same)
        return Outcome::done();
    if (cn.query(L(SQL_BOOKED_SEATS) + id).value(0).toDouble() == 0)
        return Outcome::done();
    return Outcome::refuse(L(MSG_BOOKED_1) + id + L(MSG_BOOKED_2), kStop, kError, Focus::RouteSequence, true);
}

}  // namespace

QString busyText()
{
    return QStringLiteral("A booking or cancellation not yet finished at a counter holds this route's buses. "
                          "Nothing has been changed: try again once it is saved or abandoned. ");
}

bool isLockRefusal(const QString &description)
{
    return description.contains(QLatin1String(data::kResourceBusyText).left(9));
}

Outcome databaseFailure(const QString &description)
{
    if (isLockRefusal(description))
        return Outcome::refuse(busyText(), kStop, kError, Focus::None, true);
    return Outcome::refuse(L(MSG_DB_FAILURE) + description.trimmed(), kStop, kError, Focus::None, true);
}

bool run(data::Class1 &s, const QString &sql, Outcome &failure)
{
    const qint16 r = s.exec(sql);
    if (r == kExecOk)
        return true;
    failure = databaseFailure(s.LastExecError());
    return false;
}

QStringList splitList(const QString &text)
{
    QStringList items;
    QString current;
    for (const QChar c : text) {
        if (isSeparator(c)) {
            items << current;
            current.clear();
        } else {
            current += c;
        }
    }
    if (!text.isEmpty() && !isSeparator(text.back()))
        items << current;
    return items;
}

QString trimBlanks(const QString &text)
{
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && text.at(b) == QLatin1Char(' '))
        ++b;
    while (e > b && text.at(e - 1) == QLatin1Char(' '))
        --e;
    return text.mid(b, e - b);
}

QStringList sequencePlaces(const QString &typed)
{
    QStringList places;
    for (const QString &item : splitList(typed)) {
        const QString name = trimBlanks(item);
        if (!name.isEmpty())
            places << name;
    }
    return places;
}

Outcome checkRoute(const RouteEntry &in, CheckedRoute &out)
{
    out = CheckedRoute{};
    for (const QString &item : splitList(in.sequence)) {
        const QString name = trimBlanks(item);
        if (name.size() < 2)
            return Outcome::refuse(L(MSG_PLACE), kStop, kError, Focus::RouteSequence);
        out.places << name;
    }
    if (out.places.size() > kMaxPlaces)
        return Outcome::refuse(L(MSG_TOO_MANY), kStop, kError, Focus::RouteSequence);

    double total = 0;
    for (const QString &item : splitList(in.kms)) {
        if (item.isEmpty())
            return Outcome::refuse(L(MSG_KM_ZERO), kStop, kError, Focus::RouteDistances);
        const QString number = trimBlanks(item);
        const double v = IsNumeric(number) ? Val(number) : 0;
        if (!IsNumeric(number) || !std::isfinite(v) || !(v > 0))
            return Outcome::refuse(L(MSG_KM_INVALID), kStop, kError, Focus::RouteDistances);
        out.distances << shortestDecimal(v);
        total = std::nearbyint(total + v);
        if (total > 32767)
            return Outcome::refuse(L(MSG_KM_TOTAL), kStop, kError, Focus::RouteDistances);
    }
    out.totalKm = qint16(total);
    if (out.distances.size() != out.places.size() - 1)
        return Outcome::refuse(L(MSG_SEGMENTS), kStop, QStringLiteral("Error."), Focus::RouteDistances);

    if (!IsNumeric(in.stopTime) || !std::isfinite(Val(in.stopTime)))
        return Outcome::refuse(L(MSG_STOP_TIME), mb::OKOnly, kInformation, Focus::StopTime);
    out.stopTime = Val(in.stopTime);

    double travel = 0;
    if (!in.estimate) {
        if (!IsNumeric(in.travelTime))
            return Outcome::refuse(L(MSG_TRAVEL_TIME), mb::OKOnly, kInformation, Focus::TravelTime);
        travel = std::nearbyint(Val(in.travelTime));
        if (!fitsSixteenBits(travel))
            return Outcome::refuse(L(MSG_TRAVEL_RANGE), mb::OKOnly, kInformation, Focus::TravelTime);
    } else {
        if (!IsNumeric(in.speed))
            return Outcome::refuse(L(MSG_KMPH), mb::OKOnly, kInformation, Focus::Speed);
        const double speed = Val(in.speed);
        // no estimate without a speed: the journey would take forever
        if (!(speed > 0) || !std::isfinite(speed))
            return Outcome::refuse(L(MSG_KMPH_ZERO), mb::OKOnly, kInformation, Focus::Speed);
        out.speed = speed;
        travel = estimatedMinutes(out.places.size(), out.stopTime, total, speed);
        if (!fitsSixteenBits(travel))
            return Outcome::refuse(L(MSG_TRAVEL_RANGE), mb::OKOnly, kInformation, Focus::Speed);
    }
    out.travelMins = qint16(travel);
    out.fpi = in.fpiPosition + 1;
    out.name = in.name.trimmed().left(kMaxRouteName);
    return checkLocalNames(in, out);
}

Outcome checkLocalNames(const RouteEntry &in, CheckedRoute &out)
{
    out.localNames.clear();
    if (!in.localNames.trimmed().isEmpty())
        for (const QString &item : splitList(in.localNames))
            out.localNames << item.trimmed();
    if (out.localNames.size() > out.places.size())
        return Outcome::refuse(L(MSG_LOCAL_NAMES), kStop, kError);
    return Outcome::done();
}

QStringList derivedPlaceCodes(const QString &name)
{
    QStringList codes;
    for (int j = 3; j <= name.size() - 2 && j <= 7; ++j)
        codes << name.left(2) + name.mid(j - 1, 2);
    return codes;
}

QString sequencePlaceCode(const QString &name, qint64 sequenceValue)
{
    return name.left(2) + QString::number(sequenceValue);
}

QString sequenceSummary(const QStringList &places)
{
    QString text = QStringLiteral("Route Sequence :   ");
    for (const QString &p : places)
        text += p + QStringLiteral(" - ");
    return text;
}

QString distanceSummary(const QStringList &distances)
{
    QString text = QStringLiteral("Segment KMs          ");
    for (const QString &d : distances)
        text += QStringLiteral("-") + d;
    return text;
}

QString confirmationText(bool editing, qint32 routeId, const CheckedRoute &route, const QList<DistanceChange> &changed)
{
    const QString head = editing ? QStringLiteral(" Route no. ") + QString::number(routeId)
                                       + QStringLiteral(" will be modified to ")
                                 : QStringLiteral("The following information will be added  ");
    QString text = head + QStringLiteral("\r\n\r\n") + sequenceSummary(route.places) + QStringLiteral("\r\n") +
                   QStringLiteral("   ") + distanceSummary(route.distances);
    if (changed.isEmpty())
        return text;
    text += L(MSG_CHANGED_HEAD);
    for (const DistanceChange &c : changed)
        text += QStringLiteral("\r\n   %1 - %2: %3 km (typed %4)").arg(c.from, c.to, c.stored, c.typed);
    return text + QStringLiteral("\r\nTotal %1 km. ").arg(route.totalKm) + L(MSG_CHANGED_TAIL);
}

Outcome useStoredDistances(CheckedRoute &route, const ResolvedRoute &resolved)
{
    double total = 0;
    for (const QString &km : resolved.distances) {
        total = std::nearbyint(total + Val(km));
        if (total > 32767)
            return Outcome::refuse(L(MSG_KM_TOTAL), kStop, kError, Focus::RouteDistances, true);
    }
    route.distances = resolved.distances;
    route.totalKm = qint16(total);
    if (route.speed > 0) {
        const double travel = estimatedMinutes(route.places.size(), route.stopTime, total, route.speed);
        if (!fitsSixteenBits(travel))
            return Outcome::refuse(L(MSG_TRAVEL_RANGE), mb::OKOnly, kInformation, Focus::Speed, true);
        route.travelMins = qint16(travel);
    }
    return Outcome::done();
}

bool sameStartAndEnd(const CheckedRoute &route)
{
    // the same place in other capitals is the same place
    return !route.places.isEmpty() && route.places.back().compare(route.places.front(), Qt::CaseInsensitive) == 0;
}

Outcome resolvePlaces(data::Class1 &s, const CheckedRoute &route, ResolvedRoute &out)
{
    out = ResolvedRoute{};
    try {
        data::Connection &cn = s.GetCurrentConnection();
        for (int i = 0; i < route.places.size(); ++i) {
            const QString &name = route.places.at(i);
            const data::RowTable found = cn.query(L(SQL_PLACE_1) + data::sqlText(name) + L(SQL_PLACE_2)).getRows();
            QString code;
            for (int r = 0; r < found.rowCount() && code.isEmpty(); ++r)
                if (found.at(1, r).toString() == name)
                    code = found.at(0, r).toString();
            if (code.isEmpty() && !found.isEmpty()) {
                code = found.at(0, 0).toString();
            } else if (code.isEmpty()) {
                QStringList candidates = derivedPlaceCodes(name);
                candidates << sequencePlaceCode(name, nextValue(s, "place_seq"));
                int sequenceTries = 1;
                for (int c = 0; c < candidates.size() && code.isEmpty(); ++c) {
                    const bool takenInOtherCase =
                        cn.query(L(SQL_CODE_TAKEN_1) + data::sqlText(candidates.at(c)) + L(SQL_CODE_TAKEN_2))
                            .value(0)
                            .toDouble() > 0;
                    const qint16 r = takenInOtherCase ? qint16(data::ora::UniqueViolated) : s.exec(L(SQL_NEW_PLACE_1) + data::sqlText(candidates.at(c)) + L(SQL_NEW_PLACE_2) +
                                            data::sqlText(name) + L(SQL_NEW_PLACE_3));
                    if (r == kExecOk) {
                        code = candidates.at(c);
                    } else if (r != data::ora::UniqueViolated) {
                        return databaseFailure(s.LastExecError());
                    } else if (c == candidates.size() - 1 && sequenceTries < kSequenceCodeAttempts) {
                        // the sequence code is taken too: a further value, a bounded number of times
                        candidates << sequencePlaceCode(name, nextValue(s, "place_seq"));
                        ++sequenceTries;
                    }
                }
                if (code.isEmpty())
                    return Outcome::refuse(L(MSG_NO_PLACE_CODE) + name + QStringLiteral(". Please Try again"), kStop,
                                           kInternalError, Focus::RouteSequence, true);
            }
            out.codes << code;
            if (i == 0)
                continue;

            s.SetupGetREID();
            data::Command &lookup = s.SQLcmdGetREID();
            lookup.setValue(0, out.codes.at(i - 1));
            lookup.setValue(1, code);
            data::ResultSet segment = lookup.execute();
            if (!segment.eof()) {
                const qint32 reid = CLng(segment.value(QStringLiteral("REID")));
                out.segments << reid;
                // a segment keeps its distance: fares and seats of other routes rest on it
                const QString stored =
                    shortestDecimal(cn.query(L(SQL_SEGMENT_KM) + QString::number(reid)).value(0).toDouble());
                const QString &typed = route.distances.at(i - 1);
                if (Val(stored) != Val(typed))
                    out.changed.push_back({route.places.at(i - 1), name, typed, stored});
                out.distances << stored;
                continue;
            }
            bool stored = false;
            for (int attempt = 0; attempt < kSegmentAttempts && !stored; ++attempt) {
                const qint64 id = nextValue(s, "reid_seq");
                const qint16 r = s.exec(L(SQL_NEW_SEGMENT_1) + QString::number(id) + L(SQL_NEW_SEGMENT_2) +
                                        data::sqlText(out.codes.at(i - 1)) + L(SQL_NEW_SEGMENT_3) +
                                        data::sqlText(code) + L(SQL_NEW_SEGMENT_4) + route.distances.at(i - 1) +
                                        L(SQL_NEW_SEGMENT_5));
                if (r == kExecOk) {
                    out.segments << qint32(id);
                    out.distances << route.distances.at(i - 1);
                    stored = true;
                } else if (r != data::ora::UniqueViolated) {
                    return databaseFailure(s.LastExecError());
                }
            }
            // rolled back: the places just created would otherwise wait on an idle screen
            if (!stored)
                return Outcome::refuse(L(MSG_NO_REID), kStop, kInternalError, Focus::None, true);
        }
    } catch (const std::exception &e) {
        return databaseFailure(QString::fromUtf8(e.what()));
    }
    return Outcome::done();
}

Outcome storePlaceLocalNames(data::Class1 &s, const CheckedRoute &route, const ResolvedRoute &resolved)
{
    try {
        for (int i = 0; i < route.localNames.size() && i < resolved.codes.size(); ++i)
            if (!route.localNames.at(i).isEmpty())
                setPlaceLocalName(s.GetCurrentConnection(), resolved.codes.at(i), route.localNames.at(i));
    } catch (const std::exception &e) {
        return databaseFailure(QString::fromUtf8(e.what()));
    }
    return Outcome::done();
}

Outcome storeRoute(data::Class1 &s, bool editing, const CheckedRoute &route, const ResolvedRoute &resolved,
                   qint32 &routeId)
{
    Outcome failure;
    try {
        const int n = int(route.places.size());
        const QString first = data::sqlText(resolved.codes.front());
        const QString last = data::sqlText(resolved.codes.back());
        const QString stops = QString::number(n);
        const QString km = QString::number(route.totalKm);
        const QString fpi = QString::number(route.fpi);
        const QString stopTime = shortestDecimal(route.stopTime);
        const QString travel = QString::number(route.travelMins);
        const QString name = route.name.isEmpty() ? QStringLiteral("NULL")
                                                  : QLatin1Char('\'') + data::sqlText(route.name) + QLatin1Char('\'');
        if (!editing) {
            routeId = CLng(double(nextValue(s, "route_seq")));
            const QString id = QString::number(routeId);
            const qint16 r = s.exec(L(SQL_ROUTE_1) + id + L(SQL_ROUTE_2) + first + L(SQL_ROUTE_3) + last +
                                    L(SQL_ROUTE_4) + stops + QStringLiteral(", ") + km + QStringLiteral(", ") + fpi +
                                    QStringLiteral(", ") + stopTime + QStringLiteral(", ") + travel + QStringLiteral(", ") + name +
                                    L(SQL_ROUTE_5));
            if (r == data::ora::UniqueViolated)
                return Outcome::refuse(L(MSG_INTEGRITY), kStop, kError, Focus::None, true);
            if (r != kExecOk)
                return databaseFailure(s.LastExecError());
        } else {
            const Outcome guard = guardBookedPath(s, routeId, resolved);
            if (!guard.ok)
                return guard;
            const QString id = QString::number(routeId);
            if (!run(s, L(SQL_DELETE_PATH) + id, failure) || !run(s, L(SQL_DELETE_FREQUENCY) + id, failure) ||
                !run(s, L(SQL_DELETE_CLASSES) + id, failure) ||
                !run(s,
                     L(SQL_UPDATE_1) + first + L(SQL_UPDATE_2) + last + L(SQL_UPDATE_3) + stops + L(SQL_UPDATE_4) + km +
                         L(SQL_UPDATE_5) + fpi + L(SQL_UPDATE_6) + stopTime + L(SQL_UPDATE_7) + travel +
                         L(SQL_UPDATE_8) + id,
                     failure)
                || !run(s, L(SQL_ROUTE_NAME_1) + name + L(SQL_UPDATE_8) + id, failure))
                return failure;
        }
        for (int k = 1; k < n; ++k) {
            if (!run(s,
                     L(SQL_PATH_1) + QString::number(routeId) + QStringLiteral(", ") + QString::number(k) +
                         QStringLiteral(", ") + QString::number(resolved.segments.at(k - 1)) + L(SQL_PATH_2),
                     failure))
                return failure;
        }
    } catch (const std::exception &e) {
        return databaseFailure(QString::fromUtf8(e.what()));
    }
    return Outcome::done();
}

}  // namespace nbk::routes
