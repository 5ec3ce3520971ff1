#include "support/Procedures.h"
#include "common/SharedRoutines.h"
#include "operations/scheduling/CreateBusInstance.h"
#include "support/TestDatabase.h"
#include "support/MessageScript.h"
#include "ui/MsgBox.h"

using namespace nbk;
using namespace nbk::test;
using nbk::test::MessageScript;

namespace {

const QString kQuestion = QStringLiteral(
    " A route which services the request \r\nwithin +/- 15 minutes is found. Do you wish to use this route? ");
const QString kNoRoutes =
    QStringLiteral(" No Routes available for the segment. Please change the From or To locations ");

// The question about a departure near the wanted time, naming the one it found.
void expectQuestionAbout(const char *found)
{
    ASSERT_EQ(MessageScript::texts().size(), 1);
    const QString q = MessageScript::texts().front();
    EXPECT_TRUE(q.startsWith(kQuestion + QStringLiteral("\r\nThe bus leaves "))) << q.toStdString();
    EXPECT_TRUE(q.endsWith(QLatin1String(found))) << q.toStdString();
}

QDateTime at(int y, int mo, int d, int h, int mi) { return QDateTime(QDate(y, mo, d), QTime(h, mi)); }
// 6 March 2030 is a Wednesday
QDateTime wednesday(int h, int mi) { return at(2030, 3, 6, h, mi); }

// Route 1 Alpha -> Bravo (60 km in 60 minutes); route 2 Zulu -> Alpha brings vehicles to
// Alpha in 60 minutes. One vehicle of class 2 that has never run.
class Scheduling : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        db().exec({
                 "INSERT INTO PLACE VALUES('ALP', 'Alpha')",
                 "INSERT INTO PLACE VALUES('BRA', 'Bravo')",
                 "INSERT INTO PLACE VALUES('ZUL', 'Zulu')",
                 "INSERT INTO ROUTE_ELEMENT values(1, 'ALP', 'BRA', 60)",
                 "INSERT INTO ROUTE_ELEMENT values(2, 'ZUL', 'ALP', 60)",
                 "INSERT INTO ROUTE VALUES( 1, 'ALP' , 'BRA', 2, 60, 1, 0, 60, NULL)",
                 "INSERT INTO ROUTE VALUES( 2, 'ZUL' , 'ALP', 2, 60, 1, 0, 60, NULL)",
                 "INSERT INTO PATH_ORDER VALUES( 1, 1, 1)",
                 "INSERT INTO PATH_ORDER VALUES( 2, 1, 2)",
                 "INSERT INTO bus_info VALUES ('KA01', 2, 40)",
                 "INSERT INTO bus_stand VALUES (4, 'Alpha', 'Central')",
             });
    }

    void plan(int route, int day, double interval, int h, int m)
    {
        db().exec(QStringLiteral("INSERT into Route_Frequency values (%1, %2, %3, %4, %5)")
                      .arg(route)
                      .arg(day)
                      .arg(interval)
                      .arg(h)
                      .arg(m));
    }
    void serve(int route, int day, int cls = 2)
    {
        db().exec(QStringLiteral("INSERT into service_class values(%1, %2, %3)").arg(route).arg(day).arg(cls));
    }
    void everyHourFrom(int h, int m)
    {
        plan(1, 8, 60, h, m);
        serve(1, 8);
    }
    // An earlier run of a vehicle on route 2, arriving at Alpha an hour after it leaves.
    void arrivesAtAlpha(const char *vehicle, const QDateTime &leaves)
    {
        db().exec(QStringLiteral("INSERT INTO bus_instance values( 500, 2, %1 , 'tt' , 0 , '%2' , 2 , 40 ) ")
                      .arg(OracleDateLiteral(leaves), QLatin1String(vehicle)));
    }

    qint16 create(const QDateTime &wanted, QString route = QString())
    {
        routeText = route;
        return test::createRun(routeText, QStringLiteral("ALP"), QStringLiteral("BRA"), 2, wanted, 10);
    }

    // Departures of the runs of route r, as mm-dd-yyyy hh24:mi.
    QStringList departures(int r = 1)
    {
        QStringList d;
        data::ResultSet rs = db().query(
            QStringLiteral("SELECT To_char(dep_date,'mm-dd-yyyy hh24:mi') FROM bus_instance WHERE bus_id = %1").arg(r));
        for (; !rs.eof(); rs.moveNext())
            d << rs.value(0).toString();
        return d;
    }
    QString vehicleOfNewRun()
    {
        return db().scalar(QStringLiteral("SELECT registration FROM bus_instance WHERE bus_id = 1")).toString();
    }

    QString routeText;
};

TEST_P(Scheduling, NearDepartureIsOfferedAndTheRunKeepsThePlannedTime)
{
    everyHourFrom(6, 0);
    MessageScript::begin({mb::Yes});
    EXPECT_EQ(create(wednesday(10, 7)), 1);
    expectQuestionAbout(" at 6 Mar 2030 10:00.");
    EXPECT_EQ(MessageScript::shown().front().style, mb::YesNo | mb::Question);
    EXPECT_EQ(MessageScript::shown().front().title, QStringLiteral("Question "));
    EXPECT_EQ(departures(), QStringList{QStringLiteral("03-06-2030 10:00")});
    EXPECT_EQ(routeText, QStringLiteral("1"));

    data::ResultSet run = db().query(QStringLiteral(
        "SELECT instance_id, status, stand_id, registration, class, free_seats FROM bus_instance WHERE bus_id = 1"));
    EXPECT_GE(run.value(0).toInt(), 10001);  // from the run sequence
    EXPECT_EQ(run.value(1).toString(), QStringLiteral("tt"));
    EXPECT_EQ(run.value(2).toInt(), 4);  // the stand of the route's first place
    EXPECT_EQ(run.value(3).toString(), QStringLiteral("KA01"));
    EXPECT_EQ(run.value(4).toInt(), 2);
    EXPECT_EQ(run.value(5).toInt(), 40);

    // declined: nothing more is made
    db().exec(QStringLiteral("INSERT INTO bus_info VALUES ('KA02', 2, 40)"));
    MessageScript::begin({mb::No});
    EXPECT_EQ(create(wednesday(12, 7)), -1);
    expectQuestionAbout(".");
    EXPECT_EQ(departures().size(), 1);
}

TEST_P(Scheduling, ExactDepartureAsksNothing)
{
    everyHourFrom(6, 7);
    EXPECT_EQ(create(wednesday(10, 7)), 1);
    EXPECT_TRUE(MessageScript::texts().isEmpty());
    EXPECT_EQ(departures(), QStringList{QStringLiteral("03-06-2030 10:07")});
}

TEST_P(Scheduling, OneDepartureADayIsTheFirstBus)
{
    plan(1, 8, 1440, 6, 0);
    serve(1, 8);
    EXPECT_EQ(create(wednesday(10, 0)), -1);
    EXPECT_TRUE(MessageScript::texts().isEmpty());
    EXPECT_TRUE(departures().isEmpty());

    EXPECT_EQ(create(wednesday(6, 10)), 1);
    expectQuestionAbout(".");
    EXPECT_EQ(departures(), QStringList{QStringLiteral("03-06-2030 06:00")});
}

// Late in the evening the next day's plan counts: Monday runs once in the morning and
// Tuesday starts five minutes past midnight; Sunday night looks at Monday, whichever row
// of the plan comes first.
TEST_P(Scheduling, LateEveningLooksAtTheNextDaysPlan)
{
    struct Case {
        int today, tomorrow;
        QDateTime wanted;
        const char *departure;
    };
    for (const Case &c : {Case{1, 2, at(2030, 3, 4, 23, 55), "03-05-2030 00:05"},
                          Case{7, 1, at(2030, 3, 10, 23, 55), "03-11-2030 00:05"}}) {
        SCOPED_TRACE(c.departure);
        MessageScript::clearShown();
        db().exec(QStringLiteral("DELETE FROM bus_instance"));
        db().exec(QStringLiteral("DELETE FROM route_frequency"));
        db().exec(QStringLiteral("DELETE FROM service_class"));
        serve(1, c.today);
        serve(1, c.tomorrow);
        plan(1, c.today, 1440, 6, 0);
        plan(1, c.tomorrow, 1440, 0, 5);
        EXPECT_EQ(create(c.wanted), 1);
        expectQuestionAbout(".");
        EXPECT_EQ(departures(), QStringList{QString::fromLatin1(c.departure)});
    }
}

// A run boarding at its third place leaves its first stop the distance over the speed
// plus one stop at each of the two places before: 100 km at 1 km a minute and 2 x 5 minutes.
TEST_P(Scheduling, BoardingAtTheThirdPlaceCountsTheStopsBefore)
{
    db().exec({"INSERT INTO PLACE VALUES('CHA', 'Charlie')", "INSERT INTO PLACE VALUES('DEL', 'Delta')",
               "INSERT INTO ROUTE_ELEMENT values(3, 'BRA', 'CHA', 40)",
               "INSERT INTO ROUTE_ELEMENT values(4, 'CHA', 'DEL', 20)",
               "INSERT INTO ROUTE VALUES( 3, 'ALP' , 'DEL', 4, 120, 1, 5, 120, NULL)",
               "INSERT INTO PATH_ORDER VALUES( 3, 1, 1)", "INSERT INTO PATH_ORDER VALUES( 3, 2, 3)",
               "INSERT INTO PATH_ORDER VALUES( 3, 3, 4)"});
    plan(3, 8, 60, 6, 10);
    serve(3, 8);
    QString route;
    EXPECT_EQ(test::createRun(route, QStringLiteral("CHA"), QStringLiteral("DEL"), 2, wednesday(10, 0), 10), 1);
    // exact, so nothing is asked: without the stops it would leave at 08:20
    EXPECT_TRUE(MessageScript::texts().isEmpty()) << MessageScript::texts().join('|').toStdString();
    EXPECT_EQ(departures(3), QStringList{QStringLiteral("03-06-2030 08:10")});
}

// A route whose speed comes out as 0 is taken at the scheduler's 0.83334 km a minute:
// 50 km in an hour.
TEST_P(Scheduling, RouteWithoutSpeedUsesTheDefaultSpeed)
{
    db().exec({"UPDATE route SET km = 0 WHERE route_id = 1",
               "INSERT INTO ROUTE_ELEMENT values(5, 'BRA', 'ZUL', 10)",
               "UPDATE route_element SET km = 50 WHERE reid = 1", "UPDATE route SET place2 = 'ZUL' WHERE route_id = 1",
               "INSERT INTO PATH_ORDER VALUES( 1, 2, 5)"});
    everyHourFrom(6, 0);
    QString route;
    EXPECT_EQ(test::createRun(route, QStringLiteral("BRA"), QStringLiteral("ZUL"), 2, wednesday(10, 0), 10), 1);
    EXPECT_TRUE(MessageScript::texts().isEmpty()) << MessageScript::texts().join('|').toStdString();
    EXPECT_EQ(departures(), QStringList{QStringLiteral("03-06-2030 09:00")});
}

// Just after midnight the window reaches back into the previous day: its plan offers the
// nearer departure; when no vehicle can make that one, the other day's departure is taken
// with the vehicle that can.
TEST_P(Scheduling, WindowIntoThePreviousDayFallsBackToTheOtherDeparture)
{
    serve(1, 3);  // Wednesday
    serve(1, 4);  // Thursday
    plan(1, 3, 1440, 23, 58);
    plan(1, 4, 1440, 0, 15);
    // KA01's last run reaches Alpha at 00:03 Thursday: too late for 23:58, in time for 00:15
    arrivesAtAlpha("KA01", at(2030, 3, 6, 23, 3));
    MessageScript::begin({mb::Yes});
    EXPECT_EQ(create(at(2030, 3, 7, 0, 5)), 1);
    expectQuestionAbout(".");
    EXPECT_EQ(departures(), QStringList{QStringLiteral("03-07-2030 00:15")});
    EXPECT_EQ(vehicleOfNewRun(), QStringLiteral("KA01"));

    // with no vehicle for either, the route is given up (the only vehicle is busy)
    db().exec(QStringLiteral("DELETE FROM bus_instance WHERE bus_id = 1"));
    db().exec(QStringLiteral("UPDATE bus_instance SET dep_date = dep_date + 1 WHERE instance_id = 500"));
    MessageScript::begin({mb::Yes});
    EXPECT_EQ(create(at(2030, 3, 7, 0, 5)), -1);
    EXPECT_TRUE(departures().isEmpty());
}

// With ten minutes of slack, a vehicle whose earlier run reaches Alpha at 09:40 is in
// time for the 10:00 run and preferred to the idle one; one arriving at 09:55 is not.
TEST_P(Scheduling, VehicleArrivingInTimeIsPreferredToAnIdleOne)
{
    db().exec(QStringLiteral("INSERT INTO bus_info VALUES ('KA02', 2, 44)"));
    everyHourFrom(6, 0);
    struct Case {
        int minute;
        const char *vehicle;
        int seats;  // the new run takes the vehicle's own number of seats
    };
    for (const Case &c : {Case{40, "KA02", 44}, Case{55, "KA01", 40}}) {
        SCOPED_TRACE(c.minute);
        db().exec(QStringLiteral("DELETE FROM bus_instance"));
        arrivesAtAlpha("KA02", wednesday(8, c.minute));
        EXPECT_EQ(create(wednesday(10, 0)), 1);
        EXPECT_EQ(vehicleOfNewRun(), QString::fromLatin1(c.vehicle));
        EXPECT_EQ(db().scalar(QStringLiteral("SELECT free_seats FROM bus_instance WHERE bus_id = 1")).toInt(), c.seats);
    }
}

TEST_P(Scheduling, BrokenPlansSkipTheRouteInsteadOfFailing)
{
    // a frequency of zero minutes
    plan(1, 8, 0, 6, 0);
    serve(1, 8);
    EXPECT_EQ(create(wednesday(10, 0)), -1);
    EXPECT_TRUE(departures().isEmpty());
    db().exec(QStringLiteral("DELETE FROM route_frequency"));
    db().exec(QStringLiteral("DELETE FROM service_class"));

    // both days served but only Monday planned
    serve(1, 1);
    serve(1, 2);
    plan(1, 1, 1440, 23, 50);
    EXPECT_EQ(create(at(2030, 3, 4, 23, 55)), -1);
    EXPECT_TRUE(departures().isEmpty());
    db().exec(QStringLiteral("DELETE FROM route_frequency"));
    db().exec(QStringLiteral("DELETE FROM service_class"));

    // the only vehicle in time is unknown to the vehicle table
    everyHourFrom(6, 0);
    arrivesAtAlpha("GHOST", wednesday(8, 40));
    EXPECT_EQ(create(wednesday(10, 0)), -1);
    EXPECT_TRUE(departures().isEmpty());
    EXPECT_TRUE(MessageScript::texts().isEmpty());
}

TEST_P(Scheduling, RouteNumberRestrictsTheRoutesTried)
{
    db().exec(QStringLiteral("INSERT INTO ROUTE VALUES( 3, 'ALP' , 'BRA', 2, 60, 1, 0, 60, NULL)"));
    db().exec(QStringLiteral("INSERT INTO PATH_ORDER VALUES( 3, 1, 1)"));
    everyHourFrom(6, 0);
    plan(3, 8, 60, 6, 0);
    serve(3, 8);
    EXPECT_EQ(create(wednesday(10, 0), QStringLiteral("3")), 1);
    EXPECT_EQ(routeText, QStringLiteral("3"));
    EXPECT_TRUE(departures(1).isEmpty());
    EXPECT_EQ(departures(3).size(), 1);

    // text that is not a number never reaches the statement
    EXPECT_EQ(create(wednesday(11, 0), QStringLiteral("1 OR 1=1")), -1);
    EXPECT_EQ(MessageScript::texts(), QStringList{kNoRoutes});
    EXPECT_EQ(MessageScript::shown().front().style, mb::Critical);
    EXPECT_EQ(routeText, QStringLiteral("1 OR 1=1"));
    EXPECT_TRUE(departures(1).isEmpty());

    MessageScript::clearShown();
    QString route;
    EXPECT_EQ(test::createRun(route, QStringLiteral("AL'P"), QStringLiteral("BRA"), 2, wednesday(10, 0), 10), -1);
    EXPECT_EQ(MessageScript::texts(), QStringList{kNoRoutes});
    EXPECT_TRUE(route.isEmpty());
}

NBK_ALL_ENGINES(Scheduling);

TEST(Departures, NearestOfTheDaysPlanEarliestOnTies)
{
    const QDateTime first = wednesday(6, 0);
    EXPECT_EQ(NearestDeparture(wednesday(10, 7), first, 60), wednesday(10, 0));
    EXPECT_EQ(NearestDeparture(wednesday(10, 30), first, 60), wednesday(10, 0));
    // the plan runs on past midnight
    EXPECT_EQ(NearestDeparture(at(2030, 3, 7, 1, 50), wednesday(22, 0), 120), at(2030, 3, 7, 2, 0));
    // 1440 / 90 = 16 departures: the last leaves 04:30 the next morning
    EXPECT_EQ(NearestDeparture(at(2030, 3, 7, 5, 0), first, 90), at(2030, 3, 7, 4, 30));
    // nothing within a day: the first bus
    EXPECT_EQ(NearestDeparture(at(2030, 3, 9, 6, 0), first, 1440), first);
}

TEST(Departures, TextsAndComparisons)
{
    EXPECT_EQ(FormatDepartureText(at(2003, 3, 5, 23, 10), 9, 5), QStringLiteral("3-5-2003 9:5:00"));
    EXPECT_EQ(FormatDepartureText(QDateTime(), 9, 5), QString());
    EXPECT_FALSE(DateTimeDiffers(wednesday(10, 0), wednesday(10, 0).addMSecs(400)));
    EXPECT_TRUE(DateTimeDiffers(wednesday(10, 0), wednesday(10, 0).addSecs(1)));
    EXPECT_TRUE(DateTimeDiffers(wednesday(10, 0), wednesday(10, 0).addDays(7)));
    // the place typed by the clerk is quoted, never spliced
    EXPECT_TRUE(ComposeVehicleQuery(QStringLiteral("O'X"), 10, at(2003, 3, 5, 9, 5), 2).contains("place2 = 'O''X'"));
}

}  // namespace
