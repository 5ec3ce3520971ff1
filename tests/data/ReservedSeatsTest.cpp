// Seats kept for women or senior citizens: a clerk's own statements cannot give one to
// another passenger before its release, on either engine; after the release, or on a
// seat not kept, anyone may have it.
#include "data/dialect/DbError.h"
#include "data/session/Audit.h"
#include "data/session/Transaction.h"
#include "support/TestDatabase.h"

#include <cmath>

using namespace nbk;
using namespace nbk::test;

namespace {

// Run 70 left in 2003 (its kept seats long released); run 71, the same route and class,
// leaves in 2090.
const char *const kPast = "TO_DATE('05-03-2003 23:50:00','DD-MM-YYYY HH24:MI:SS')";
const char *const kFuture = "TO_DATE('05-03-2090 23:50:00','DD-MM-YYYY HH24:MI:SS')";

class ReservedSeats : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        seedRouteABCD();
        db().exec(QStringLiteral("INSERT INTO bus_instance VALUES (71, 7, %1, 'tt', 0, 'R1', 2, 40)").arg(QLatin1String(kFuture)));
        // class 2: four across, seat 1 for women, seat 2 for senior citizens from 60, both
        // released an hour before the departure
        db().exec({"INSERT INTO seat_layout VALUES (2, 10, 4, 2, 60, 60)", "INSERT INTO seat_mark VALUES (2, 1, 'women')",
                   "INSERT INTO seat_mark VALUES (2, 2, 'senior')",
                   "INSERT INTO fare_category VALUES ('senior', 0.5, 60, 120)"});
        clerk_ = db().login(QStringLiteral("clerk1"));
        data::ResultSet f = db().query("SELECT f.multiplier, ct.multiplier, ct.base FROM fuel_index f, class_type ct "
                                       "WHERE f.fpi = 1 AND ct.class = 2");
        // A to B: 40 km
        adult_ = data::seatFare(40, f.value(0).toDouble(), f.value(1).toDouble(), f.value(2).toDouble());
    }

    // One seat from A to B as the screens book it, committed: 0, or the refusal's number.
    int book(int run, int seat, const char *gender, int age, int concessionAge)
    {
        const int cid = 501;
        const int fare = concessionAge ? int(std::nearbyint(adult_ * 0.5)) : adult_;
        QStringList sql = {
            QStringLiteral("Insert INTO Customer values ( %1,-1,SYSDATE,'**TEMP**',-1,-1,'x','Unkn','Unkn',0)").arg(cid),
            QStringLiteral("INSERT INTO seat_matrix VALUES (%1, %2, 1, 1, %3, 'r')").arg(run).arg(seat).arg(cid),
            QStringLiteral("UPDATE bus_instance SET free_seats = free_seats - 1 WHERE instance_id = %1").arg(run),
            QStringLiteral("UPDATE Customer SET instance_id = %1, journey_date = %2, name = 'Asha', age = %3, "
                           "phone = '98450', gender = '%4', origin = 'A', destin = 'B', fare = %5 WHERE customer_id = %6")
                .arg(run)
                .arg(QLatin1String(run == 70 ? kPast : kFuture))
                .arg(age)
                .arg(QLatin1String(gender))
                .arg(fare)
                .arg(cid)};
        if (concessionAge)
            sql << QStringLiteral("INSERT INTO seat_category VALUES (%1, %2, 'senior', %3, 0.5, %4)")
                       .arg(cid)
                       .arg(seat)
                       .arg(concessionAge)
                       .arg(fare);
        data::Transaction tx(*clerk_, QStringLiteral("the test's booking"));
        for (const QString &q : sql)
            if (const qint16 r = clerk_->exec(q); r != data::kExecOk) {
                why_ = clerk_->LastExecError().toStdString();
                return r;
            }
        try {
            tx.commit();
        } catch (const data::DbException &e) {
            why_ = e.error().description.toStdString();
            return e.nativeError();
        }
        return 0;
    }

    std::unique_ptr<data::Class1> clerk_;
    int adult_ = 0;
    std::string why_;
};

TEST_P(ReservedSeats, AKeptSeatGoesOnlyToItsPassengersUntilItsRelease)
{
    struct Case {
        const char *what;
        int run, seat;
        const char *gender;
        int age, concessionAge;
        int refusal;
    };
    const Case cases[] = {
        {"a man on the women's seat", 71, 1, "M", 30, 0, 20010},
        {"a woman on the women's seat", 71, 1, "F", 30, 0, 0},
        {"a woman typed in lower case", 71, 1, "f", 30, 0, 0},
        {"a man on a released women's seat", 70, 1, "M", 30, 0, 0},
        {"a young passenger on the senior seat", 71, 2, "M", 59, 0, 20010},
        {"a passenger of the senior age", 71, 2, "F", 60, 0, 0},
        {"a younger booker with a senior's concession for it", 71, 2, "M", 40, 65, 0},
        {"a young passenger on a released senior seat", 70, 2, "M", 20, 0, 0},
        {"anyone on a seat not kept", 71, 3, "M", 30, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const int r = book(c.run, c.seat, c.gender, c.age, c.concessionAge);
        EXPECT_EQ(r, c.refusal) << why_;
        // a refusal leaves nothing of the booking
        EXPECT_EQ(db().scalar("SELECT count(*) FROM customer").toInt(), c.refusal ? 0 : 1);
        db().exec({"DELETE FROM seat_category", "DELETE FROM seat_matrix", "DELETE FROM customer",
                   "UPDATE bus_instance SET free_seats = 40"});
    }
    // without a layout the class's seats are everyone's, as they always were
    db().exec({"DELETE FROM seat_mark", "DELETE FROM seat_layout"});
    EXPECT_EQ(book(71, 1, "M", 30, 0), 0) << why_;
}

NBK_ALL_ENGINES(ReservedSeats);

}  // namespace
