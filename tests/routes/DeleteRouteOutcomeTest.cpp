// Finding a route to change by a place it touches, and deleting a route, as their outcomes
// say: deletion is refused while the route's runs hold reservations, else done with
// everything of the route gone.
#include "support/Outcomes.h"
#include "support/TestDatabase.h"

#include "routes/DeleteRoute.h"
#include "routes/RoutesThroughPlace.h"
#include "data/session/Class1.h"
#include "data/session/Transaction.h"

using namespace nbk;
using namespace nbk::routes;
using namespace nbk::test;

namespace {

class DeleteRouteOutcome : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        seedRouteABCD();
    }
    // the rows of route 7: its own, its path and its runs
    int routeRows()
    {
        int n = 0;
        for (const char *sql : {"SELECT count(*) FROM route WHERE route_id = 7",
                                "SELECT count(*) FROM path_order WHERE route_id = 7",
                                "SELECT count(*) FROM bus_instance WHERE bus_id = 7"})
            n += db().scalar(QLatin1String(sql)).toInt();
        return n;
    }
};

TEST_P(DeleteRouteOutcome, RefusedWithTheCountsWhileBookedThenDone)
{
    db().exec({"Insert INTO Customer values ( 501,70,SYSDATE,'Held',30,1,'M','A','D',0)",
               "INSERT INTO seat_matrix VALUES( 70 , 1 ,1 , 3 , 501, 'r' )",
               "INSERT INTO seat_matrix VALUES( 70 , 2 ,1 , 3 , 501, 'r' )"});
    const Outcome refused = DeleteRoute(session(), 7);
    EXPECT_FALSE(refused.ok || refused.rollBack);
    EXPECT_EQ(refused.notice.text, QStringLiteral("Route 7 cannot be deleted: its bus runs hold 1 reservation (2 seats), "
                                                  "which would lose their seats. Nothing has been changed. "));
    EXPECT_EQ(refused.notice.style, mb::Critical | mb::OKOnly);
    EXPECT_EQ(refused.notice.title, QStringLiteral("Error"));
    EXPECT_EQ(refused.focus, Focus::None);
    EXPECT_EQ(routeRows(), 1 + 3 + 1);
    EXPECT_FALSE(session().IsInTransaction());

    db().exec({"DELETE FROM seat_matrix WHERE customer_id = 501", "DELETE FROM customer WHERE customer_id = 501"});
    const Outcome done = DeleteRoute(session(), 7);
    EXPECT_TRUE(done.ok);
    EXPECT_EQ(done.notice.text, QStringLiteral("Route 7 has been deleted with its bus runs, path, timetable and classes. "));
    EXPECT_EQ(done.notice.style, mb::Information | mb::OKOnly);
    EXPECT_EQ(routeRows(), 0);
}

// A clerk's booking waiting for its customer details holds the run's row: the supervisor
// is told what holds it, not a raw lock error number.
TEST_P(DeleteRouteOutcome, APendingBookingElsewhereIsToldInWordsAndNothingChanges)
{
    std::unique_ptr<data::Class1> clerk = db().login(QStringLiteral("clerk1"));
    data::Transaction pending(*clerk, QStringLiteral("a booking"));
    ASSERT_EQ(clerk->exec(QStringLiteral("UPDATE BUS_INSTANCE set free_seats=free_seats-1 Where instance_id=70")),
              data::kExecOk);
    const Outcome o = DeleteRoute(session(), 7);
    EXPECT_FALSE(o.ok);
    EXPECT_TRUE(o.notice.text.startsWith(QStringLiteral("A booking or cancellation not yet finished at a counter")))
        << o.notice.text.toStdString();
    EXPECT_FALSE(o.notice.text.contains(QStringLiteral("ORA-"))) << o.notice.text.toStdString();
    EXPECT_FALSE(session().IsInTransaction());
    pending.rollback();
    EXPECT_EQ(routeRows(), 1 + 3 + 1);
}

// The full name in any capitals; a place no segment touches and a name no place has send
// the supervisor back to the box.
TEST_P(DeleteRouteOutcome, RoutesThroughAPlace)
{
    db().exec("INSERT INTO PLACE VALUES('E', 'Ee')");
    struct Case {
        const char *typed;
        QList<qint64> routes;
        const char *notices;
        Focus focus;
    };
    for (const Case &c : {Case{"cC", {7}, "", Focus::None}, Case{"Dd", {7}, "", Focus::None},
                          Case{"Ee", {}, "None of the available routes contain Ee|Information", Focus::SearchPlace},
                          Case{"C' OR 'x'='x", {}, "Error in name entry|", Focus::SearchPlace}}) {
        const RoutesThroughPlace o = routesThroughPlace(session(), QLatin1String(c.typed));
        EXPECT_EQ(o.routes, c.routes) << c.typed;
        EXPECT_EQ(noticeTexts(o.notices), QLatin1String(c.notices)) << c.typed;
        EXPECT_EQ(o.focus, c.focus) << c.typed;
    }
}

NBK_ALL_ENGINES(DeleteRouteOutcome);

}  // namespace
