// The cancellation as its outcome says, without any screen: the box to correct, the seats
// given back and whether the window closes.
#include "support/FocusPrint.h"
#include "support/TestDatabase.h"

#include "operations/CancelReservation.h"

using namespace nbk;
using namespace nbk::test;

namespace {

QString texts(const Notices &notices)
{
    QStringList t;
    for (const Notice &n : notices)
        t << n.text + '|' + n.title;
    return t.join(QLatin1Char('/'));
}

// Customer 101 holds seats 1 .. 4 of run 70 at 100 a seat (a stretch of no length costs
// the class's base).
class Cancellation : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        db().exec({"INSERT INTO PLACE VALUES('A', 'Aa')", "INSERT INTO PLACE VALUES('B', 'Bb')",
                   "INSERT INTO ROUTE VALUES( 7, 'A' , 'B', 2, 250, 1, 5, 300 )",
                   "INSERT INTO ROUTE_ELEMENT VALUES(1, 'A', 'B', 0)", "INSERT INTO PATH_ORDER VALUES(7, 1, 1)",
                   "UPDATE class_type SET base = 100 WHERE class = 2", "INSERT INTO BUS_INFO VALUES('R1', 2, 32)",
                   "INSERT INTO bus_instance values( 70, 7, TO_DATE('05-03-2030 10:00:00',"
                   "'DD-MM-YYYY HH24:MI:SS') , 'tt' , 0 , 'R1' , 2 , 28 ) ",
                   "INSERT INTO CUSTOMER VALUES( 101, 70, TO_DATE('05-03-2030 10:00:00','DD-MM-YYYY HH24:MI:SS'), "
                   "'Ravi', 30, 12345, 'M', 'A', 'B', 400 )"});
        for (int seat = 1; seat <= 4; ++seat)
            db().exec(QStringLiteral("INSERT INTO seat_matrix VALUES( 70, %1, 1, 1, 101, 'r' )").arg(seat));
    }
    QString state()
    {
        return QStringLiteral("%1 seats, fare %2, %3 free")
            .arg(db().scalar("SELECT count(*) FROM seat_matrix WHERE customer_id = 101").toInt())
            .arg(db().scalar("SELECT fare FROM customer WHERE customer_id = 101").toDouble())
            .arg(db().scalar("SELECT free_seats FROM bus_instance WHERE instance_id = 70").toInt());
    }
};

TEST_P(Cancellation, TheIdToCorrectThePartAndTheWhole)
{
    struct Case {
        const char *id;
        qint16 seats;
        bool yes;
        QString notices;
        Focus focus;
        int cancelled;
        bool close;
        QString after;
    };
    const QString invalid = QStringLiteral("Invalid Customer Id ( Enter only numerals) |Error");
    const Case cases[] = {
        {"1o1", 0, true, invalid, Focus::CustomerId, 0, false, "4 seats, fare 400, 28 free"},
        {"101.5", 0, true, invalid, Focus::CustomerId, 0, false, "4 seats, fare 400, 28 free"},
        {"999", 0, true, "Customer Id not found in data base|Error", Focus::None, 0, false, "4 seats, fare 400, 28 free"},
        {"101", 2, false, {}, Focus::None, 0, false, "4 seats, fare 400, 28 free"},  // the clerk says No
        {"101", 3, true, "3 seats deleted|Done.", Focus::None, 3, false, "1 seats, fare 100, 31 free"},
        {" 101", 0, true, "  Cancel Done |Information", Focus::None, 1, true, "0 seats, fare 0, 32 free"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.id) + " / " + std::to_string(c.seats));
        int asked = 0;
        const CancelOutcome o = CancelReservation(QLatin1String(c.id), c.seats, [&](const Notice &q) {
            ++asked;
            EXPECT_EQ(q.text, QStringLiteral("Are you sure to cancel customer no. ") + QLatin1String(c.id));
            return c.yes;
        });
        EXPECT_EQ(texts(o.notices), c.notices);
        EXPECT_EQ(o.focus, c.focus);
        EXPECT_EQ(o.cancelled, c.cancelled);
        EXPECT_EQ(o.closeWindow, c.close);
        EXPECT_EQ(asked, c.cancelled > 0 || !c.yes ? 1 : 0);  // asked only about a customer found
        EXPECT_EQ(state(), c.after);
        EXPECT_FALSE(session().IsInTransaction());
    }
}

NBK_ALL_ENGINES(Cancellation);

}  // namespace
