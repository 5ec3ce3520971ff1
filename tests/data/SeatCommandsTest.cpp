#include "data/session/Class1.h"
#include "data/session/Transaction.h"
#include "data/dialect/DbError.h"
#include "support/TestDatabase.h"

#include <QSet>

using namespace nbk;
using namespace nbk::test;
using nbk::data::Command;

namespace {

// Run 70 on the shared route A-B-C-D; route 8 has no path; run 71 is another run of route 7.
class SeatCommands : public DbTest {
protected:
    data::Transaction bare_;
    void SetUp() override
    {
        DbTest::SetUp();
        seedRouteABCD();
        db().exec({"INSERT INTO ROUTE VALUES( 8, 'A' , 'D', 4, 125, 1, 5, 250, NULL)",
                   "INSERT INTO bus_instance values( 71, 7, TO_DATE('05-03-2003 10:00:00','DD-MM-YYYY "
                   "HH24:MI:SS') , 'tt' , 0 , 'R1' , 2 , 45 )"});
    }
    QSet<int> taken(int r1, int r2, int iid = 70)
    {
        session().SetupGetFullSeats(r1, r2, iid);
        data::ResultSet rs = session().SQLcmdGetFullSeats().execute();
        QSet<int> seats;
        for (; !rs.eof(); rs.moveNext())
            seats.insert(rs.value("seat_no").toInt());
        return seats;
    }
    void seat(int seat, int s1, int s2, int cid)
    {
        // bare seat rows, without counters or fares: never committed
        // the customers are made by the same transaction: a booking committed earlier
        // takes no more seats
        if (!bare_.isOpen()) {
            bare_ = data::Transaction(session(), QStringLiteral("the test's bare seat rows"));
            ASSERT_EQ(session().exec("Insert INTO Customer values ( 1,70,SYSDATE,'One',30,1,'M','A','C',0)"), -13);
            ASSERT_EQ(session().exec("Insert INTO Customer values ( 2,70,SYSDATE,'Two',30,1,'M','C','D',0)"), -13);
        }
        session().SetupSetSeatMatrix();
        Command &c = session().SQLcmdSetSeatMatrix();
        for (int i : {0, 1, 2, 3, 4})
            c.setValue(i, QList<int>{70, seat, s1, s2, cid}.at(i));
        c.execute();
    }
};

TEST_P(SeatCommands, SettingUpTwiceLeavesOneParameterList)
{
    data::Class1 &s = session();
    for (int round = 0; round < 2; ++round) {
        s.SetupGetDistance();
        s.SetupMaxSeats();
        s.SetupSetSeatMatrix();
        s.SetupInstanceDetails();
        s.setupGetUniqueCID();
        s.setupGetCustomerForDelete();
        s.setupGetUniqueID(QStringLiteral("instance_seq"));
        s.setupTicketDetails(1);
        s.SetupGetFullSeats(1, 2, 70);
    }
    // a second setup replaces the parameters instead of adding to them
    const std::pair<Command *, int> want[] = {
        {&s.SQLcmdGetDistance(), 3},         {&s.SQLcmdGetMaxSeats(), 1},       {&s.SQLcmdSetSeatMatrix(), 5},
        {&s.SQLcmdGetInstanceDetails(), 4},  {&s.SQLcmdGetCustomerForDelete(), 1}, {&s.SQLcmdGetUniqueCID(), 0},
        {&s.SQLcmdGetUniqueID(), 0},         {&s.SQLcmdGetTicketDetails(), 0},  {&s.SQLcmdGetFullSeats(), 0}};
    for (const auto &[c, n] : want)
        EXPECT_EQ(c->parameters().size(), n) << c->commandText().toStdString();
    for (Command *c : {&s.SQLcmdGetDistance(), &s.SQLcmdGetFullSeats(), &s.SQLcmdSetSeatMatrix()}) {
        EXPECT_EQ(c->activeConnection(), &s.GetCurrentConnection());
        EXPECT_EQ(c->commandType(), data::adCmdText);
    }
}

TEST_P(SeatCommands, TakenSeatsAreThoseSharingASegment)
{
    EXPECT_TRUE(taken(1, 3).isEmpty());  // a run without seat rows
    seat(1, 1, 2, 1);                    // A->C
    seat(2, 3, 3, 2);                    // C->D
    EXPECT_EQ(taken(3, 3), QSet<int>{2});
    EXPECT_EQ(taken(2, 2), QSet<int>{1});
    EXPECT_EQ(taken(2, 3), (QSet<int>{1, 2}));
    EXPECT_EQ(taken(1, 2), QSet<int>{1});
    EXPECT_EQ(taken(2, 4), (QSet<int>{1, 2}));
    EXPECT_EQ(taken(4, 4), QSet<int>{});
    EXPECT_TRUE(taken(1, 3, 71).isEmpty());  // another run of the same route
    // a seat held twice on separate stretches is listed once
    seat(2, 1, 1, 1);
    data::ResultSet rs = (session().SetupGetFullSeats(1, 3, 70), session().SQLcmdGetFullSeats().execute());
    EXPECT_EQ(rs.recordCount(), 2);
}

TEST_P(SeatCommands, SegmentDistanceSumsTheElementsBeforeThePosition)
{
    EXPECT_EQ(data::GetSegmentDistance(7, 2), 40);
    EXPECT_EQ(data::GetSegmentDistance(7, 3), 100);
    EXPECT_EQ(data::GetSegmentDistance(7, 4), 130);
    db().exec("UPDATE route_element SET km = 5.25 WHERE reid = 1");
    db().exec("UPDATE route_element SET km = 7.25 WHERE reid = 2");
    EXPECT_EQ(data::GetSegmentDistance(7, 3), 12);  // 12.5
    db().exec("UPDATE route_element SET km = 6.25 WHERE reid = 2");
    EXPECT_EQ(data::GetSegmentDistance(7, 3), 12);  // 11.5
    db().exec("UPDATE route_element SET km = 8.25 WHERE reid = 2");
    EXPECT_EQ(data::GetSegmentDistance(7, 3), 14);  // 13.5
}

TEST_P(SeatCommands, SegmentDistanceWithoutElementsOrBeyondSixteenBitsRaises)
{
    EXPECT_THROW(data::GetSegmentDistance(8, 3), data::DbException);  // route 8 has no path
    db().exec("UPDATE route_element SET km = 40000 WHERE reid = 1");
    EXPECT_THROW(data::GetSegmentDistance(7, 2), data::DbException);
}

TEST(SegmentDistance, FirstPositionIsZeroWithoutAQuery)
{
    data::Class1 offline;  // never connected: any query would raise
    data::Class1 *saved = DbSession;
    DbSession = &offline;
    EXPECT_EQ(data::GetSegmentDistance(7, 1), 0);
    EXPECT_TRUE(offline.SQLcmdGetDistance().commandText().isEmpty());
    EXPECT_THROW(data::GetSegmentDistance(7, 2), data::DbException);
    DbSession = saved;
}

NBK_ALL_ENGINES(SeatCommands);

}  // namespace
