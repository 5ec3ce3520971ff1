#include "reservation/FindBusInstances.h"

#include "data/session/Class1.h"
#include "data/dialect/Numbers.h"
#include "data/dialect/SqlText.h"
#include "operations/scheduling/CreateBusInstance.h"
#include "operations/scheduling/RouteNumber.h"
#include "operations/scheduling/RunTimes.h"
#include "common/ReservationState.h"

#include <QHash>
#include <QLocale>
#include <cmath>

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
           + rows.at(F_ROUTE, i).toString() + QStringLiteral("   Date:")
           + QLocale().toString(boarding.date(), QLocale::LongFormat) + QStringLiteral(" departing ") + origin
           + QStringLiteral(" at ") + boarding.toString(QStringLiteral("HH:mm:ss")) + QStringLiteral(" Hrs ");
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
        if (request.EnquiryMode) {
            out.notices.push_back({QStringLiteral("No Instances to service requested route. "), mb::Information,
                                   QStringLiteral("Enquiry.")});
            out.enquiryEnded = true;
            return out;
        }
        // no run yet: have one made from the route's plan, then look at that route only
        if (CreateBusInstance(request, routeIdText, 10, out.notices, confirm) == 1)
            continue;
        out.notices.push_back(
            {QStringLiteral("No Instances to service requested route. Please try changing the class or date "),
             mb::Information, QStringLiteral("Error.")});
        out.showRequest = true;
        out.dateCleared = true;
        return out;
    }
    out.runRows = rows;
    const int n = rows.rowCount();

    bool enoughSeats = false;
    for (int i = 0; i < n && !enoughSeats; ++i)
        enoughSeats = rows.at(F_FREE_SEATS, i).toDouble() >= request.SeatsRequested;
    if (!enoughSeats) {
        out.notices.push_back({QStringLiteral(" Requested number of seats not available")});
        out.showRequest = true;
        out.enableNext = true;
        out.focus = nbk::Focus::Seats;
        return out;
    }

    DbSession->SetupGetDistance();
    const QDateTime wanted = wallClock(request.JourneyDateTime);
    const double tolerance = request.EnquiryMode ? kEnquiryTolerance : kReservationTolerance;
    out.result = true;
    // the rows are mostly runs of one route boarding at one place: their distance is asked
    // of the server once, not once per run
    QHash<QString, qint16> offsets;
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
            out.booking = BookSeats(booked, qint16(i));
            return out;
        }
        if (std::fabs(double(wanted.secsTo(boarding))) / 60.0 >= tolerance)
            continue;
        out.entries.append({entryText(request.OriginPlace, rows, i, boarding), qint16(i), out.boardingOffsetMinutes});
    }
    if (out.entries.isEmpty()) {
        out.notices.push_back({QStringLiteral(" no instances  take care ")});
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
