// The cancellation as its outcome says, without any screen: the box to correct, the seats
// given back and whether the window closes.
#include "support/Outcomes.h"

#include "operations/CancelReservation.h"
#include "operations/CancelSeed.h"

using namespace nbk;
using namespace nbk::test;

namespace {

// Customer 101 holds seats 1 .. 4 of run 70 at 100 a seat (a stretch of no length costs
// the class's base).
class Cancellation : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        seedCancelRuns(db());
        bookForCancel(db(), 101, 70, {1, 2, 3, 4}, 400);
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
        const char *seatsLine = "";  // what the question says goes, and the refund
    };
    const QString invalid = QStringLiteral("Invalid Customer Id ( Enter only numerals) |Error");
    const Case cases[] = {
        {"1o1", 0, true, invalid, Focus::CustomerId, 0, false, "4 seats, fare 400, 28 free"},
        {"101.5", 0, true, invalid, Focus::CustomerId, 0, false, "4 seats, fare 400, 28 free"},
        {"999", 0, true, "Customer Id not found in data base|Error", Focus::None, 0, false, "4 seats, fare 400, 28 free"},
        {"101", 2, false, {}, Focus::None, 0, false, "4 seats, fare 400, 28 free",  // the clerk says No
         "(2 of 4 seats)\r\nAmount to refund: \u20B9 200"},
        {"101", 3, true, "3 seats deleted|Done.", Focus::None, 3, false, "1 seats, fare 100, 31 free",
         "(3 of 4 seats)\r\nAmount to refund: \u20B9 300"},
        {" 101", 0, true, "  Cancel Done |Information", Focus::None, 1, true, "0 seats, fare 0, 32 free",
         "(the whole booking)\r\nAmount to refund: \u20B9 100"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.id) + " / " + std::to_string(c.seats));
        int asked = 0;
        const CancelOutcome o = CancelReservation(QLatin1String(c.id), c.seats, [&](const Notice &q) {
            ++asked;
            // whom, which run and what goes, with No as the default answer
            EXPECT_TRUE(q.text.startsWith(QStringLiteral("Are you sure to cancel customer no. 101\r\n\r\n"
                                                         "Passenger: Ravi\r\nRun 70, journey 5 Mar 2030 10:00\r\n"
                                                         "Seats to cancel: ")))
                << q.text.toStdString();
            EXPECT_TRUE(q.text.endsWith(QString::fromUtf8(c.seatsLine))) << q.text.toStdString();
            EXPECT_EQ(q.style, mb::Question | mb::YesNo | mb::DefaultButton2);
            return c.yes;
        });
        EXPECT_EQ(noticeTexts(o.notices), c.notices);
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
