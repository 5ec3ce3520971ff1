// The audit nbk-load and the fault tests end with: each figure counts its own fault and
// nothing else.
#include "data/session/Audit.h"
#include "support/TestDatabase.h"

using namespace nbk;
using namespace nbk::test;

namespace {

class Audit : public DbTest {
protected:
    data::AuditFigures audit() { return data::auditDatabase(session().GetCurrentConnection()); }

    // Customer `id` holding `seats` seats from segment s1 to s2 of run 70, with the fare
    // and the counter as a booking leaves them.
    void book(int id, int firstSeat, int seats, int s1, int s2, int fare)
    {
        db().exec(QStringLiteral("INSERT INTO customer VALUES (%1, 70, SYSDATE, 'Passenger', 30, 9845012345, 'M', "
                                 "'A', 'C', %2)")
                      .arg(id)
                      .arg(fare));
        for (int s = firstSeat; s < firstSeat + seats; ++s)
            db().exec(QStringLiteral("INSERT INTO seat_matrix VALUES (70, %1, %2, %3, %4, 'r')").arg(s).arg(s1).arg(s2).arg(id));
        db().exec(QStringLiteral("UPDATE bus_instance SET free_seats = free_seats - %1 WHERE instance_id = 70").arg(seats));
    }

    // The seat rule of the schema, gone: what a database without it would let through.
    void dropSeatRule()
    {
        if (GetParam() == EngineKind::Embedded)
            db().exec({"DROP TRIGGER seat_matrix_taken"});
        else
            db().exec({"ALTER TABLE seat_matrix DROP CONSTRAINT seat_matrix_taken"});
    }
};

TEST_P(Audit, BookingsAsTheClientMakesThemAreClean)
{
    seedRouteABCD();
    // A to C is 100 km: 100 x 0.25 = 25, 100 x 0.8 + 25 = 105, plus the base 20: 125 a seat
    book(1, 1, 2, 1, 2, 250);
    // C to D, 30 km: 30 x 0.25 = 7.5 -> 8 (half to even), 24 + 8 = 32, 52 a seat; the
    // seats of customer 1 are free on this stretch
    book(2, 1, 1, 3, 3, 52);
    // a partial cancellation leaves the per-seat fare times the seats still held
    db().exec({"INSERT INTO customer VALUES (3, 70, SYSDATE, 'Three', 30, 1, 'F', 'A', 'C', 125)",
               "INSERT INTO seat_matrix VALUES (70, 5, 1, 2, 3, 'r')",
               "UPDATE bus_instance SET free_seats = free_seats - 1 WHERE instance_id = 70"});
    const data::AuditFigures a = audit();
    EXPECT_TRUE(a.clean()) << a.summary().toStdString();
}

TEST_P(Audit, EachFaultIsCountedInItsOwnFigure)
{
    seedRouteABCD();
    book(1, 1, 2, 1, 2, 250);
    ASSERT_TRUE(audit().clean());

    dropSeatRule();
    // seat 2 again on segment 2, which customer 1 holds; and seat 9 twice, touching only
    db().exec({"INSERT INTO customer VALUES (4, 70, SYSDATE, 'Four', 30, 1, 'F', 'B', 'C', 97)",
               "INSERT INTO seat_matrix VALUES (70, 2, 2, 2, 4, 'r')",
               "UPDATE bus_instance SET free_seats = free_seats - 1 WHERE instance_id = 70"});
    data::AuditFigures a = audit();
    EXPECT_EQ(a.overlaps, 1) << a.summary().toStdString();
    EXPECT_EQ(a.counterMismatches, 0);
    EXPECT_EQ(a.tempRows, 0);

    // a counter lowered twice
    db().exec({"UPDATE bus_instance SET free_seats = free_seats - 1 WHERE instance_id = 70"});
    a = audit();
    EXPECT_EQ(a.counterMismatches, 1) << a.summary().toStdString();

    // a placeholder left by a booking that never finished
    db().exec({"INSERT INTO customer VALUES (5, -1, SYSDATE, '**TEMP**', -1, -1, 'x', 'Unkn', 'Unkn', 0)"});
    a = audit();
    EXPECT_EQ(a.tempRows, 1);

    // B to C is 60 km: 15 + 48 + 15 -> 63 + 20 = 83 a seat; 97 is not it. A customer
    // without seats who still owes a fare counts too.
    const int before = a.fareMismatches;
    EXPECT_EQ(before, 1) << a.summary().toStdString();
    db().exec({"INSERT INTO customer VALUES (6, 70, SYSDATE, 'Six', 30, 1, 'F', 'A', 'C', 125)"});
    EXPECT_EQ(audit().fareMismatches, 2);
}

// A concession seat pays its share of the per-seat fare, rounded as the booking rounds; a
// charge retains the share of a slab sold with its booking (all of it past the last slab).
TEST_P(Audit, ConcessionFaresAndChargesAreCheckedAgainstTheirShares)
{
    seedRouteABCD();
    db().exec({"INSERT INTO cancel_slab VALUES (TO_DATE('01-01-2020 00:00:00','DD-MM-YYYY HH24:MI:SS'), 24, 0.25)"});
    // A to C, 125 a seat: an adult and a child at half, 62.5 -> 62 (half to even)
    book(7, 1, 2, 1, 2, 187);
    db().exec({"INSERT INTO seat_category VALUES (7, 2, 'child', 8, 0.5, 62)"});
    book(8, 3, 1, 1, 2, 125);
    db().exec({"INSERT INTO cancel_charge VALUES (8, 1, 250, 125, 0.25, 31.25, 93.75)",
               "INSERT INTO cancel_charge VALUES (8, 1, 250, 125, 1, 125, 0)"});
    data::AuditFigures a = audit();
    EXPECT_TRUE(a.clean()) << a.summary().toStdString();

    struct Case {
        const char *sql;
        int concessions, charges, fares;
    };
    const Case cases[] = {
        {"UPDATE seat_category SET fare = 63 WHERE customer_id = 7", 1, 0, 1},       // the fare moved with it
        {"UPDATE customer SET fare = 188 WHERE customer_id = 7", 1, 0, 0},           // now the booking agrees
        {"INSERT INTO cancel_charge VALUES (8, 1, 250, 125, 0.1, 12.5, 112.5)", 1, 1, 0},  // no such slab
        {"INSERT INTO cancel_charge VALUES (8, 1, 250, 125, 0.25, 20, 105)", 1, 2, 0},     // less than its share
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.sql);
        db().exec(QString::fromLatin1(c.sql));
        a = audit();
        EXPECT_EQ(a.concessionMismatches, c.concessions) << a.summary().toStdString();
        EXPECT_EQ(a.chargeMismatches, c.charges);
        EXPECT_EQ(a.fareMismatches, c.fares);
    }
}

NBK_ALL_ENGINES(Audit);

}  // namespace
