#include "reservation/FindBusInstances.h"
#include "reservation/SeatPlan.h"
#include "data/session/StretchSeats.h"

#include "common/PeopleDates.h"
#include "data/session/Class1.h"
#include "data/dialect/Numbers.h"
#include "data/dialect/SqlText.h"
#include "operations/scheduling/CreateBusInstance.h"
#include "operations/scheduling/RouteNumber.h"
#include "operations/scheduling/RunTimes.h"
#include "operations/scheduling/Timetable.h"
#include "common/ReservationState.h"

#include <QHash>
#include <algorithm>
#include <cmath>
#include <vector>

namespace mb = nbk::mb;
using nbk::wallClock;

namespace {

const char *const SQL_RUNS_OF_ROUTE_1 =
    "select bi.instance_Id, bi.bus_id, bi.registration, alpha.sequence_no, beta.sequence_no, "
    "To_char(bi.dep_date,'mm-dd-yyyy hh24:mi:ss'), bi.Free_Seats, Cls.base, Cls.multiplier, fpidx.multiplier, "
    "(r.km / r.travelmins), r.StopTime FROM BUS_INSTANCE bi, class_type cls, fuel_index  fpidx, route r,"
    "(SELECT route_ID, sequence_no from path_order where reid in (SELECT REID FROM ROUTE_ELEMENT WHERE ";
const char *const SQL_RUNS_OF_ROUTE_2 = "place1 = '";
const char *const SQL_RUNS_OF_ROUTE_3 =
    "' )  ) alpha, (SELECT route_ID, sequence_no from path_order where reid in  (SELECT REID FROM "
    "ROUTE_ELEMENT WHERE ";
const char *const SQL_RUNS_OF_ROUTE_4 = "place2 = '";
const char *const SQL_RUNS_OF_ROUTE_5 =
    "')   ) beta WHERE (bi.Bus_id in beta.route_id AND alpha.sequence_no<=beta.sequence_no AND "
    "alpha.route_ID=beta.route_id) AND bi.class= ";
const char *const SQL_RUNS_OF_ROUTE_6 = " AND bi.class=cls.class AND  ABS (bi.dep_date - TO_DATE('";
const char *const SQL_RUNS_OF_ROUTE_7 =
    "' ,'mm-dd-yyyy hh24:mi:ss') ) <= 1 AND (fpidx.fpi in (select fpi from route where bi.bus_id = "
    "route_id) ) AND bi.bus_id = r.route_id AND bi.bus_id=";

// The run rows' fields.
enum RunField {
    F_INSTANCE = 0,
    F_ROUTE = 1,
    F_BOARDING = 3,
    F_ALIGHTING = 4,
    F_DEPARTURE = 5,
    F_FREE_SEATS = 6,
    F_SPEED = 10,
    F_STOP_TIME = 11,
};

constexpr double kReservationTolerance = 15;
constexpr double kEnquiryTolerance = 1439;

QString runsOfRouteText(const nbk::reservation::ReservationState &request, const QString &routeLiteral)
{
    return QString::fromLatin1(SQL_RUNS_OF_ROUTE_1) + QString::fromLatin1(SQL_RUNS_OF_ROUTE_2)
           + nbk::data::sqlText(request.OriginPlace) + QString::fromLatin1(SQL_RUNS_OF_ROUTE_3)
           + QString::fromLatin1(SQL_RUNS_OF_ROUTE_4) + nbk::data::sqlText(request.DestinationPlace)
           + QString::fromLatin1(SQL_RUNS_OF_ROUTE_5) + QString::number(request.ClassIndex)
           + QString::fromLatin1(SQL_RUNS_OF_ROUTE_6) + nbk::data::sqlText(request.JourneyDateText)
           + QString::fromLatin1(SQL_RUNS_OF_ROUTE_7) + routeLiteral;
}

QString entryText(const QString &origin, const nbk::data::RowTable &rows, int i, const QDateTime &boarding)
{
    return QStringLiteral("Instance: ") + rows.at(F_INSTANCE, i).toString() + QStringLiteral("  Route No:  ")
           + rows.at(F_ROUTE, i).toString() + QStringLiteral("   Date: ")
           + nbk::peopleDate(boarding.date()) + QStringLiteral(" departing ") + origin
           + QStringLiteral(" at ") + boarding.toString(QStringLiteral("HH:mm:ss")) + QStringLiteral(" Hrs ");
}

// What an enquiry tells beside each departure: the seats free on the journey's stretch and
// the fare of the seats asked for.
QString seatsAndFare(int freeSeats, const QString &fare)
{
    return QStringLiteral("  Seats free: %1  Fare: \u20B9 %2").arg(freeSeats).arg(fare);
}

QString fareText(nbk::data::Class1 &s, qint32 route, int boardingSeq, int alightingSeq, double fuel, double classMult,
                 qint16 base, qint16 seats)
{
    s.SetupGetDistance();
    nbk::data::Command &distance = s.SQLcmdGetDistance();
    distance.setValue(0, route);
    distance.setValue(1, boardingSeq);
    distance.setValue(2, alightingSeq);
    nbk::data::ResultSet km = distance.execute();
    if (km.eof() || km.value(0).isNull())
        return QStringLiteral("?");
    try {
        return QString::number(FareFor(nbk::CLng(km.value(0)), fuel, classMult, base, seats));
    } catch (const std::exception &) {
        return QStringLiteral("?");
    }
}

// The departures the timetables plan that have no run yet, for an enquiry: nothing is
// made, but the clerk learns of every bus the counter could book.
struct PlannedEntry {
    RunEntry entry;
    QDateTime boarding;
    int freeSeats = 0;
};

QList<PlannedEntry> plannedEntries(nbk::data::Class1 &s, const nbk::reservation::ReservationState &request,
                                   const nbk::data::RowTable &rows, const QDateTime &wanted, double tolerance)
{
    QList<PlannedEntry> out;
    nbk::data::Connection &cn = s.GetCurrentConnection();
    const qint64 window = qint64(tolerance) * 60;
    QList<nbk::scheduling::PlannedDeparture> planned = nbk::scheduling::PlannedDepartures(
        cn, request.OriginPlace, request.DestinationPlace, request.ClassIndex, wanted.addSecs(-window + 60),
        wanted.addSecs(window - 60));
    if (planned.isEmpty())
        return out;
    const nbk::data::RowTable cls =
        cn.query(QStringLiteral("SELECT base, multiplier FROM class_type WHERE class = %1").arg(request.ClassIndex))
            .getRows();
    const nbk::data::RowTable seats =
        cn.query(QStringLiteral("SELECT min(total_seats) FROM bus_info WHERE type = %1").arg(request.ClassIndex))
            .getRows();
    const int capacity = seats.rowCount() > 0 ? int(nbk::CLng(seats.at(0, 0))) : 0;
    for (const nbk::scheduling::PlannedDeparture &d : planned) {
        bool made = false;
        for (int i = 0; i < rows.rowCount() && !made; ++i)
            made = nbk::CLng(rows.at(F_ROUTE, i)) == d.routeId
                   && nbk::runDeparture(rows.at(F_DEPARTURE, i).toString()) == d.start;
        if (made)
            continue;
        const nbk::data::RowTable fuel =
            cn.query(QStringLiteral("SELECT f.multiplier FROM fuel_index f, route r WHERE r.route_id = %1 "
                                    "AND f.fpi = r.fpi")
                         .arg(d.routeId))
                .getRows();
        const QString fare = cls.rowCount() > 0 && fuel.rowCount() > 0
                                 ? fareText(s, d.routeId, d.boardingSeq, d.alightingSeq, fuel.at(0, 0).toDouble(),
                                            cls.at(1, 0).toDouble(), nbk::CInt(cls.at(0, 0)), request.SeatsRequested)
                                 : QStringLiteral("?");
        out.append({{QStringLiteral("Planned, no run yet.  Route No:  ") + QString::number(d.routeId)
                                + QStringLiteral("   Date: ") + nbk::peopleDate(d.boarding.date())
                                + QStringLiteral(" departing ") + request.OriginPlace + QStringLiteral(" at ")
                                + d.boarding.toString(QStringLiteral("HH:mm:ss")) + QStringLiteral(" Hrs ")
                                + seatsAndFare(capacity, fare),
                            -1, 0},
                    d.boarding, capacity});
    }
    return out;
}

// The run's counter (free_seats) counts every seat row of the run whatever its stretch,
// so where a seat is sold again further along the route it says less than is free: the
// search weighs the seats free on the journey's own stretch instead.
int stretchFreeSeats(nbk::data::Class1 &s, const nbk::data::RowTable &rows, int i)
{
    return nbk::data::countStretchSeats(s, rows.at(2, i).toString(), nbk::CLng(rows.at(F_BOARDING, i)),
                                        nbk::CLng(rows.at(F_ALIGHTING, i)), nbk::CLng(rows.at(F_INSTANCE, i)))
        .free();
}

}  // namespace

qint16 BoardingOffsetFor(const nbk::data::RowTable &rows, int i)
{
    const double km = nbk::data::GetSegmentDistance(rows.at(F_ROUTE, i).toDouble(), rows.at(F_BOARDING, i).toDouble());
    double speed = rows.at(F_SPEED, i).toDouble();
    if (!(speed > 0))
        speed = nbk::kDefaultSpeedKmPerMinute;
    const double position = rows.at(F_BOARDING, i).toDouble();
    const double stop = rows.at(F_STOP_TIME, i).toDouble();
    return nbk::CInt(km / speed + (position - 1) * stop);
}

SearchOutcome FindBusInstances(const nbk::reservation::ReservationState &request, QString &routeIdText,
                               const nbk::Confirm &confirm)
{
    SearchOutcome out;
    nbk::data::Class1 &s = *DbSession;
    nbk::data::RowTable rows;
    const QDateTime wanted = wallClock(request.JourneyDateTime);
    for (;;) {
        if (!routeIdText.isEmpty()) {
            const std::optional<QString> route = RouteNumberLiteral(routeIdText);
            nbk::data::ResultSet rs;
            if (route)
                rs = s.GetCurrentConnection().query(runsOfRouteText(request, *route));
            if (!route || rs.eof()) {
                out.showRequest = true;
                out.notices.push_back({QStringLiteral(" Requested place not found for the specified route ID "),
                                       mb::Critical, QStringLiteral("Error")});
                out.focus = nbk::Focus::RouteNumber;
                return out;
            }
            rows = rs.getRows();
            break;
        }
        s.SetupInstanceDetails();
        nbk::data::Command &c = s.SQLcmdGetInstanceDetails();
        c.setValue(0, request.OriginPlace);
        c.setValue(1, request.DestinationPlace);
        c.setValue(2, request.ClassIndex);
        c.setValue(3, request.JourneyDateText);
        nbk::data::ResultSet rs = c.execute();
        if (!rs.eof()) {
            rows = rs.getRows();
            break;
        }
        // an enquiry also lists the departures planned without a run (below)
        if (request.EnquiryMode)
            break;
        // no run yet: have one made from the route's plan, then look at that route only
        if (CreateBusInstance(request, routeIdText, 10, out.notices, confirm) == 1)
            continue;
        QString text = QStringLiteral("No Instances to service requested route. Please try changing the class or date ");
        const QString near = nbk::scheduling::nearMissText(
            nbk::scheduling::NearestDepartures(
                nbk::scheduling::PlannedDepartures(s.GetCurrentConnection(), request.OriginPlace,
                                                   request.DestinationPlace, request.ClassIndex,
                                                   wanted.addDays(-1), wanted.addDays(1)),
                wanted),
            request.OriginPlace);
        if (!near.isEmpty())
            text += QStringLiteral("\r\n") + near;
        out.notices.push_back({text, mb::Information, QStringLiteral("Error.")});
        out.showRequest = true;
        out.dateCleared = true;
        return out;
    }
    const int n = rows.rowCount();
    for (int i = 0; i < n; ++i)
        rows.at(F_FREE_SEATS, i) = stretchFreeSeats(s, rows, i);
    out.runRows = rows;

    const double tolerance = request.EnquiryMode ? kEnquiryTolerance : kReservationTolerance;
    QList<PlannedEntry> planned;
    if (request.EnquiryMode) {
        planned = plannedEntries(s, request, rows, wanted, tolerance);
        if (n == 0 && planned.isEmpty()) {
            out.notices.push_back({QStringLiteral(QT_TRANSLATE_NOOP("Prompt", "No Instances to service requested route. ")), mb::Information,
                                   QStringLiteral("Enquiry.")});
            out.enquiryEnded = true;
            return out;
        }
    }

    bool enoughSeats = false;
    for (int i = 0; i < n && !enoughSeats; ++i)
        enoughSeats = rows.at(F_FREE_SEATS, i).toDouble() >= request.SeatsRequested;
    for (const PlannedEntry &e : planned)
        enoughSeats = enoughSeats || e.freeSeats >= request.SeatsRequested;
    if (!enoughSeats) {
        out.notices.push_back({QStringLiteral(" Requested number of seats not available")});
        out.showRequest = true;
        out.enableNext = true;
        out.focus = nbk::Focus::Seats;
        return out;
    }

    DbSession->SetupGetDistance();
    out.result = true;
    // the rows are mostly runs of one route boarding at one place: their distance is asked
    // of the server once, not once per run
    QHash<QString, qint16> offsets;
    QList<nbk::scheduling::PlannedDeparture> seen;  // every run examined, for the near misses
    std::vector<QDateTime> boardings;               // of the entries, in their order
    for (int i = 0; i < n; ++i) {
        const QString leg = QStringList{rows.at(F_ROUTE, i).toString(), rows.at(F_BOARDING, i).toString(),
                                        rows.at(F_SPEED, i).toString(), rows.at(F_STOP_TIME, i).toString()}
                                .join(QLatin1Char('/'));
        auto offset = offsets.find(leg);
        if (offset == offsets.end())
            offset = offsets.insert(leg, BoardingOffsetFor(rows, i));
        out.boardingOffsetMinutes = *offset;
        const QDateTime start = nbk::runDeparture(rows.at(F_DEPARTURE, i).toString());
        if (!start.isValid())
            continue;
        const QDateTime boarding = start.addSecs(qint64(out.boardingOffsetMinutes) * 60);
        if (!request.AllowInstanceChoice && !request.EnquiryMode && boarding == wanted) {
            // the runs listed so far are not offered: the booking is the clerk's next step
            out.entries.clear();
            nbk::reservation::ReservationState booked = request;
            booked.SearchRows = rows;
            booked.BoardingOffsetMinutes = out.boardingOffsetMinutes;
            if (request.ChooseSeats && RunSeatPlan(booked, qint16(i)).laidOut) {
                out.chooseSeats = true;
                out.seatRequest = std::move(booked);
                out.seatRow = qint16(i);
                return out;
            }
            out.booking = BookSeats(booked, qint16(i));
            return out;
        }
        seen.append({qint32(nbk::CLng(rows.at(F_ROUTE, i))), start, boarding, 0, 0});
        if (std::fabs(double(wanted.secsTo(boarding))) / 60.0 >= tolerance)
            continue;
        QString text = entryText(request.OriginPlace, rows, i, boarding);
        if (request.EnquiryMode)
            text += seatsAndFare(rows.at(F_FREE_SEATS, i).toInt(),
                                 fareText(s, qint32(nbk::CLng(rows.at(F_ROUTE, i))), int(nbk::CLng(rows.at(F_BOARDING, i))),
                                          int(nbk::CLng(rows.at(F_ALIGHTING, i))), rows.at(9, i).toDouble(),
                                          rows.at(8, i).toDouble(), nbk::CInt(rows.at(7, i)), request.SeatsRequested));
        out.entries.append({text, qint16(i), out.boardingOffsetMinutes});
        boardings.push_back(boarding);
    }
    if (request.EnquiryMode) {
        // made and planned departures together, in the order they board
        QList<std::pair<QDateTime, RunEntry>> all;
        for (int e = 0; e < out.entries.size(); ++e)
            all.append({boardings[size_t(e)], out.entries[e]});
        for (const PlannedEntry &e : planned)
            all.append({e.boarding, e.entry});
        std::stable_sort(all.begin(), all.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
        out.entries.clear();
        for (const auto &p : all)
            out.entries.append(p.second);
    }
    if (out.entries.isEmpty()) {
        QString text = QStringLiteral(" no instances  take care ");
        // the runs found and the plan's departures without a run, nearest first either side
        QList<nbk::scheduling::PlannedDeparture> near = seen;
        if (!request.EnquiryMode && routeIdText.isEmpty())
            near += nbk::scheduling::PlannedDepartures(s.GetCurrentConnection(), request.OriginPlace,
                                                       request.DestinationPlace, request.ClassIndex,
                                                       wanted.addDays(-1), wanted.addDays(1));
        const QString line =
            nbk::scheduling::nearMissText(nbk::scheduling::NearestDepartures(near, wanted), request.OriginPlace);
        if (!line.isEmpty())
            text += QStringLiteral("\r\n") + line;
        out.notices.push_back({text});
        out.showRequest = true;
        out.enableNext = true;
        out.focus = nbk::Focus::Seats;
    }
    return out;
}

void TakeSearch(nbk::reservation::ReservationState &request, const SearchOutcome &outcome)
{
    if (outcome.enquiryEnded)
        request.EnquiryMode = false;
    if (outcome.dateCleared)
        request.JourneyDateText.clear();
    if (outcome.runRows.rowCount() > 0) {
        request.SearchRows = outcome.runRows;
        if (outcome.result)
            request.BoardingOffsetMinutes = outcome.boardingOffsetMinutes;
    }
}
