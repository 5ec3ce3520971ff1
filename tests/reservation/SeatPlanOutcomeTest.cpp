// The run's seats on its layout for a journey's stretch: which are held, which kept seats
// are released, and a booking of the seats the clerk picked (the lowest free ones without
// a pick, as without a layout).
#include "support/Outcomes.h"
#include "support/TestDatabase.h"

#include "reservation/FindBusInstances.h"
#include "reservation/SeatPlan.h"

using namespace nbk;
using namespace nbk::test;

namespace {

QList<qint16> heldSeats(const SeatPlan &p)
{
    QList<qint16> out;
    for (const SeatCell &c : p.cells)
        if (c.held)
            out << c.seat;
    return out;
}

// Ten seats four across (rows of 4, 4, 2); seat 1 kept for women and 6 for seniors until
// an hour before the departure. Seat 3 is held on segment 1, 4 on 2-3, 5 on 3, 9 on 1-3.
TEST(SeatPlan, HeldOverTheStretchAndReleasedAnHourBefore)
{
    const SeatLayout layout{2, 4, 2, 60, 60, {{1, SeatMark::Women}, {6, SeatMark::Senior}}};
    const QList<HeldStretch> held = {{3, 1, 1}, {4, 2, 3}, {5, 3, 3}, {9, 1, 3}};
    const QDateTime departure(QDate(2030, 3, 6), QTime(10, 0));
    struct Case {
        qint16 from, to;
        int minutesBefore;  // now, before the departure
        QList<qint16> held;
        bool released;
    };
    const Case cases[] = {
        {1, 1, 61, {3, 9}, false},        // a stretch ending where another begins shares no segment
        {2, 2, 60, {4, 9}, true},         // released at the hour exactly
        {2, 3, 0, {4, 5, 9}, true},
        {1, 3, -30, {3, 4, 5, 9}, true},  // after the departure
        {3, 3, 24 * 60, {4, 5, 9}, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << "-" << c.to << " at " << c.minutesBefore);
        const SeatPlan p = PlanSeats(layout, 10, held, c.from, c.to, departure,
                                     departure.addSecs(-qint64(c.minutesBefore) * 60));
        EXPECT_EQ(heldSeats(p), c.held);
        EXPECT_EQ(p.cell(1)->released, c.released);
        EXPECT_EQ(p.cell(6)->released, c.released);
        EXPECT_FALSE(p.cell(2)->released);  // a seat not kept is never "released"
    }
    // what a booking without a pick takes: the kept seats only once released
    EXPECT_EQ(PlanSeats(layout, 10, held, 1, 1, departure, departure.addSecs(-7200)).openSeats(),
              (QList<qint16>{2, 4, 5, 7, 8, 10}));
    EXPECT_EQ(PlanSeats(layout, 10, held, 1, 1, departure, departure).openSeats(),
              (QList<qint16>{1, 2, 4, 5, 6, 7, 8, 10}));
    const SeatPlan p = PlanSeats(layout, 10, {}, 1, 1, departure, departure);
    EXPECT_TRUE(p.laidOut);
    EXPECT_EQ(p.rows, 3);  // the seats beyond the layout's two rows fill a third
    QList<qint16> windows;
    for (const SeatCell &c : p.cells)
        if (c.window)
            windows << c.seat;
    EXPECT_EQ(windows, (QList<qint16>{1, 4, 5, 8, 9}));
    EXPECT_EQ(p.cell(10)->column, 1);
    EXPECT_EQ(p.cell(11), nullptr);
}

class SeatChoice : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        seedRouteABCD();
    }
    static SearchOutcome search(qint16 seats, bool chooseSeats)
    {
        reservation::ReservationState r;
        r.OriginPlace = QStringLiteral("A");
        r.DestinationPlace = QStringLiteral("D");
        r.ClassIndex = 2;
        r.SeatsRequested = seats;
        r.ChooseSeats = chooseSeats;
        r.JourneyDateTime = QDateTime(QDate(2003, 3, 5), QTime(23, 50));
        r.JourneyDateText = r.JourneyDateTime.toString(QStringLiteral("M-d-yyyy H:m:00"));
        QString route;
        return FindBusInstances(r, route, [](const Notice &) { return false; });
    }
};

TEST_P(SeatChoice, PickedSeatsAreBookedFirstAndWithoutALayoutNothingChanges)
{
    // no layout: the exact match is booked at once, even for a screen that picks seats
    SearchOutcome plain = search(2, true);
    ASSERT_TRUE(plain.booked()) << noticeTexts(plain.notices).toStdString();
    EXPECT_FALSE(plain.chooseSeats);
    EXPECT_EQ(plain.booking.booking->seats(), (QList<qint16>{1, 2}));
    plain.booking.booking->transaction.rollback();

    db().exec({"INSERT INTO seat_layout VALUES (2, 10, 4, 2, 60, 0)", "INSERT INTO seat_mark VALUES (2, 1, 'women')"});
    SearchOutcome headless = search(2, false);  // a road without the screen books as before
    ASSERT_TRUE(headless.booked());
    headless.booking.booking->transaction.rollback();
    SearchOutcome o = search(2, true);
    ASSERT_TRUE(o.chooseSeats);
    EXPECT_FALSE(o.booked());
    struct Case {
        QList<qint16> picked;
        QList<qint16> booked;  // empty: refused
    };
    const Case cases[] = {
        {{7, 5}, {7, 5}},
        {{}, {1, 2}},        // nothing picked: the lowest free seats
        {{9}, {9, 1}},       // the rest from the lowest free
        {{41}, {}},          // not a seat of the bus
        {{5, 5}, {}},
        {{1, 2, 3}, {}},     // more than the reservation holds
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.picked.size() << " picked, first " << c.picked.value(0));
        BookingOutcome b = BookSeats(o.seatRequest, o.seatRow, c.picked);
        ASSERT_EQ(b.booking != nullptr, !c.booked.isEmpty()) << noticeTexts(b.notices).toStdString();
        if (!b.booking)
            continue;
        EXPECT_EQ(b.booking->seats(), c.booked);
        if (c.picked == QList<qint16>{7, 5}) {
            // the booking's own session sees its seats held on every stretch that meets it
            const SeatPlan p = RunSeatPlan(o.seatRequest, o.seatRow);
            EXPECT_TRUE(p.laidOut);
            EXPECT_EQ(heldSeats(p), (QList<qint16>{5, 7}));
            EXPECT_EQ(p.cell(1)->mark, SeatMark::Women);
            EXPECT_TRUE(p.cell(1)->released);  // released 0 minutes before a departure in 2003
        }
        b.booking->transaction.rollback();
    }
}

NBK_ALL_ENGINES(SeatChoice);

}  // namespace
