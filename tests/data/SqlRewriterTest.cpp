#include "data/ConnectionString.h"
#include "data/OracleDate.h"
#include "data/SqlRewriter.h"

#include <gtest/gtest.h>

using namespace nbk::data;

namespace {

OracleRewriteRules sqliteLike()
{
    OracleRewriteRules r;
    r.nextval = [](const QString &s) { return QStringLiteral("nv('%1')").arg(s); };
    r.sysdate = QStringLiteral("now()");
    return r;
}

QString rw(const QString &sql) { return rewriteOracleSql(sql, sqliteLike()).sql; }

TEST(SqlRewriter, RewritesTheOracleFormsTheClientSends)
{
    EXPECT_EQ(rw("DELETE PATH_ORDER where route_id = 5"), "DELETE FROM PATH_ORDER where route_id = 5");
    EXPECT_EQ(rw("DELETE FROM SEAT_MATRIX  WHERE customer_id =  3"), "DELETE FROM SEAT_MATRIX  WHERE customer_id =  3");
    EXPECT_EQ(rw("where reid in PO.reid) AND"), "where reid in (PO.reid)) AND");
    EXPECT_EQ(rw("WHERE x IN (SELECT a FROM b)"), "WHERE x IN (SELECT a FROM b)");
    EXPECT_EQ(rw(" SELECT C_seq.NEXTVAL FROM Dual "), " SELECT nv('C_seq') AS NEXTVAL FROM Dual ");
    EXPECT_EQ(rw("INSERT INTO t VALUES (s.NEXTVAL, 1)"), "INSERT INTO t VALUES (nv('s'), 1)");
    EXPECT_EQ(rw("values ( 5,-1,SYSDATE,'x')"), "values ( 5,-1,now(),'x')");
    EXPECT_EQ(rw("(r.travelmins + 10 )/(1440)"), "(r.travelmins + 10.0 )/(1440.0)");
    EXPECT_EQ(rw("a / 2.5"), "a / 2.5");
}

TEST(SqlRewriter, LeavesQuotedTextAndCommentsAlone)
{
    const QString s = "INSERT INTO c VALUES ('Delete Route where x IN a.b SYSDATE s.NEXTVAL 1/2', \"SYSDATE\")";
    EXPECT_EQ(rw(s), s);
    EXPECT_EQ(rw("SELECT 'it''s' FROM dual -- DELETE t WHERE"), "SELECT 'it''s' FROM dual -- DELETE t WHERE");
}

TEST(SqlRewriter, ReportsATrailingForUpdateNowait)
{
    const RewriteResult kept = rewriteOracleSql("SELECT * FROM customer WHERE customer_id = 5 FOR UPDATE NOWAIT", sqliteLike(), true);
    EXPECT_TRUE(kept.forUpdateNowait);
    EXPECT_TRUE(kept.sql.endsWith("FOR UPDATE NOWAIT"));
    const RewriteResult dropped = rewriteOracleSql("SELECT * FROM customer for update nowait", sqliteLike(), false);
    EXPECT_TRUE(dropped.forUpdateNowait);
    EXPECT_EQ(dropped.sql.trimmed(), "SELECT * FROM customer");
    EXPECT_FALSE(rewriteOracleSql("SELECT 'FOR UPDATE NOWAIT' FROM t", sqliteLike()).forUpdateNowait);
}

TEST(OracleDate, ReadsNumbersWithoutLeadingZerosAndChecksRanges)
{
    const auto d = parseOracleDate("3-5-2003 9:5:00", "mm-dd-yyyy hh24:mi:ss");
    ASSERT_TRUE(d);
    EXPECT_EQ(*d, QDateTime(QDate(2003, 3, 5), QTime(9, 5)));
    int n = 0;
    EXPECT_FALSE(parseOracleDate("2-29-2003 10:00:00", "mm-dd-yyyy hh24:mi:ss", &n));
    EXPECT_EQ(n, 1847);
    EXPECT_TRUE(parseOracleDate("2-29-2004 10:00:00", "mm-dd-yyyy hh24:mi:ss"));
    EXPECT_FALSE(parseOracleDate("13-1-2004 10:00:00", "mm-dd-yyyy hh24:mi:ss", &n));
    EXPECT_EQ(n, 1843);
    EXPECT_FALSE(parseOracleDate("1-1-2004 24:00:00", "mm-dd-yyyy hh24:mi:ss", &n));
    EXPECT_EQ(n, 1850);
    EXPECT_FALSE(parseOracleDate("1-x-2004", "mm-dd-yyyy", &n));
    EXPECT_EQ(n, 1858);
}

TEST(OracleDate, FormatsAndKeepsDayNumbersExactToTheSecond)
{
    const QDateTime t(QDate(2003, 3, 5), QTime(14, 7, 9));
    EXPECT_EQ(formatOracleDate(t, "DD-MM-YYYY HH24:MI:SS"), "05-03-2003 14:07:09");
    EXPECT_EQ(formatOracleDate(t, "mm-dd-yyyy hh24:mi:ss"), "03-05-2003 14:07:09");
    EXPECT_EQ(formatOracleDate(t, "DD-MON-YY"), "05-MAR-03");
    // 10:00 plus 200 minutes as a fraction of a day lands on 13:20:00 exactly
    const double days = toDayNumber(QDateTime(QDate(2003, 3, 5), QTime(10, 0))) + 200.0 / 1440.0;
    EXPECT_EQ(fromDayNumber(days), QDateTime(QDate(2003, 3, 5), QTime(13, 20)));
    EXPECT_DOUBLE_EQ(toDayNumber(QDateTime(QDate(1899, 12, 31), QTime(12, 0))), 1.5);
}

TEST(ConnectionStringParse, ReadsBracedDriverAndKeepsValuesAsTyped)
{
    const auto cs = ConnectionString::parse("SERVER=postgresql://h:5/db?x=1;DRIVER={Oracle; ODBC};UID= Chief ;PWD=a=b;");
    EXPECT_EQ(cs.server(), "postgresql://h:5/db?x=1");
    EXPECT_EQ(cs.driver(), "Oracle; ODBC");
    EXPECT_EQ(cs.user(), " Chief ");
    EXPECT_EQ(cs.password(), "a=b");
    EXPECT_TRUE(ConnectionString::parse("DRIVER={Microsoft ODBC For Oracle};UID=chief;PWD=nb;").server().isEmpty());
}

}  // namespace
