#include "data/session/Class1.h"
#include "data/session/Transaction.h"
#include "reports/BuildSeatChart.h"
#include "reports/FillReports.h"
#include "reports/SeatChart.h"
#include "reports/ReportsFixture.h"
#include "reports/engine/Paginator.h"
#include "reports/engine/TextFit.h"

#include <QSqlDatabase>
#include <QSqlQuery>

#include <map>

using namespace nbk;
using namespace nbk::test;
using namespace nbk::reports;

namespace {

const QStringList kStops{QStringLiteral("Mysore"), QStringLiteral(" Mandya "), QStringLiteral("Bangalore")};
const QString kHeader = QStringLiteral("     Mysore     Mandya     Bangalore");
QString dashes(int n) { return QString(n, QLatin1Char('-')); }
const QString kGap = QStringLiteral("     ");
const QString kFreeLine = kGap + dashes(11) + dashes(11);
// five blanks, eleven dashes, six dashes and "--X--"
const QString kStretch2 = kGap + dashes(11) + dashes(6) + QStringLiteral("--X--");
const QString kBoth = kGap + dashes(6) + QStringLiteral("--X--") + dashes(6) + QStringLiteral("--X--");

TEST(SeatChartLines, HeaderAndCellsStandUnderTheTrimmedStopNames)
{
    EXPECT_EQ(chart::headerLine(kStops), kHeader);
    EXPECT_EQ(chart::seatLine(kStops, {}), QStringLiteral("All Free"));
    // a free stretch 1 is five blanks and eleven dashes; the line ends where "Bangalore" begins
    EXPECT_EQ(chart::seatLine(kStops, {{2, 2}}), kStretch2);
    EXPECT_EQ(kStretch2.size(), kHeader.indexOf(QStringLiteral("Bangalore")));
    EXPECT_EQ(chart::seatLine(kStops, {{1, 2}}), kBoth);
    EXPECT_EQ(chart::seatLine(kStops, {{1, 1}, {2, 2}}), kBoth);
}

TEST(SeatChartLines, BookingsBeyondTheRouteAreClippedNotCrashed)
{
    EXPECT_EQ(chart::seatLine(kStops, {{0, 1}}), kGap + dashes(6) + QStringLiteral("--X--") + dashes(11));
    EXPECT_EQ(chart::seatLine(kStops, {{-5, 250}}), kBoth);
    EXPECT_EQ(chart::seatLine(kStops, {{101, 150}}), kFreeLine);
}

// A page's items by control name (the first of each, i.e. the first seat's).
std::map<QString, report::PageItem> itemsOf(const report::ReportPage &page)
{
    std::map<QString, report::PageItem> out;
    for (const report::PageItem &item : page.items)
        out.emplace(item.control, item);
    return out;
}
double centre(const report::TwipRect &r) { return r.left + r.width / 2.0; }

// Seat 1 held by two customers on stretches 1 and 2; seat 2 free. Kannada and Devanagari
// names take their width from whatever font draws them, not from a count of characters.
TEST(SeatChartReport, MarksStandUnderTheStopsTheySpanWithTheHolderBesideAndALegend)
{
    QStringList longRoute;
    for (int i = 0; i < 20; ++i)
        longRoute << QStringLiteral("Chikkamagaluru %1").arg(i);
    const QStringList routes[] = {
        {QStringLiteral("Mysore"), QStringLiteral("\u0CAE\u0C82\u0CA1\u0CCD\u0CAF"), QStringLiteral("Bangalore")},
        {QStringLiteral("Kempegowda Bus Station Majestic"), QStringLiteral("\u0928\u093E\u0917\u092A\u0941\u0930"),
         QStringLiteral("Tiruchirappalli Central Bus Stand")},
        longRoute};
    for (const QStringList &stops : routes) {
        SeatChartData c;
        c.stops = stops;
        const QList<chart::Booking> held{{2, 2, QStringLiteral("1002")}, {1, 1, QStringLiteral("1001")}};
        c.seats = {{1, chart::heldStretches(int(stops.size()), held), chart::holders(held)},
                   {2, chart::heldStretches(int(stops.size()), {}), QString()}};
        const FilledReport f = fillSeatMatrix(c);
        const report::PagedReport r = report::paginate(f.layout, f.data);
        ASSERT_EQ(r.pageCount(), 1);
        auto items = itemsOf(r.pages[0]);
        const std::string route = stops.first().toStdString();
        EXPECT_EQ(r.page.width > r.page.height, stops.size() > 10) << route;
        for (int k = 1; k <= int(stops.size()); ++k) {
            const report::PageItem &stop = items.at(QStringLiteral("Stop%1").arg(k));
            EXPECT_EQ(stop.lines.join(QString()).remove(QLatin1Char(' ')), QString(stops[k - 1]).remove(QLatin1Char(' ')));
            if (k == 1)
                continue;
            // the marks of stretch k - 1 run from the middle of one name to the middle of the next
            const report::PageItem &mark = items.at(QStringLiteral("Mark%1").arg(k - 1));
            const report::TwipRect &before = items.at(QStringLiteral("Stop%1").arg(k - 1)).rect;
            EXPECT_NEAR(mark.rect.left, centre(before), 1) << route << " stretch " << k - 1;
            EXPECT_NEAR(mark.rect.right(), centre(stop.rect), 1) << route << " stretch " << k - 1;
            EXPECT_GT(mark.rect.top, stop.rect.bottom() - 1);
            EXPECT_EQ(mark.text.contains(QLatin1Char('X')), k <= 3) << route << " stretch " << k - 1;
            EXPECT_LE(report::textWidth(mark.text, mark.font, mark.font.pointSize), mark.rect.width);
        }
        const report::PageItem &holders = items.at(QStringLiteral("Text2"));
        EXPECT_EQ(holders.text, QStringLiteral("1001, 1002"));
        EXPECT_GE(holders.rect.left, items.at(QStringLiteral("Stop%1").arg(stops.size())).rect.right());
        EXPECT_EQ(items.at(QStringLiteral("Text1")).text, QStringLiteral("1"));
        EXPECT_TRUE(r.texts().contains(QStringLiteral("All Free")));
        EXPECT_TRUE(items.at(QStringLiteral("Legend")).text.startsWith(QStringLiteral("X  held")));
    }
}

class SeatChart : public ReportsTest {
protected:
    int tempRows(data::Class1 &s)
    {
        return s.GetCurrentConnection().query(QStringLiteral("select count(*) from TempBusRoute")).value(0).toInt();
    }
};

TEST_P(SeatChart, LinesOfFiftySeatsAndTheRunAreReadBackAndTheScratchRowsGone)
{
    book(900, 50, {1}, 2, 2);
    book(901, 50, {2}, 1, 2);
    book(902, 51, {3}, 1, 2);  // another run's booking
    const SeatChartOutcome o = buildSeatChart(session(), QStringLiteral(" 50 "));
    ASSERT_FALSE(o.message) << o.message->text.toStdString();
    EXPECT_EQ(o.chart.instanceId, 50);
    EXPECT_EQ(o.chart.headerLine, kHeader);
    data::RowTable lines = data::ResultSet(o.chart.lines).getRows();
    ASSERT_EQ(lines.rowCount(), 50);
    EXPECT_EQ(lines.at(0, 0).toInt(), 1);
    EXPECT_EQ(lines.at(1, 0).toString(), kStretch2);
    EXPECT_EQ(lines.at(1, 1).toString(), kBoth);
    EXPECT_EQ(lines.at(1, 2).toString(), QStringLiteral("All Free"));
    EXPECT_EQ(lines.at(0, 49).toInt(), 50);
    ASSERT_EQ(o.chart.seats.size(), 50);
    EXPECT_EQ(o.chart.stops.size(), 3);
    EXPECT_EQ(o.chart.seats[0].held, QList<bool>({false, true}));
    EXPECT_EQ(o.chart.seats[0].holders, QStringLiteral("900"));
    EXPECT_EQ(o.chart.seats[1].held, QList<bool>({true, true}));
    EXPECT_EQ(o.chart.seats[1].holders, QStringLiteral("901"));
    EXPECT_EQ(o.chart.seats[2].held, QList<bool>({false, false}));
    EXPECT_EQ(o.chart.run.value(QStringLiteral("bus_id")).toInt(), 5);
    EXPECT_EQ(tempRows(session()), 0);
    EXPECT_FALSE(session().IsInTransaction());
}

TEST_P(SeatChart, InstanceIdThatIsNotAWholeNumberIsRefusedBeforeAnyStatement)
{
    for (const char *typed : {"12.5", "abc", "", "50; DELETE FROM customer", "99999999999", "77"}) {
        MessageScript::clearShown();
        const SeatChartOutcome o = buildSeatChart(session(), QString::fromLatin1(typed));
        ASSERT_TRUE(o.message) << typed;
        EXPECT_EQ(o.message->text, QStringLiteral(" Invalid Instance Id")) << typed;
        EXPECT_EQ(o.message->title, QStringLiteral("Error"));
        EXPECT_EQ(o.message->style, mb::Critical);
    }
}

TEST_P(SeatChart, RouteWithoutPathOrStopNameOrOutsideTheChartEndsWithItsMessage)
{
    db().exec({"INSERT INTO ROUTE VALUES( 8, 'MYS' , 'BAN', 3, 145, 1, 5, 180, NULL)",
               "INSERT INTO ROUTE VALUES( 9, 'MYS' , 'BAN', 4, 145, 1, 5, 180, NULL)",
               "INSERT INTO PATH_ORDER VALUES(9, 1, 11)", "INSERT INTO PATH_ORDER VALUES(9, 2, 12)",
               "INSERT INTO ROUTE VALUES( 10, 'MYS' , 'BAN', 101, 145, 1, 5, 180, NULL)",
               "INSERT INTO PATH_ORDER VALUES(10, 1, 11)",
               "INSERT INTO ROUTE VALUES( 11, 'MYS' , 'MYS', 1, 0, 1, 5, 180, NULL)",
               "INSERT INTO PATH_ORDER VALUES(11, 1, 11)"});
    run(80, 8, "05-03-2030 10:00:00", "KA09");
    run(90, 9, "05-03-2030 10:00:00", "KA09");
    run(100, 10, "05-03-2030 10:00:00", "KA09");
    run(110, 11, "05-03-2030 10:00:00", "KA09");
    EXPECT_EQ(buildSeatChart(session(), QStringLiteral("80")).message->text,
              QStringLiteral(" Route Id not found in database"));
    const SeatChartOutcome shortPath = buildSeatChart(session(), QStringLiteral("90"));
    EXPECT_EQ(shortPath.message->text, QStringLiteral("Unable to get route"));
    EXPECT_EQ(shortPath.message->style, mb::OKOnly);
    EXPECT_EQ(shortPath.message->title, QString());
    EXPECT_TRUE(buildSeatChart(session(), QStringLiteral("100")).message->text.contains(QStringLiteral("101 stops")));
    EXPECT_TRUE(buildSeatChart(session(), QStringLiteral("110")).message->text.contains(QStringLiteral("1 stops")));
    EXPECT_EQ(tempRows(session()), 0);
}

TEST_P(SeatChart, AnotherTasksPendingBookingIsNeitherCommittedNorRolledBack)
{
    data::Transaction booking(session(), QStringLiteral("the reservation of customer 77"));
    ASSERT_TRUE(booking.isOpen());
    session().GetCurrentConnection().execute(QStringLiteral(
        "INSERT INTO CUSTOMER VALUES( 77, 50, TO_DATE('05-03-2030 10:00:00','DD-MM-YYYY HH24:MI:SS'), "
        "'**TEMP**', -1, -1, 'x', 'Unkn', 'Unkn', 0 )"));
    const SeatChartOutcome o = buildSeatChart(session(), QStringLiteral("50"));
    ASSERT_TRUE(o.message);
    EXPECT_EQ(o.message->text, data::pendingWorkMessage(QStringLiteral("the reservation of customer 77")));
    EXPECT_TRUE(booking.isOpen());
    EXPECT_EQ(sessionScalar(QStringLiteral("select count(*) from customer where customer_id = 77")).toInt(), 1);
    booking.rollback();
    EXPECT_EQ(sessionScalar(QStringLiteral("select count(*) from customer where customer_id = 77")).toInt(), 0);
}

TEST_P(SeatChart, TwoServerSessionsChartWithoutSeeingOrWaitingOnEachOther)
{
    if (GetParam() != EngineKind::Postgres)
        GTEST_SKIP() << "the embedded file serialises its writers";
    std::unique_ptr<data::Class1> other = db().login(QStringLiteral("clerk1"));
    // the other counter's lines are in, and it is deleting them in its open transaction
    for (int seat = 1; seat <= 50; ++seat)
        ASSERT_EQ(other->exec(QStringLiteral("Insert into TempBusRoute values( %1, 'theirs')").arg(seat)), -13);
    data::Transaction tx(*other, QStringLiteral("the seat chart of run 51"));
    ASSERT_EQ(other->exec(QStringLiteral("Delete  from TempBusRoute where seat_no>0")), -13);
    const SeatChartOutcome o = buildSeatChart(session(), QStringLiteral("50"));
    ASSERT_FALSE(o.message) << o.message->text.toStdString();
    const data::RowTable lines = data::ResultSet(o.chart.lines).getRows();
    ASSERT_EQ(lines.rowCount(), 50);
    for (int r = 0; r < 50; ++r)
        EXPECT_NE(lines.at(1, r).toString(), QStringLiteral("theirs"));
    tx.rollback();
    EXPECT_EQ(tempRows(*other), 50);
}

TEST_P(SeatChart, LineRefusedHalfwayRollsTheChartBackAndShowsNoPartialChart)
{
    if (GetParam() != EngineKind::Embedded)
        GTEST_SKIP() << "the refusing trigger is written for the embedded file";
    {
        QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("chart_trigger"));
        raw.setDatabaseName(db().embeddedPath());
        ASSERT_TRUE(raw.open());
        QSqlQuery q(raw);
        ASSERT_TRUE(q.exec(QStringLiteral("CREATE TRIGGER refuse_seat_30 BEFORE INSERT ON tempbusroute "
                                          "WHEN NEW.seat_no = 30 BEGIN SELECT RAISE(ABORT, 'disk full'); END")));
        raw.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("chart_trigger"));
    const SeatChartOutcome o = buildSeatChart(session(), QStringLiteral("50"));
    ASSERT_TRUE(o.message);
    EXPECT_TRUE(o.message->text.contains(QStringLiteral("disk full"))) << o.message->text.toStdString();
    EXPECT_FALSE(o.chart.lines.isOpen() && o.chart.lines.recordCount() > 0);
    EXPECT_FALSE(session().IsInTransaction());
    EXPECT_EQ(tempRows(session()), 0);
}

NBK_ALL_ENGINES(SeatChart);

}  // namespace
