#include "reports/screens/Screens.h"
#include "ui/ScreenRegistry.h"
#include "data/session/Class1.h"
#include "reports/FillReports.h"
#include "reports/ReportsFixture.h"
#include "reports/ServiceQueries.h"
#include "reports/engine/Paginator.h"
#include "reports/screens/ReportWindow.h"

#include <QCoreApplication>

using namespace nbk;
using namespace nbk::test;
using namespace nbk::reports;

namespace {

QStringList texts(const FilledReport &f) { return report::paginate(f.layout, f.data).texts(); }

class ServiceReports : public ReportsTest {};

TEST_P(ServiceReports, RouteMapListsEachRoutesOwnStopsAndRuns)
{
    run(52, 5, "08-03-2030 10:00:00", "KA10");
    const RouteServiceOutcome five = routeService(session(), QStringLiteral("5"));
    ASSERT_FALSE(five.message) << five.message->text.toStdString();
    const FilledReport a = fillRouteDetails(five.service);
    EXPECT_EQ(a.data.rowCount(), 3);
    EXPECT_EQ(a.layout.section(QStringLiteral("Section2")).control(QStringLiteral("Label2")).caption, QStringLiteral("5"));
    EXPECT_EQ(a.layout.section(QStringLiteral("Section2")).control(QStringLiteral("Label3")).caption,
              QStringLiteral("Mysore-Mandya-Bangalore"));
    const QStringList ta = texts(a);
    for (const char *id : {"50", "51", "52"})
        EXPECT_TRUE(ta.contains(QString::fromLatin1(id))) << id;
    EXPECT_EQ(ta.count(QStringLiteral("145")), 3);

    const FilledReport b = fillRouteDetails(routeService(session(), QStringLiteral("6")).service);
    EXPECT_EQ(b.data.rowCount(), 1);
    EXPECT_EQ(b.layout.section(QStringLiteral("Section2")).control(QStringLiteral("Label2")).caption, QStringLiteral("6"));
    EXPECT_EQ(b.layout.section(QStringLiteral("Section2")).control(QStringLiteral("Label3")).caption,
              QStringLiteral("Mandya-Bangalore"));

    // a named route says its name beside its stops
    db().exec(QStringLiteral("UPDATE route SET route_name = 'Coastal Special' WHERE route_id = 6"));
    const FilledReport named = fillRouteDetails(routeService(session(), QStringLiteral("6")).service);
    EXPECT_EQ(named.layout.section(QStringLiteral("Section2")).control(QStringLiteral("Label3")).caption,
              QStringLiteral("Mandya-Bangalore   (Coastal Special)"));
    EXPECT_TRUE(MessageScript::texts().isEmpty()) << shown();
}

TEST_P(ServiceReports, RouteMapStopsAfterTheDescriptionsMessageOrSaysTheRouteIsNotServiced)
{
    const RouteServiceOutcome text = routeService(session(), QStringLiteral("five"));
    EXPECT_TRUE(text.told);
    EXPECT_FALSE(text.message);
    ASSERT_EQ(text.notices.size(), 1u);
    EXPECT_EQ(text.notices.front().text, QStringLiteral("Invalid Route ID"));
    const RouteServiceOutcome missing = routeService(session(), QStringLiteral("99"));
    ASSERT_TRUE(missing.message);
    EXPECT_EQ(missing.message->text,
              QStringLiteral("RouteID not is not yet serviced by any instance.Or it does not exist "));
    EXPECT_EQ(missing.message->title, QStringLiteral("Information"));
}

TEST_P(ServiceReports, AccidentReportListsThePassengersOfTheVehicleAsTyped)
{
    book(1001, 50, {4, 5}, 1, 2, QStringLiteral("Asha"));
    book(1002, 50, {6}, 1, 2, QStringLiteral("Bala"));
    book(1003, 60, {6}, 1, 1, QStringLiteral("Chitra"));  // another vehicle
    const AccidentOutcome o = accidentPassengers(session(), QStringLiteral("KA09"));
    ASSERT_FALSE(o.message) << o.message->text.toStdString();
    const FilledReport f = fillAccidentReport(o.passengers);
    EXPECT_EQ(f.layout.section(QStringLiteral("Section2")).at(2).caption, QStringLiteral("KA09"));
    EXPECT_EQ(f.layout.section(QStringLiteral("Section2")).at(4).caption, QStringLiteral("50"));
    const QStringList t = texts(f);
    // one line per passenger: name, age, gender, phone
    const int asha = int(t.indexOf(QStringLiteral("Asha")));
    ASSERT_GE(asha, 0);
    EXPECT_EQ(t.mid(asha, 4), (QStringList{"Asha", "30", "M", "98450"}));
    EXPECT_TRUE(t.contains(QStringLiteral("Bala")));
    EXPECT_FALSE(t.contains(QStringLiteral("Chitra")));
    EXPECT_EQ(f.layout.title, QStringLiteral("Accident Report Information"));
}

TEST_P(ServiceReports, RegistrationKeepsItsBlanksAndItsQuotesCannotEndTheLiteral)
{
    db().exec({"INSERT INTO BUS_INFO VALUES(' KA 11 ', 2, 30)", "INSERT INTO BUS_INFO VALUES('O''Hara', 2, 30)"});
    run(70, 6, "09-03-2030 10:00:00", " KA 11 ");
    run(71, 6, "09-03-2030 11:00:00", "O''Hara");
    book(1004, 70, {1}, 1, 1, QStringLiteral("Deepa"));
    book(1005, 71, {1}, 1, 1, QStringLiteral("Esha"));
    EXPECT_EQ(accidentPassengers(session(), QStringLiteral("KA 11")).message->text,
              QStringLiteral("This vehicle was not found in our database"));
    const AccidentOutcome blanks = accidentPassengers(session(), QStringLiteral(" KA 11 "));
    ASSERT_FALSE(blanks.message);
    EXPECT_EQ(fillAccidentReport(blanks.passengers).layout.section(QStringLiteral("Section2")).at(2).caption,
              QStringLiteral(" KA 11 "));
    const AccidentOutcome quoted = accidentPassengers(session(), QStringLiteral("O'Hara"));
    ASSERT_FALSE(quoted.message) << quoted.message->text.toStdString();
    EXPECT_TRUE(texts(fillAccidentReport(quoted.passengers)).contains(QStringLiteral("Esha")));
    EXPECT_EQ(accidentPassengers(session(), QStringLiteral("x' OR '1'='1")).message->text,
              QStringLiteral("This vehicle was not found in our database"));
}

TEST_P(ServiceReports, PassengerListHasHeadersAloneOrOneLinePerSeat)
{
    const FixedReportOutcome empty = passengerList(session());
    ASSERT_FALSE(empty.message);
    const QStringList headers = texts(fillPassengerList(empty.rows));
    EXPECT_EQ(headers, (QStringList{"Passenger List", "Customer Id", "Name", "Origin", "Destin"}));
    book(1001, 50, {4, 5, 6}, 1, 2, QStringLiteral("Asha"));
    const FilledReport f = fillPassengerList(passengerList(session()).rows);
    const QStringList t = texts(f);
    EXPECT_EQ(t.count(QStringLiteral("SEAT_NO:")), 3);
    EXPECT_EQ(t.count(QStringLiteral("Asha")), 3);
    const int first = int(t.indexOf(QStringLiteral("1001")));
    ASSERT_GE(first, 0);
    EXPECT_EQ(t.mid(first, 6), (QStringList{"1001", "Asha", "SEAT_NO:", "4", "MYS", "BAN"}));
}

TEST_P(ServiceReports, TimeTableShowsDepartureAsDayMonthNameYearAndTime)
{
    db().exec({"INSERT INTO bus_stand VALUES (3, 'Mandya', 'Bus Stand Road')"});
    db().exec(QStringLiteral("UPDATE bus_instance SET stand_id = 3 WHERE instance_id = 60"));
    const FixedReportOutcome o = timeTable(session());
    ASSERT_FALSE(o.message);
    const FilledReport f = fillTimeTable(o.rows);
    EXPECT_EQ(f.layout.title, QStringLiteral("DataReport2"));
    const QStringList t = texts(f);
    const int row = int(t.indexOf(QStringLiteral("60")));
    ASSERT_GE(row, 0) << t.join('|').toStdString();
    EXPECT_EQ(t.mid(row, 5), (QStringList{"60", "6", "7 Mar 2030 08:05", "Bus Stand Road", "Mandya"}));
    EXPECT_TRUE(t.contains(QStringLiteral("5 Mar 2030 10:00")));
}

TEST_P(ServiceReports, DatabaseFailureEndsInAMessageNotAnEmptyReport)
{
    session().GetCurrentConnection().close();
    for (const FixedReportOutcome &o : {passengerList(session()), timeTable(session())}) {
        ASSERT_TRUE(o.message);
        EXPECT_TRUE(o.message->text.startsWith(QStringLiteral("The report could not be read from the database: ")));
        EXPECT_EQ(o.message->title, QStringLiteral("Error"));
    }
    EXPECT_TRUE(accidentPassengers(session(), QStringLiteral("KA09")).message->text.startsWith(
        QStringLiteral("The report could not be read")));
}

TEST_P(ServiceReports, MenuNamesOfTheFixedReportsOpenTheirReportWindows)
{
    nbk::reports::registerScreens();
    book(1001, 50, {4}, 1, 2, QStringLiteral("Asha"));
    openScreen(QStringLiteral("DataReport1"));
    report::ReportWindow *list = report::ReportWindow::find(QStringLiteral("DataReport1"));
    ASSERT_TRUE(list);
    EXPECT_EQ(list->windowTitle(), QStringLiteral("DataReport1"));
    EXPECT_TRUE(list->report().texts().contains(QStringLiteral("Asha")));
    openScreen(QStringLiteral("TimeTable"));
    report::ReportWindow *tt = report::ReportWindow::find(QStringLiteral("TimeTable"));
    ASSERT_TRUE(tt);
    EXPECT_TRUE(tt->report().texts().contains(QStringLiteral("Time Table for all Buses")));
    EXPECT_EQ(openScreen(QStringLiteral("TimeTable")), tt);
    closeScreen(QStringLiteral("DataReport1"));
    closeScreen(QStringLiteral("TimeTable"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

NBK_ALL_ENGINES(ServiceReports);

}  // namespace
