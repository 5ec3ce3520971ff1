#include "data/DbError.h"
#include "data/SqlText.h"
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
        for (const char *s : {"INSERT INTO PLACE VALUES('A', 'Aa')", "INSERT INTO PLACE VALUES('B', 'Bb')",
                              "INSERT INTO PLACE VALUES('C', 'Cc')",
                              "INSERT INTO ROUTE VALUES( 7, 'A' , 'C', 3, 250, 1, 5, 300 )",
                              "INSERT INTO bus_instance values( 70, 7, TO_DATE('05-03-2003 23:50:00','DD-MM-YYYY HH24:MI:SS') , 'tt' , 0 , 'R1' , 2 , 40 ) "})
            db().exec(QString::fromLatin1(s));
    }
    data::Connection &cn() { return session().GetCurrentConnection(); }
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

TEST_P(Dialect, InvalidDatesCarryOracleNumbers)
{
    try {
        cn().query("SELECT TO_DATE('2-30-2003 10:00:00','mm-dd-yyyy hh24:mi:ss') FROM DUAL");
        FAIL() << "30 February was accepted";
    } catch (const data::DbException &e) {
        EXPECT_EQ(e.nativeError(), 1847);
    }
}

TEST_P(Dialect, SequencesNeverHandOutARolledBackValue)
{
    const int first = db().scalar(" SELECT C_seq.NEXTVAL FROM Dual ").toInt();
    session().BeginTransaction();
    const data::ResultSet inside = cn().query("SELECT C_seq.NEXTVAL FROM DUAL");
    EXPECT_EQ(inside.value("NEXTVAL").toInt(), first + 1);
    session().RollBackTransaction();
    EXPECT_EQ(cn().query("SELECT C_seq.NEXTVAL FROM DUAL").value("nextval").toInt(), first + 2);
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
    EXPECT_EQ(session().exec("DELETE PLACE where place = 'C'"), -13);
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
    db().exec("Insert INTO Customer values ( 1,-1,SYSDATE,'**TEMP**',-1,-1,'x','Unkn','Unkn',0)");
    db().exec("Insert INTO Customer values ( 2,-1,SYSDATE,'**TEMP**',-1,-1,'x','Unkn','Unkn',0)");
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
    other->BeginTransaction();
    other->GetCurrentConnection().query("SELECT * FROM customer WHERE customer_id = 5 FOR UPDATE NOWAIT");
    session().BeginTransaction();
    try {
        cn().query("SELECT * FROM customer WHERE customer_id = 5 FOR UPDATE NOWAIT");
        FAIL() << "the lock was granted twice";
    } catch (const data::DbException &e) {
        EXPECT_EQ(e.error().description.trimmed(),
                  "ORA-00054: resource busy and acquire with NOWAIT specified");
    }
    session().RollBackTransaction();
    other->RollBackTransaction();
}

NBK_ALL_ENGINES(Dialect);

}  // namespace
