#include "data/dialect/DbError.h"
#include "data/session/Transaction.h"
#include "data/dialect/SqlText.h"
#include "data/engines/SqliteEngine.h"
#include "data/session/Class1.h"
#include "support/TestDatabase.h"

using namespace nbk;
using namespace nbk::test;

namespace {

class Dialect : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        // route A-B-C-D with one run
        db().exec({"INSERT INTO PLACE VALUES('A', 'Aa')", "INSERT INTO PLACE VALUES('B', 'Bb')",
                              "INSERT INTO PLACE VALUES('C', 'Cc')",
                              "INSERT INTO ROUTE VALUES( 7, 'A' , 'C', 3, 250, 1, 5, 300, NULL)",
                              "INSERT INTO bus_instance values( 70, 7, TO_DATE('05-03-2003 23:50:00','DD-MM-YYYY HH24:MI:SS') , 'tt' , 0 , 'R1' , 2 , 40 ) "});
    }
    data::Connection &cn() { return session().GetCurrentConnection(); }
    // What seat rows of run 70 need: its vehicle, and three segments A-B-C-D.
    void seatsOfRun70()
    {
        db().exec({"INSERT INTO PLACE VALUES('D', 'Dd')", "INSERT INTO ROUTE_ELEMENT values(1, 'A', 'B', 100)",
                   "INSERT INTO ROUTE_ELEMENT values(2, 'B', 'C', 150)", "INSERT INTO ROUTE_ELEMENT values(3, 'C', 'D', 50)",
                   "INSERT INTO PATH_ORDER VALUES( 7, 1, 1)", "INSERT INTO PATH_ORDER VALUES( 7, 2, 2)",
                   "INSERT INTO PATH_ORDER VALUES( 7, 3, 3)", "INSERT INTO bus_info VALUES ('R1', 2, 40)"});
    }
};

TEST_P(Dialect, DatesRoundTripThroughToDateAndToChar)
{
    EXPECT_EQ(db().scalar("SELECT To_char(TO_DATE('3-5-2003 9:5:00','mm-dd-yyyy hh24:mi:ss'),"
                          "'mm-dd-yyyy hh24:mi:ss') FROM DUAL").toString(),
              "03-05-2003 09:05:00");
    EXPECT_EQ(db().scalar("select To_char(bi.dep_date,'mm-dd-yyyy hh24:mi:ss') from bus_instance bi").toString(),
              "03-05-2003 23:50:00");
    // a date column read as a value is a date-time, not the stored number
    const QVariant dep = db().scalar("SELECT dep_date FROM bus_instance WHERE instance_id = 70");
    EXPECT_EQ(dep.toDateTime(), QDateTime(QDate(2003, 3, 5), QTime(23, 50)));
}

TEST_P(Dialect, DateArithmeticIsInDaysAndCrossesMidnight)
{
    EXPECT_EQ(db().scalar("SELECT To_char(dep_date + 20/1440, 'DD-MM-YYYY HH24:MI') FROM bus_instance").toString(),
              "06-03-2003 00:10");
    EXPECT_DOUBLE_EQ(db().scalar("SELECT TO_DATE('06-03-2003 11:50:00','DD-MM-YYYY HH24:MI:SS') - dep_date "
                                 "FROM bus_instance")
                         .toDouble(),
                     0.5);
    EXPECT_EQ(db().scalar("SELECT count(*) FROM bus_instance bi WHERE ABS (bi.dep_date - "
                          "TO_DATE( '3-6-2003 10:0:00' ,'mm-dd-yyyy hh24:mi:ss') ) <= 1")
                  .toInt(),
              1);
}

// The date window and NOT IN are sent in forms an index serves; the rows are those the
// statements as written mean, at the window's edges and with NULLs too.
TEST_P(Dialect, IndexableFormsKeepTheirMeaning)
{
    db().exec({"INSERT INTO bus_instance values( 71, 7, TO_DATE('04-03-2003 23:50:00','DD-MM-YYYY HH24:MI:SS') , "
               "'tt' , 0 , 'R2' , 2 , 40 ) ",
               "INSERT INTO bus_instance values( 72, 7, TO_DATE('04-03-2003 23:49:59','DD-MM-YYYY HH24:MI:SS') , "
               "'tt' , 0 , 'R3' , 2 , 40 ) ",
               "INSERT INTO BUS_INFO VALUES('R1', 2, 40)", "INSERT INTO BUS_INFO VALUES('R4', 2, 40)",
               "INSERT INTO BUS_INFO VALUES('R5', 2, 40)"});
    data::Command c;
    c.setActiveConnection(&cn());
    c.setCommandText("SELECT count(*) FROM bus_instance bi WHERE bi.class = ? AND ABS (bi.dep_date - "
                     "TO_DATE( ? ,'dd-mm-yyyy hh24:mi:ss') ) <= 1");
    c.appendParameter("class", data::adtype::Integer, 2);
    c.appendParameter("depdate", data::adtype::VarChar, 30);
    c.setValue(0, 2);
    c.setValue(1, QStringLiteral("05-03-2003 23:50:00"));  // 70 and, a day before to the second, 71
    EXPECT_EQ(c.execute().value(0).toInt(), 2);
    const QString unused = "select registration from bus_info where type = 2 AND registration not in "
                           "(select registration from bus_instance) ";
    EXPECT_EQ(db().query(unused).getRows().rowCount(), 2);  // R4, R5
    // a run without a vehicle: NOT IN finds nothing, as it always has
    db().exec("INSERT INTO bus_instance values( 73, 7, SYSDATE, 'tt', 0, NULL, 2, 40 )");
    EXPECT_EQ(db().query(unused).getRows().rowCount(), 0);
}

TEST_P(Dialect, SequencesNeverHandOutARolledBackValue)
{
    const int first = db().scalar(" SELECT C_seq.NEXTVAL FROM Dual ").toInt();
    data::Transaction txSession(session(), QStringLiteral("the test's work"));
    const data::ResultSet inside = cn().query("SELECT C_seq.NEXTVAL FROM DUAL");
    EXPECT_EQ(inside.value("NEXTVAL").toInt(), first + 1);
    txSession.rollback();
    EXPECT_EQ(cn().query("SELECT C_seq.NEXTVAL FROM DUAL").value("nextval").toInt(), first + 2);
}

// The file runs a write with its values in its text as its shape with parameters (one
// compiled form for all such writes): every value must land as written, and what cannot
// be a parameter keeps its text.
TEST_P(Dialect, WritesWithTheirValuesWrittenInKeepTheirMeaning)
{
    const struct {
        const char *sql;
        int id;
        const char *name;
    } writes[] = {
        {"INSERT INTO test1 VALUES (1, 'O''Brien; DELETE FROM test1')", 1, "O'Brien; DELETE FROM test1"},
        {"INSERT INTO test1 VALUES (2, '?')", 2, "?"},
        {"insert into test1 values (-3, 'three')", -3, "three"},
        {"UPDATE test1 SET c_name = 'two', c_id = c_id + 20 WHERE c_id = 2 AND c_name = '?'", 22, "two"},
        {"UPDATE test1 SET c_name = CAST(c_id * 2 AS VARCHAR(10)) WHERE c_id = -3", -3, "-6"},
        {"DELETE FROM test1 WHERE c_id IN (1, 99) AND c_name LIKE 'O''B%'", 1, nullptr},
    };
    for (const auto &w : writes) {
        EXPECT_EQ(session().exec(QString::fromLatin1(w.sql)), data::kExecOk) << w.sql;
        const QVariant name =
            db().scalar(QStringLiteral("SELECT c_name FROM test1 WHERE c_id = %1").arg(w.id));
        if (w.name)
            EXPECT_EQ(name.toString(), QString::fromLatin1(w.name)) << w.sql;
        else
            EXPECT_FALSE(name.isValid() && !name.isNull()) << w.sql;
    }
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM test1")).toInt(), 2);

    // the shapes themselves: reads, texts with parameters and column numbers stay as written
    QVariantList values;
    EXPECT_EQ(data::SqliteEngine::withParameters(QStringLiteral("UPDATE t SET a = 'x', b = 12 WHERE c = 1.5"), values),
              QStringLiteral("UPDATE t SET a = ?, b = ? WHERE c = 1.5"));
    EXPECT_EQ(values, (QVariantList{QStringLiteral("x"), qlonglong(12)}));
    for (const char *kept : {"SELECT 1 FROM t WHERE a = 'x'", "UPDATE t SET a = ? WHERE b = 1",
                             "INSERT INTO t SELECT 1 FROM u ORDER BY 1", "UPDATE t SET a = ''"})
        EXPECT_TRUE(data::SqliteEngine::withParameters(QString::fromLatin1(kept), values).isEmpty()) << kept;
}

TEST_P(Dialect, DuplicatePlaceIsNativeErrorOne)
{
    EXPECT_EQ(session().exec("INSERT INTO PLACE VALUES('A', 'Again')"), 1);
    EXPECT_EQ(session().exec("INSERT INTO PLACE VALUES('Z', 'Zz')"), -13);
    EXPECT_EQ(session().exec("INSERT INTO NO_SUCH_TABLE VALUES(1)"), 942);
}

TEST_P(Dialect, QuotedTextIsStoredAsTypedAndNeverRewritten)
{
    const QString name = QStringLiteral("Delete Route where D'Souza IN x.y SYSDATE s.NEXTVAL 1/2");
    EXPECT_EQ(session().exec("INSERT INTO PLACE VALUES('Q', '" + data::sqlText(name) + "')"), -13);
    EXPECT_EQ(db().scalar("SELECT full_name FROM place WHERE place = 'Q'").toString(), name);
    EXPECT_EQ(db().scalar("SELECT count(*) FROM route").toInt(), 1);
}

TEST_P(Dialect, OracleFormsRunAsOracleMeansThem)
{
    // DELETE without FROM, x IN alias.column, LIKE with letter case, exact division
    EXPECT_EQ(db().scalar("SELECT (r.km/r.travelmins) FROM route r").toDouble(), 250.0 / 300.0);
    EXPECT_EQ(db().scalar("SELECT 15/1440 FROM DUAL").toDouble(), 15.0 / 1440.0);
    EXPECT_EQ(db().scalar("SELECT count(*) FROM place WHERE full_name LIKE 'a%'").toInt(), 0);
    EXPECT_EQ(db().scalar("SELECT count(*) FROM place WHERE full_name LIKE 'A%'").toInt(), 1);
    EXPECT_EQ(db().scalar("SELECT count(*) FROM place p, (SELECT * FROM route) r WHERE p.place IN r.place1").toInt(), 1);
    EXPECT_EQ(session().exec("Delete Route where route_id = 7"), -13);
    EXPECT_EQ(db().scalar("SELECT count(*) FROM bus_instance").toInt(), 0);  // cascaded
    EXPECT_EQ(session().exec("DELETE route_frequency where route_id = 7"), -13);
    db().exec("DELETE PLACE where place = 'C'");
    EXPECT_EQ(db().scalar("SELECT count(*) FROM place").toInt(), 2);
}

TEST_P(Dialect, SysdateIsNow)
{
    const QDateTime now = db().scalar("SELECT SYSDATE FROM DUAL").toDateTime();
    EXPECT_TRUE(now.isValid() || db().scalar("SELECT To_char(SYSDATE,'YYYY') FROM DUAL").toInt() > 2000);
    EXPECT_EQ(db().scalar("SELECT To_char(SYSDATE,'YYYY') FROM DUAL").toInt(), QDate::currentDate().year());
}

TEST_P(Dialect, SeatRuleRefusesOverlapsOnly)
{
    seatsOfRun70();
    // bare seat rows, never committed: the rule under test refuses at once (their
    // customers made by the same transaction, as a booking makes them)
    data::Transaction txSession(session(), QStringLiteral("the test's work"));
    ASSERT_EQ(session().exec("Insert INTO Customer values ( 1,-1,SYSDATE,'**TEMP**',-1,-1,'x','Unkn','Unkn',0)"), -13);
    ASSERT_EQ(session().exec("Insert INTO Customer values ( 2,-1,SYSDATE,'**TEMP**',-1,-1,'x','Unkn','Unkn',0)"), -13);
    EXPECT_EQ(session().exec("INSERT INTO seat_matrix VALUES( 70 , 3 ,1 , 2 , 1, 'r' )"), -13);  // A->C
    EXPECT_EQ(session().exec("INSERT INTO seat_matrix VALUES( 70 , 3 ,3 , 3 , 2, 'r' )"), -13);  // C->D
    const qint16 refused = session().exec("INSERT INTO seat_matrix VALUES( 70 , 3 ,2 , 3 , 2, 'r' )");
    EXPECT_NE(refused, -13);
    EXPECT_NE(refused, 0);
    EXPECT_EQ(session().exec("INSERT INTO seat_matrix VALUES( 70 , 4 ,2 , 3 , 2, 'r' )"), -13);
}

TEST_P(Dialect, LockHeldElsewhereIsResourceBusy)
{
    db().exec("Insert INTO Customer values ( 5,-1,SYSDATE,'**TEMP**',-1,-1,'x','Unkn','Unkn',0)");
    auto other = db().login(QStringLiteral("clerk1"));
    data::Transaction txOther(*other, QStringLiteral("the test's work"));
    other->GetCurrentConnection().query("SELECT * FROM customer WHERE customer_id = 5 FOR UPDATE NOWAIT");
    data::Transaction txSession(session(), QStringLiteral("the test's work"));
    try {
        cn().query("SELECT * FROM customer WHERE customer_id = 5 FOR UPDATE NOWAIT");
        FAIL() << "the lock was granted twice";
    } catch (const data::DbException &e) {
        EXPECT_EQ(e.error().description.trimmed(),
                  "ORA-00054: resource busy and acquire with NOWAIT specified");
    }
    txSession.rollback();
    txOther.rollback();
}

TEST_P(Dialect, PreparedCommandsTakeTheirParametersAsTheColumnsNeedThem)
{
    db().exec({"INSERT INTO ROUTE_ELEMENT values(1, 'A', 'B', 100)",
                          "INSERT INTO ROUTE_ELEMENT values(2, 'B', 'C', 150)",
                          "INSERT INTO PATH_ORDER VALUES( 7, 1, 1)", "INSERT INTO PATH_ORDER VALUES( 7, 2, 2)",
                          "INSERT INTO bus_info VALUES ('R1', 2, 40)"});
    session().SetupInstanceDetails();
    data::Command &c = session().SQLcmdGetInstanceDetails();
    c.setValue(0, QStringLiteral("A"));
    c.setValue(1, QStringLiteral("C"));
    c.setValue(2, 2);
    c.setValue(3, QStringLiteral("3-6-2003 10:0:00"));  // within a day of the run
    data::ResultSet rs = c.execute();
    ASSERT_EQ(rs.recordCount(), 1);
    EXPECT_EQ(rs.value(0).toInt(), 70);
    EXPECT_EQ(rs.value(3).toInt(), 1);
    EXPECT_EQ(rs.value(4).toInt(), 2);
    EXPECT_EQ(rs.value(5).toString(), "03-05-2003 23:50:00");
    EXPECT_DOUBLE_EQ(rs.value(10).toDouble(), 250.0 / 300.0);
    c.setValue(3, QStringLiteral("3-7-2003 0:0:00"));  // more than a day away
    EXPECT_EQ(c.execute().recordCount(), 0);

    session().SetupGetREID();
    data::Command &r = session().SQLcmdGetREID();
    r.setValue(0, QStringLiteral("B"));
    r.setValue(1, QStringLiteral("C"));
    EXPECT_EQ(r.execute().value(0).toInt(), 2);
    // element ids go out as text where the column holds numbers
    EXPECT_EQ(cn().query("SELECT route_id FROM PATH_ORDER WHERE reid = ? AND sequence_no = ?",
                         {QStringLiteral("2"), 2})
                  .value(0)
                  .toInt(),
              7);
    EXPECT_EQ(data::GetSegmentDistance(7, 2), 100);
    // a date-time bound to a parameter keeps its wall-clock time
    const QDateTime when(QDate(2003, 3, 5), QTime(23, 50));
    EXPECT_EQ(cn().query("SELECT count(*) FROM bus_instance WHERE dep_date = ?", {when}).value(0).toInt(), 1);
}

TEST_P(Dialect, RefusedStatementLeavesTheTransactionUsable)
{
    // the booking tries the next seat inside the same transaction after a refusal
    seatsOfRun70();
    db().exec("Insert INTO Customer values ( 3,-1,SYSDATE,'**TEMP**',-1,-1,'x','Unkn','Unkn',0)");
    db().exec("INSERT INTO seat_matrix VALUES( 70 , 1 ,1 , 2 , 3, 'r' )");
    data::Transaction txSession(session(), QStringLiteral("the test's work"));
    EXPECT_EQ(session().exec("Insert INTO Customer values ( 4,-1,SYSDATE,'**TEMP**',-1,-1,'x','Unkn','Unkn',0)"), -13);
    EXPECT_NE(session().exec("INSERT INTO seat_matrix VALUES( 70 , 1 ,2 , 2 , 4, 'r' )"), -13);
    EXPECT_EQ(session().exec("INSERT INTO PLACE VALUES('A', 'Again')"), 1);
    EXPECT_EQ(session().exec("INSERT INTO seat_matrix VALUES( 70 , 2 ,2 , 2 , 4, 'r' )"), -13);
    EXPECT_EQ(session().exec("UPDATE bus_instance SET free_seats = free_seats - 1 WHERE instance_id = 70"), -13);
    EXPECT_EQ(sessionScalar("SELECT count(*) FROM seat_matrix WHERE customer_id = 4").toInt(), 1);
    EXPECT_EQ(sessionScalar("SELECT free_seats FROM bus_instance").toInt(), 39);
    EXPECT_EQ(sessionScalar("SELECT name FROM customer WHERE customer_id = 4").toString(), "**TEMP**");
    txSession.rollback();
    // and a rolled-back transaction leaves nothing of what ran before the refusal
    txSession = data::Transaction(session(), QStringLiteral("the test's work"));
    EXPECT_EQ(session().exec("Insert INTO Customer values ( 6,-1,SYSDATE,'**TEMP**',-1,-1,'x','Unkn','Unkn',0)"), -13);
    EXPECT_NE(session().exec("INSERT INTO seat_matrix VALUES( 70 , 1 ,1 , 2 , 6, 'r' )"), -13);
    txSession.rollback();
    EXPECT_EQ(db().scalar("SELECT count(*) FROM customer WHERE customer_id = 6").toInt(), 0);
}

TEST_P(Dialect, ViewColumnsKeepTheirNamesAndDatesComeBackAsDates)
{
    db().exec("Insert INTO Customer values ( 8,70,TO_DATE('05-03-2003 23:50:00','DD-MM-YYYY HH24:MI:SS'),"
              "'Ravi',30,9845012345,'M','A','C',120.5)");
    data::ResultSet rs = cn().query("SELECT * FROM vticket WHERE CUSTOMERID = 8");
    ASSERT_EQ(rs.recordCount(), 1);
    EXPECT_EQ(rs.fieldName(0), "CUSTOMERID");
    EXPECT_EQ(rs.fieldName(3), "ORIGIN");
    EXPECT_EQ(rs.value("ORIGIN").toString(), "Aa");
    EXPECT_EQ(rs.value("JOURNEY_DATE").toDateTime(), QDateTime(QDate(2003, 3, 5), QTime(23, 50)));
    EXPECT_DOUBLE_EQ(rs.value("FARE").toDouble(), 120.5);
    EXPECT_EQ(rs.value("PHONE").toString(), "9845012345");
    // a partial cancellation takes a share that need not be whole
    db().exec("UPDATE customer SET fare = fare - 120.5/3 WHERE customer_id = 8");
    EXPECT_NEAR(db().scalar("SELECT fare FROM customer WHERE customer_id = 8").toDouble(), 120.5 * 2 / 3, 1e-9);
}

TEST_P(Dialect, MonthFirstDatesWithoutLeadingZerosAndWrongFields)
{
    EXPECT_EQ(db().scalar("SELECT To_char(TO_DATE('12-31-2003 23:59:00','mm-dd-yyyy hh24:mi:ss') + 1/1440,"
                          "'DD-MM-YYYY HH24:MI:SS') FROM DUAL")
                  .toString(),
              "01-01-2004 00:00:00");
    EXPECT_EQ(db().scalar("SELECT To_char(TO_DATE('01-03-2004 00:00:00','DD-MM-YYYY HH24:MI:SS') - 1,"
                          "'DD-MM-YYYY') FROM DUAL")
                  .toString(),
              "29-02-2004");
    const std::pair<const char *, int> wrong[] = {{"13-5-2003 9:5:00", 1843}, {"3-5-2003 24:5:00", 1850},
                                                  {"3-5-2003 9:60:00", 1851}, {"3-5-2003 9:5:61", 1852},
                                                  {"3-32-2003 9:5:00", 1847},
                                                  {"2-30-2003 10:00:00", 1847},
                                                  {"3-x-2003 10:00:00", 1858}};
    for (const auto &[text, number] : wrong) {
        try {
            cn().query(QStringLiteral("SELECT TO_DATE('%1','mm-dd-yyyy hh24:mi:ss') FROM DUAL").arg(text));
            ADD_FAILURE() << text << " was accepted";
        } catch (const data::DbException &e) {
            EXPECT_EQ(e.nativeError(), number) << text << ": " << e.what();
        }
    }
}

NBK_ALL_ENGINES(Dialect);

}  // namespace
