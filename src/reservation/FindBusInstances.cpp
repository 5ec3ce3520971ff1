#include "reservation/FindBusInstances.h"

#include "app/common/ScreenRegistry.h"
#include "data/Class1.h"
#include "data/Numbers.h"
#include "data/SqlText.h"
#include "operations/CreateBusInstance.h"
#include "operations/RouteNumber.h"
#include "reservation/BookSeats.h"
#include "reservation/Instances.h"
#include "reservation/frmReservation.h"
#include "reservation/state/ReservationState.h"
#include "ui/ChildWindows.h"
#include "ui/MsgBox.h"

#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <cmath>

using nbk::ui::MsgBox;
namespace mb = nbk::mb;

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
// the speed the scheduler assumes for a route without a travel time, so that a run it
// created is found leaving at the time it was created for
constexpr double kDefaultSpeed = 0.83334;

QString runsOfRouteText(const QString &routeLiteral)
{
    return QString::fromLatin1(SQL_RUNS_OF_ROUTE_1) + QString::fromLatin1(SQL_RUNS_OF_ROUTE_2)
           + nbk::data::sqlText(OriginPlace) + QString::fromLatin1(SQL_RUNS_OF_ROUTE_3)
           + QString::fromLatin1(SQL_RUNS_OF_ROUTE_4) + nbk::data::sqlText(DestinationPlace)
           + QString::fromLatin1(SQL_RUNS_OF_ROUTE_5) + QString::number(ClassIndex)
           + QString::fromLatin1(SQL_RUNS_OF_ROUTE_6) + nbk::data::sqlText(JourneyDateText)
           + QString::fromLatin1(SQL_RUNS_OF_ROUTE_7) + routeLiteral;
}

// Date-times are wall-clock values: compared and added without time-zone shifts.
QDateTime wallClock(const QDateTime &d) { return QDateTime(d.date(), d.time(), Qt::UTC); }

frmReservation *showRequestScreen()
{
    auto *f = qobject_cast<frmReservation *>(nbk::openScreen(QStringLiteral("frmReservation")));
    return f;
}

QString entryText(const nbk::data::RowTable &rows, int i, const QDateTime &boarding)
{
    return QStringLiteral("Instance: ") + rows.at(F_INSTANCE, i).toString() + QStringLiteral("  Route No:  ")
           + rows.at(F_ROUTE, i).toString() + QStringLiteral("   Date:")
           + QLocale().toString(boarding.date(), QLocale::LongFormat) + QStringLiteral(" departing ") + OriginPlace
           + QStringLiteral(" at ") + boarding.toString(QStringLiteral("HH:mm:ss")) + QStringLiteral(" Hrs ");
}

}  // namespace

qint16 BoardingOffsetFor(const nbk::data::RowTable &rows, int i)
{
    const double km = nbk::data::GetSegmentDistance(rows.at(F_ROUTE, i).toDouble(), rows.at(F_BOARDING, i).toDouble());
    double speed = rows.at(F_SPEED, i).toDouble();
    if (!(speed > 0))
        speed = kDefaultSpeed;
    const double position = rows.at(F_BOARDING, i).toDouble();
    const double stop = rows.at(F_STOP_TIME, i).toDouble();
    return nbk::CInt(km / speed + (position - 1) * stop);
}

bool FindBusInstances(QString &routeIdText)
{
    nbk::data::Class1 &s = *DbSession;
    nbk::data::RowTable rows;
    for (;;) {
        if (!routeIdText.isEmpty()) {
            const std::optional<QString> route = RouteNumberLiteral(routeIdText);
            nbk::data::ResultSet rs;
            if (route)
                rs = s.GetCurrentConnection().query(runsOfRouteText(*route));
            if (!route || rs.eof()) {
                frmReservation *f = showRequestScreen();
                MsgBox(QStringLiteral(" Requested place not found for the specified route ID "), mb::Critical,
                       QStringLiteral("Error"));
                if (f)
                    f->txtRoute->setFocus();
                return false;
            }
            rows = rs.getRows();
            break;
        }
        s.SetupInstanceDetails();
        nbk::data::Command &c = s.SQLcmdGetInstanceDetails();
        c.setValue(0, OriginPlace);
        c.setValue(1, DestinationPlace);
        c.setValue(2, ClassIndex);
        c.setValue(3, JourneyDateText);
        nbk::data::ResultSet rs = c.execute();
        if (!rs.eof()) {
            rows = rs.getRows();
            break;
        }
        if (EnquiryMode) {
            MsgBox(QStringLiteral("No Instances to service requested route. "), mb::Information,
                   QStringLiteral("Enquiry."));
            EnquiryMode = false;
            return false;
        }
        // no run yet: have one made from the route's plan, then look at that route only
        if (CreateBusInstance(routeIdText, OriginPlace, DestinationPlace, ClassIndex, JourneyDateTime, 10) == 1)
            continue;
        MsgBox(QStringLiteral("No Instances to service requested route. Please try changing the class or date "),
               mb::Information, QStringLiteral("Error."));
        showRequestScreen();
        JourneyDateText.clear();
        return false;
    }
    SearchRows = rows;
    const int n = rows.rowCount();

    bool enoughSeats = false;
    for (int i = 0; i < n && !enoughSeats; ++i)
        enoughSeats = rows.at(F_FREE_SEATS, i).toDouble() >= SeatsRequested;
    if (!enoughSeats) {
        MsgBox(QStringLiteral(" Requested number of seats not available"));
        if (frmReservation *f = showRequestScreen()) {
            f->cmdNext->setEnabled(true);
            f->cmbSeats->setFocus();
        }
        return false;
    }

    DbSession->SetupGetDistance();
    const QDateTime wanted = wallClock(JourneyDateTime);
    const double tolerance = EnquiryMode ? kEnquiryTolerance : kReservationTolerance;
    int listed = 0;
    Instances *choice = nullptr;
    for (int i = 0; i < n; ++i) {
        BoardingOffsetMinutes = BoardingOffsetFor(rows, i);
        const QDateTime start = wallClock(QDateTime::fromString(rows.at(F_DEPARTURE, i).toString(),
                                                                QStringLiteral("MM-dd-yyyy HH:mm:ss")));
        if (!start.isValid())
            continue;
        const QDateTime boarding = start.addSecs(qint64(BoardingOffsetMinutes) * 60);
        if (!AllowInstanceChoice && !EnquiryMode && boarding == wanted) {
            BookSeats(qint16(i));
            return true;
        }
        if (std::fabs(double(wanted.secsTo(boarding))) / 60.0 >= tolerance)
            continue;
        // opened with its first entry, so that a run booked directly after earlier rows
        // leaves no empty choice behind
        if (!choice) {
            const bool wasOpen = nbk::findScreen(QStringLiteral("Instances")) != nullptr;
            choice = qobject_cast<Instances *>(nbk::openScreen(QStringLiteral("Instances")));
            if (!choice)
                continue;
            // entries of an earlier search point into rows that are gone
            if (wasOpen)
                choice->clearEntries();
        }
        choice->addEntry(entryText(rows, i, boarding), qint16(i), BoardingOffsetMinutes);
        ++listed;
    }
    if (listed == 0) {
        MsgBox(QStringLiteral(" no instances  take care "));
        nbk::closeScreen(QStringLiteral("Instances"));
        if (frmReservation *f = showRequestScreen()) {
            f->cmbSeats->setFocus();
            f->cmdNext->setEnabled(true);
        }
    }
    return true;
}
