#include "support/Procedures.h"
#include "data/session/Transaction.h"
#include "BookingFixture.h"
#include "data/engines/PostgresEngine.h"

#include <QElapsedTimer>
#include <chrono>
#include <future>
#include <thread>

using namespace nbk;
using namespace nbk::test;

namespace {

const QString kNoSeats = QStringLiteral("Cancelling reservation due to non availablity of seats");

class BookSeatsTest : public BookingTest {};

TEST_P(BookSeatsTest, FirstBookingOfAnEmptyRunHoldsTheLowestSeatsInOneOpenTransaction)
{
    search("A", "C");
    request.SeatsRequested = 2;
    request.BoardingOffsetMinutes = 20;
    book();

    ASSERT_EQ(texts(), QStringList{"Reservation Successful"});
    EXPECT_EQ(lastMessage().title, "Success");
    EXPECT_EQ(lastMessage().style, mb::OKOnly);
    ASSERT_TRUE(session().IsInTransaction());
    ASSERT_NE(customerScreen(), nullptr);

    EXPECT_EQ(booked.BookedInstanceId, 70);
    EXPECT_EQ(booked.JourneyKm, 100);  // segments 1 and 2
    EXPECT_EQ(booked.ClassBase, 20);
    EXPECT_DOUBLE_EQ(booked.ClassMultiplier, 0.8);
    EXPECT_DOUBLE_EQ(booked.FuelMultiplier, 0.25);
    // the departure at the boarding place crosses midnight
    EXPECT_EQ(booked.JourneyDateTime, QDateTime(QDate(2003, 3, 6), QTime(0, 10)));

    // the request the screens made is left as it was
    EXPECT_EQ(request.BookedInstanceId, 0);
    EXPECT_EQ(seatsOf(booked.CustomerId, false), (QList<int>{1, 2}));
    EXPECT_EQ(sessionScalar(QStringLiteral("SELECT count(*) FROM seat_matrix WHERE customer_id = %1 AND route_sequence1 = 1 "
                                       "AND route_sequence2 = 2 AND instance_id = 70 AND status = 'r'")
                            .arg(booked.CustomerId))
                  .toInt(),
              2);
    EXPECT_EQ(sessionScalar(QStringLiteral("SELECT name FROM customer WHERE customer_id = %1").arg(booked.CustomerId)).toString(),
              "**TEMP**");
    EXPECT_EQ(sessionScalar(QStringLiteral("SELECT free_seats FROM bus_instance WHERE instance_id = 70")).toInt(), 38);
    // nothing is visible elsewhere until the details are saved
    EXPECT_EQ(seatsOf(booked.CustomerId, true), QList<int>{});
}

TEST_P(BookSeatsTest, SeatsOverlapOnSharedSegmentsOnly)
{
    db().exec("UPDATE bus_info SET total_seats = 2");
    hold(1, 1, 2, 500);  // A->C
    hold(2, 3, 3, 501);  // C->D

    // seat 1 ends on segment 2, so it is free from C on
    search("C", "D");
    request.SeatsRequested = 1;
    book();
    EXPECT_EQ(seatsOf(booked.CustomerId, false), QList<int>{1});
    customerScreen()->Command2->click();

    // B->C shares segment 2 with seat 1 and none with seat 2
    search("B", "C");
    book();
    EXPECT_EQ(seatsOf(booked.CustomerId, false), QList<int>{2});
    customerScreen()->Command2->click();

    // B->D collides with both
    test::MessageScript::clearShown();
    search("B", "D");
    book();
    EXPECT_EQ(texts(), QStringList{kNoSeats});
    expectNothingLeft(2, 2);
}

// Seats 1, 2 and 4 of five held: two are exactly enough (3 and 5), three one too few.
TEST_P(BookSeatsTest, ExactlyEnoughFreeSeatsAreBookedLowestFirstOneTooFewWritesNothing)
{
    db().exec("UPDATE bus_info SET total_seats = 5");
    hold(1, 1, 2, 500);
    hold(2, 2, 3, 500);
    hold(4, 1, 1, 501);
    search("A", "C");
    request.SeatsRequested = 2;
    book();
    EXPECT_EQ(texts(), QStringList{"Reservation Successful"});
    EXPECT_EQ(seatsOf(booked.CustomerId, false), (QList<int>{3, 5}));
    EXPECT_EQ(booked.ChosenSeats[0], 3);
    EXPECT_EQ(booked.ChosenSeats[1], 5);
    ASSERT_NE(customerScreen(), nullptr);
    customerScreen()->Command2->click();

    test::MessageScript::clearShown();
    search("A", "C");
    request.SeatsRequested = 3;
    book();
    ASSERT_EQ(texts(), QStringList{kNoSeats});
    EXPECT_EQ(lastMessage().style, mb::OKOnly);
    EXPECT_EQ(lastMessage().title, QString());
    EXPECT_EQ(customerScreen(), nullptr);
    expectNothingLeft(2, 3);
}

TEST_P(BookSeatsTest, RefusedSeatIsStruckAndBookingRewrittenUnderTheSameCustomer)
{
    hold(1, 1, 2, 500);
    hold(2, 1, 2, 500);
    hold(4, 1, 2, 501);
    const int next = db().scalar(" SELECT C_seq.NEXTVAL FROM Dual ").toInt() + 1;
    // another clerk takes seat 3 once this booking has counted it as free
    reservation::setFreeSeatsComputedHook([this] {
        hold(3, 2, 3, 502);
    });
    search("A", "C");
    request.SeatsRequested = 2;
    book();

    ASSERT_EQ(texts(), QStringList{"Reservation Successful"});
    EXPECT_EQ(booked.CustomerId, next);
    EXPECT_EQ(seatsOf(booked.CustomerId, false), (QList<int>{5, 6}));
    EXPECT_EQ(sessionScalar(QStringLiteral("SELECT count(*) FROM customer WHERE customer_id = %1").arg(booked.CustomerId)).toInt(), 1);
    EXPECT_EQ(sessionScalar("SELECT count(*) FROM customer WHERE name = '**TEMP**'").toInt(), 1);
    EXPECT_EQ(sessionScalar("SELECT free_seats FROM bus_instance WHERE instance_id = 70").toInt(), 34);  // 4 held
    EXPECT_EQ(booked.FreeSeats[0], -1);  // seat 3 struck out
    // the customer id was drawn once
    EXPECT_EQ(sessionScalar(" SELECT C_seq.NEXTVAL FROM Dual ").toInt(), next + 1);
}

TEST_P(BookSeatsTest, SeatHeldByAnOpenTransactionElsewhereIsRefusedOnceThatCommits)
{
    if (GetParam() == EngineKind::Embedded)
        GTEST_SKIP() << "the embedded engine has one writer at a time; the server makes the insert wait";
    hold(1, 1, 2, 500);
    hold(2, 1, 2, 500);
    hold(4, 1, 2, 501);
    // another clerk's booking of seat 3 is still open when this one writes its seats
    std::promise<void> holding;
    std::thread other;
    reservation::setFreeSeatsComputedHook([&] {
        other = std::thread([&] {
            // the owner's session: its bare seat row is not held to the fare rule at commit
            const data::PostgresUri owner = data::PostgresUri::parse(TestDatabase::adminUri());
            auto clerk = db().login(owner.user, owner.password);
            data::Connection &cn = clerk->GetCurrentConnection();
            data::Transaction txClerk(*clerk, QStringLiteral("the test's work"));
            cn.execute("Insert INTO Customer values ( 502,70,SYSDATE,'Other',30,1,'M','B','D',0)");
            cn.execute("INSERT INTO seat_matrix VALUES( 70 , 3 ,2 , 3 , 502, 'r' )");
            holding.set_value();
            std::this_thread::sleep_for(std::chrono::milliseconds(400));
            txClerk.commit();
        });
        holding.get_future().wait();
    });
    search("A", "C");
    request.SeatsRequested = 2;
    QElapsedTimer waited;
    waited.start();
    book();
    other.join();

    EXPECT_GE(waited.elapsed(), 300);
    ASSERT_EQ(texts(), QStringList{"Reservation Successful"});
    EXPECT_EQ(seatsOf(booked.CustomerId, false), (QList<int>{5, 6}));
    EXPECT_EQ(sessionScalar("SELECT count(*) FROM customer WHERE name = '**TEMP**'").toInt(), 1);
    EXPECT_EQ(seatsOf(502, true), QList<int>{3});
}

TEST_P(BookSeatsTest, RefusalOfTheLastFreeSeatCancelsAndLeavesNothing)
{
    db().exec("UPDATE bus_info SET total_seats = 3");
    hold(1, 1, 3, 500);
    hold(2, 1, 3, 500);
    reservation::setFreeSeatsComputedHook([this] { hold(db(), 3, 1, 1, 501); });
    search("A", "C");
    request.SeatsRequested = 1;
    book();
    EXPECT_EQ(texts(), QStringList{kNoSeats});
    EXPECT_EQ(customerScreen(), nullptr);
    expectNothingLeft(2, 3);
}

// A request beyond the 31 entries of ChosenSeats is never filled, whatever is free.
TEST_P(BookSeatsTest, PickSeatsFillsAtMostThirtyOneSeats)
{
    for (int i = 0; i < 201; ++i)
        request.FreeSeats[size_t(i)] = qint16(i + 1);
    request.SeatsRequested = 32;
    EXPECT_EQ(PickSeats(request, 0, 201), -2);
    request.SeatsRequested = 31;
    EXPECT_EQ(PickSeats(request, 0, 201), 1);
    EXPECT_EQ(request.ChosenSeats[30], 31);
}

// Every refusal ends in a message naming the cause, a rollback and no screen.
class BookSeatsFailure : public BookingTest {
protected:
    void expectRefused(const QString &cause, int customersBefore = 0)
    {
        ASSERT_EQ(test::MessageScript::shown().size(), 1u) << texts().join('|').toStdString();
        EXPECT_TRUE(lastMessage().text.contains(cause, Qt::CaseInsensitive)) << lastMessage().text.toStdString();
        EXPECT_TRUE(lastMessage().text.contains("cancelled", Qt::CaseInsensitive));
        EXPECT_EQ(lastMessage().icon(), mb::Critical);
        EXPECT_EQ(lastMessage().title, "Error");
        EXPECT_EQ(customerScreen(), nullptr);
        expectNothingLeft(customersBefore, 0);
    }
};

TEST_P(BookSeatsFailure, VehicleOfExactlyTheListSizeIsBooked)
{
    db().exec("UPDATE bus_info SET total_seats = 201");
    for (int seat = 1; seat <= 200; ++seat)
        hold(seat, 1, 3, 500);
    search("A", "C");
    request.SeatsRequested = 1;
    book();
    EXPECT_EQ(texts(), QStringList{"Reservation Successful"});
    EXPECT_EQ(seatsOf(booked.CustomerId, false), QList<int>{201});
}

// A vehicle without a seat record, one larger than the seat list, more seats than a
// booking holds.
TEST_P(BookSeatsFailure, RunOrRequestTheBookingCannotServe)
{
    struct Case {
        const char *change, *undo;
        int seats;
        const char *cause;
    };
    for (const Case &c : {Case{"UPDATE bus_instance SET registration = 'GONE'",
                               "UPDATE bus_instance SET registration = 'R1'", 1, "GONE"},
                          Case{"UPDATE bus_info SET total_seats = 202", "UPDATE bus_info SET total_seats = 40", 1, "202"},
                          Case{nullptr, nullptr, 32, "31"}}) {
        SCOPED_TRACE(c.cause);
        test::MessageScript::clearShown();
        if (c.change)
            db().exec(QString::fromLatin1(c.change));
        search("A", "C");
        request.SeatsRequested = c.seats;
        book();
        expectRefused(QString::fromLatin1(c.cause));
        if (c.undo)
            db().exec(QString::fromLatin1(c.undo));
    }
}

TEST_P(BookSeatsFailure, JourneyWithoutDistance)
{
    search("A", "C");
    request.SearchRows.at(1, 0) = 99;  // a route without elements
    request.SeatsRequested = 1;
    book();
    expectRefused("distance");
}

TEST_P(BookSeatsFailure, RefusedCustomerRow)
{
    // the id the booking will draw is taken already
    const int next = db().scalar(" SELECT C_seq.NEXTVAL FROM Dual ").toInt() + 1;
    db().exec(QStringLiteral("Insert INTO Customer values ( %1,-1,SYSDATE,'Someone',-1,-1,'x','Unkn','Unkn',0)").arg(next));
    search("A", "C");
    request.SeatsRequested = 1;
    book();
    expectRefused("customer record", 1);
    EXPECT_EQ(booked.CustomerId, next);
    EXPECT_EQ(seatsOf(next, true), QList<int>{});
}

TEST_P(BookSeatsFailure, RefusedFreeSeatCounter)
{
    refuseUpdatesOf("bus_instance");
    search("A", "C");
    request.SeatsRequested = 2;
    book();
    expectRefused("free seats");
}

NBK_ALL_ENGINES(BookSeatsTest);
NBK_ALL_ENGINES(BookSeatsFailure);

}  // namespace
