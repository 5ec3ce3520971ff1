// The bookings' invariants, tried as a hostile clerk (or supervisor) would with any SQL
// tool: the statements go straight to the session, and each refusal leaves every row as
// it was; the counters' own booking, cancellation and correction still go through.
#include "data/dialect/DbError.h"
#include "data/dialect/SqlText.h"
#include "data/session/Audit.h"
#include "data/session/Transaction.h"
#include "support/TestDatabase.h"

using namespace nbk;
using namespace nbk::test;

namespace {

// Run 70 leaves A at 23:50 on 5 March 2003; route 7 runs 0.5 km a minute with 5 minutes
// at each stop, so it boards at B (40 km on) 85 minutes later.
const char *const kAtA = "TO_DATE('05-03-2003 23:50:00','DD-MM-YYYY HH24:MI:SS')";
const char *const kAtB = "TO_DATE('06-03-2003 01:15:00','DD-MM-YYYY HH24:MI:SS')";

struct Booking {
    int cid;
    QList<int> seats;
    int s1, s2;
    const char *origin, *destin;
    const char *journey = kAtA;
    QString name = QStringLiteral("Ravi");
    const char *age = "30";
};

class Invariants : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        seedRouteABCD();
        clerk_ = db().login(QStringLiteral("clerk1"));
        chief_ = db().login(QStringLiteral("chief"));
        ASSERT_EQ(attempt(*clerk_, booking({501, {1, 2}, 1, 2, "A", "C"})), 0) << why_;
    }

    // The statements of a booking as the screens send them, with the fare of its stretch.
    QStringList booking(const Booking &b)
    {
        const double km = db().scalar(QStringLiteral("SELECT SUM(KM) FROM route_element WHERE REID IN (SELECT REID "
                                                     "FROM PATH_ORDER WHERE ROUTE_ID = 7 AND Sequence_no >= %1 "
                                                     "And sequence_no <= %2)")
                                          .arg(b.s1)
                                          .arg(b.s2))
                              .toDouble();
        data::ResultSet f = db().query("SELECT f.multiplier, ct.multiplier, ct.base FROM fuel_index f, class_type ct "
                                       "WHERE f.fpi = 1 AND ct.class = 2");
        const int fare = data::seatFare(km, f.value(0).toDouble(), f.value(1).toDouble(), f.value(2).toDouble())
                         * int(b.seats.size());
        QStringList sql = {QStringLiteral("Insert INTO Customer values ( %1,-1,SYSDATE,'**TEMP**',-1,-1,'x','Unkn','Unkn',0)")
                               .arg(b.cid)};
        for (int seat : b.seats)
            sql << QStringLiteral(" INSERT INTO seat_matrix VALUES( 70 , %1 ,%2 , %3 , %4, 'r' )")
                       .arg(seat)
                       .arg(b.s1)
                       .arg(b.s2)
                       .arg(b.cid);
        sql << QStringLiteral("UPDATE BUS_INSTANCE set free_seats=free_seats-%1 Where instance_id=70").arg(b.seats.size())
            << QStringLiteral("UPDATE Customer set customer_id= %1, Instance_ID =70, Journey_date=%2, Name = '%3' , "
                              "age=%4, phone='98450 12345', gender='M' , origin='%5' , destin='%6', fare=%7 "
                              "where customer_ID = %1")
                   .arg(b.cid)
                   .arg(QLatin1String(b.journey), data::sqlText(b.name), QLatin1String(b.age), QLatin1String(b.origin),
                        QLatin1String(b.destin))
                   .arg(fare);
        return sql;
    }

    // One transaction of the session's own, as a counter's task holds it: 0 when it
    // committed, else the ORA number of the first refusal (the transaction rolled back).
    int attempt(data::Class1 &s, const QStringList &sql)
    {
        data::Transaction tx(s, QStringLiteral("the test's work"));
        for (const QString &q : sql)
            if (const qint16 r = s.exec(q); r != data::kExecOk) {
                why_ = s.LastExecError().toStdString();
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

    QString rows(const char *sql)
    {
        QStringList out;
        for (data::ResultSet rs = db().query(QString::fromLatin1(sql)); !rs.eof(); rs.moveNext())
            for (int i = 0; i < rs.fieldCount(); ++i)
                out << rs.value(i).toString();
        return out.join(QLatin1Char('|'));
    }
    QString state()
    {
        return rows("SELECT customer_id, instance_id, To_char(journey_date,'dd-mm-yyyy hh24:mi:ss'), name, age, phone, "
                    "gender, origin, destin, fare FROM customer ORDER BY customer_id")
               + rows("SELECT instance_id, seat_no, route_sequence1, route_sequence2, customer_id FROM seat_matrix "
                      "ORDER BY seat_no")
               + rows("SELECT free_seats, (SELECT count(*) FROM nbk_audit) FROM bus_instance");
    }

    std::unique_ptr<data::Class1> clerk_, chief_;
    std::string why_;  // the last refusal's text
};

TEST_P(Invariants, EveryBreachIsRefusedWithNothingChanged)
{
    const bool embedded = GetParam() == EngineKind::Embedded;
    const QString tooLong(40000, QLatin1Char('x'));
    struct Case {
        const char *what;
        bool supervisor;
        QStringList sql;
        int error;
        int serverError = 0;  // where the server refuses otherwise (0: the same)
    };
    const QString replace = QStringLiteral("REPLACE INTO customer VALUES (501, 70, %1, 'Someone Else', 30, '1', 'M', "
                                           "'A', 'C', 0)")
                                .arg(QLatin1String(kAtA));
    const Case cases[] = {
        {"a seat the bus does not have", false, booking({502, {41}, 1, 2, "A", "C"}), 20005},
        {"seat 0", false, booking({502, {0}, 1, 2, "A", "C"}), 20005},
        {"seat -1", false, booking({502, {-1}, 1, 2, "A", "C"}), 20005},
        {"a stretch past the last stop", false, booking({502, {3}, 2, 4, "B", "D", kAtB}), 20005},
        {"a stretch before the first stop", false, booking({502, {3}, 0, 1, "A", "B"}), 20005},
        {"an origin the seats do not start at", false, booking({502, {3}, 1, 2, "B", "C"}), 20007},
        {"a destination the seats do not end at", false, booking({502, {3}, 1, 2, "A", "D"}), 20007},
        {"a journey the run does not make", false,
         booking({502, {3}, 1, 2, "A", "C", "TO_DATE('07-03-2003 23:50:00','DD-MM-YYYY HH24:MI:SS')"}), 20007},
        {"a name of 40,000 characters", false, booking({502, {3}, 1, 2, "A", "C", kAtA, tooLong}), 12899},
        {"a name with a line break", false, booking({502, {3}, 1, 2, "A", "C", kAtA, QStringLiteral("Ravi\nKumar")}),
         2290},
        {"age 1e400", false, booking({502, {3}, 1, 2, "A", "C", kAtA, QStringLiteral("Ravi"), "1e400"}), 2290},
        {"age NaN", false, booking({502, {3}, 1, 2, "A", "C", kAtA, QStringLiteral("Ravi"), "'NaN'"}), 2290},
        {"a booked passenger renamed", false, {"UPDATE customer SET name = 'Someone Else' WHERE customer_id = 501"}, 20006},
        {"a booked phone, age and gender rewritten", false,
         {"UPDATE customer SET phone = '1', age = 31, gender = 'F' WHERE customer_id = 501"}, 20006},
        {"a booked journey moved", false, {"UPDATE customer SET journey_date = journey_date + 1 WHERE customer_id = 501"},
         20006},
        {"a booked stretch moved", false, {"UPDATE customer SET origin = 'B', destin = 'D' WHERE customer_id = 501"}, 20006},
        {"a seat added to a booking", false,
         {" INSERT INTO seat_matrix VALUES( 70 , 5 ,1 , 2 , 501, 'r' )",
          "UPDATE customer SET fare = fare * 3 / 2 WHERE customer_id = 501",
          "UPDATE BUS_INSTANCE set free_seats=free_seats-1 Where instance_id=70"},
         20006},
        // the customer's own check covers only the seats taken before its update
        {"a seat taken after the fare was set", false,
         booking({502, {3}, 1, 2, "A", "C"})
             << QStringLiteral(" INSERT INTO seat_matrix VALUES( 70 , 4 ,1 , 2 , 502, 'r' )")
             << QStringLiteral("UPDATE BUS_INSTANCE set free_seats=free_seats-1 Where instance_id=70"),
         20004},
        {"the supervisor moving a journey", true,
         {"UPDATE customer SET journey_date = journey_date + 1 WHERE customer_id = 501"}, 20006},
        {"the supervisor's correction too long", true,
         {QStringLiteral("UPDATE customer SET name = '%1' WHERE customer_id = 501").arg(tooLong)}, 12899},
        {"the supervisor moving a seat", true,
         {"UPDATE seat_matrix SET seat_no = 7 WHERE customer_id = 501 AND seat_no = 2"}, 20006, 1031},
        {"a booking replaced under its key", false, {replace}, embedded ? 1 : 0},
    };
    const QString before = state();
    for (const Case &c : cases) {
        if (c.error == 0)
            continue;  // the file's REPLACE only
        SCOPED_TRACE(c.what);
        const int want = !embedded && c.serverError ? c.serverError : c.error;
        EXPECT_EQ(attempt(c.supervisor ? *chief_ : *clerk_, c.sql), want) << why_;
        EXPECT_EQ(state(), before);
    }
}

TEST_P(Invariants, BookingCancellationAndTheSupervisorsCorrectionGoThrough)
{
    auto other = db().login(QStringLiteral("clerk2"));
    EXPECT_EQ(attempt(*other, booking({502, {3, 4}, 2, 3, "B", "D", kAtB})), 0);
    // the supervisor corrects the passenger; the trail keeps the correction
    EXPECT_EQ(attempt(*chief_, {"UPDATE customer SET name = 'Ravi Kumar', phone = '+91 98450 12345', age = 31, "
                                "gender = 'F' WHERE customer_id = 501"}),
              0);
    EXPECT_EQ(rows("SELECT name, phone, age, gender FROM customer WHERE customer_id = 501"),
              "Ravi Kumar|+91 98450 12345|31|F");
    EXPECT_EQ(db().scalar("SELECT count(*) FROM nbk_audit WHERE customer_id = 501 AND table_name = 'customer' "
                          "AND lower(action) = 'update' AND lower(login) = 'chief' AND old_values LIKE '%Ravi%'")
                  .toInt(),
              1);
    // a partial cancellation of one booking and a whole one of the other, as the screen sends them
    EXPECT_EQ(attempt(*clerk_, {" UPDATE CUSTOMER set fare = fare - ( 1* ( select (fare/(select count(*) from "
                                "seat_matrix where customer_id= 501 )    )  from customer where customer_id=501) ) "
                                "where customer_id = 501",
                                "DELETE FROM SEAT_MATRIX  WHERE customer_id =  501 AND seat_no = 2",
                                " UPDATE Bus_instance SET free_seats = free_seats + 1  WHERE INSTANCE_ID = 70"}),
              0);
    EXPECT_EQ(attempt(*clerk_, {"DELETE FROM SEAT_MATRIX  WHERE customer_id =  502",
                                " UPDATE Bus_instance SET free_seats = free_seats + 2  WHERE INSTANCE_ID = 70",
                                "DELETE FROM CUSTOMER WHERE customer_id = 502"}),
              0);
    EXPECT_EQ(rows("SELECT count(*), sum(seat_no) FROM seat_matrix"), "1|1");
}

// What the engine is asked to do decides, not the statement's first words: one statement at
// a time, outside any transaction of the session's, as a SQL tool sends it.
TEST_P(Invariants, StatementsOfAnyShapeMeetTheSameRules)
{
    const bool embedded = GetParam() == EngineKind::Embedded;
    const QString moved = QStringLiteral("REPLACE INTO bus_instance VALUES (70, 7, %1 + 1, 'tt', 0, 'R1', 2, 38)")
                              .arg(QLatin1String(kAtA));
    struct Case {
        const char *what;
        bool supervisor;
        QString sql;
        int fileError;    // 0: not an attack on the file
        int serverError;  // 0: not an attack on the server
    };
    const Case cases[] = {
        {"a fare set to 0 behind a WITH", false,
         "WITH x AS (SELECT 1 FROM dual) UPDATE customer SET fare = 0 WHERE customer_id = 501", 20004, 20004},
        {"a counter 11 off behind a comment", false,
         "/* x */ UPDATE bus_instance SET free_seats = 11 WHERE instance_id = 70", 20002, 20002},
        {"a transaction of the clerk's own", false, "BEGIN", 1031, 0},
        {"an immediate one", false, "BEGIN IMMEDIATE", 1031, 0},
        {"a commit of the clerk's own", false, "COMMIT", 1031, 0},
        {"END", false, "END", 1031, 0},
        {"a savepoint", false, "SAVEPOINT s", 1031, 0},
        {"a booked run replaced a day on", false, moved, 2292, 0},
        {"the supervisor replacing a booked run", true, moved, 2292, 0},
        {"the sequence set back", false, "UPDATE nbk_sequence SET value = 0", 1031, 0},
        {"the sequences emptied", true, "DELETE FROM nbk_sequence", 1031, 0},
        {"the row lock rewritten", false, "DELETE FROM nbk_lock", 1031, 0},
        {"a placeholder under an id the sequence has not given out", false,
         "INSERT INTO customer VALUES (5000, -1, SYSDATE, '**TEMP**', -1, -1, 'x', 'Unkn', 'Unkn', 0)", 20008, 20008},
        {"a run under an id the sequence has not given out", false,
         QStringLiteral("INSERT INTO bus_instance VALUES (20000, 7, %1 + 2, 'tt', 0, 'R1', 2, 40)").arg(QLatin1String(kAtA)),
         20008, 20008},
    };
    const QString sequences = embedded ? rows("SELECT name, value FROM nbk_sequence ORDER BY name") : QString();
    const QString before = state();
    for (const Case &c : cases) {
        const int want = embedded ? c.fileError : c.serverError;
        if (want == 0)
            continue;
        SCOPED_TRACE(c.what);
        data::Class1 &s = c.supervisor ? *chief_ : *clerk_;
        EXPECT_EQ(s.exec(c.sql), want) << s.LastExecError().toStdString();
        EXPECT_EQ(state(), before);
    }
    if (embedded) {
        EXPECT_EQ(rows("SELECT name, value FROM nbk_sequence ORDER BY name"), sequences);
    }
    // the session's own transactions, its draws and its plain statements still work
    EXPECT_GT(clerk_->GetCurrentConnection().query(QStringLiteral("SELECT c_seq.NEXTVAL FROM dual")).value(0).toInt(), 0);
    EXPECT_EQ(clerk_->exec(QStringLiteral("UPDATE bus_instance SET free_seats = free_seats WHERE instance_id = 70")),
              data::kExecOk);
    EXPECT_EQ(attempt(*clerk_, booking({502, {3}, 1, 2, "A", "C"})), 0) << why_;
}

NBK_ALL_ENGINES(Invariants);

}  // namespace
