#include "data/engines/ConnectionString.h"
#include "data/dialect/OracleDate.h"
#include "data/dialect/SqlRewriter.h"

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

// A dollar-quoted body is one literal to the server: nothing in it is rewritten, and a
// quote or a semicolon in it neither opens a string nor ends the statement.
TEST(SqlRewriter, ADollarQuotedBodyIsLeftAsTheServerReadsIt)
{
    const std::pair<const char *, const char *> cases[] = {
        {"SELECT $$it's SYSDATE$$, SYSDATE FROM t", "SELECT $$it's SYSDATE$$, now() FROM t"},
        {"SELECT $a$ $$ c_seq.NEXTVAL; $a$ FROM t", "SELECT $a$ $$ c_seq.NEXTVAL; $a$ FROM t"},
        {"SELECT $$ never closed SYSDATE", "SELECT $$ never closed SYSDATE"},
        {"SELECT a$$b, SYSDATE FROM t WHERE x = $1", "SELECT a$$b, now() FROM t WHERE x = $1"},
    };
    for (const auto &[in, out] : cases)
        EXPECT_EQ(rewriteOracleSql(in, sqliteLike()).sql, out) << in;
}

TEST(SqlRewriter, InBeforeAColumnIsAListAndNothingElse)
{
    const std::pair<const char *, const char *> cases[] = {
        {"SELECT 1 FROM p, r WHERE p.place IN r.place1", "SELECT 1 FROM p, r WHERE p.place IN (r.place1)"},
        {"SELECT 1 FROM p WHERE p.place IN (SELECT place1 FROM r)", "SELECT 1 FROM p WHERE p.place IN (SELECT place1 FROM r)"},
        {"LOCK TABLE seat_matrix IN ACCESS EXCLUSIVE MODE", "LOCK TABLE seat_matrix IN ACCESS EXCLUSIVE MODE"},
        {" lock table customer in share row exclusive mode nowait", " lock table customer in share row exclusive mode nowait"},
    };
    for (const auto &[in, out] : cases)
        EXPECT_EQ(rewriteOracleSql(in, sqliteLike()).sql, out) << in;
}

TEST(SqlRewriter, DateWindowAndNotInTakeIndexableFormsOnlyWhereTheMeaningIsSure)
{
    const std::pair<const char *, const char *> cases[] = {
        {"SELECT 1 FROM bi WHERE ABS (bi.dep_date - TO_DATE('3-5-2003','mm-dd-yyyy') ) <= 1",
         "SELECT 1 FROM bi WHERE (bi.dep_date BETWEEN (TO_DATE('3-5-2003','mm-dd-yyyy')) - 1 AND "
         "(TO_DATE('3-5-2003','mm-dd-yyyy')) + 1)"},
        {"SELECT 1 FROM t WHERE ABS(a - b) > 1", "SELECT 1 FROM t WHERE ABS(a - b) > 1"},
        {"SELECT 1 FROM t WHERE ABS(a * 2 - b) <= 1", "SELECT 1 FROM t WHERE ABS(a * 2 - b) <= 1"},
        {"SELECT 1 FROM t WHERE ABS(a - b + c) <= 1", "SELECT 1 FROM t WHERE ABS(a - b + c) <= 1"},
        {"SELECT 1 FROM t WHERE ABS(a - b) <= c", "SELECT 1 FROM t WHERE ABS(a - b) <= c"},
        {"select registration from bus_info where type = 2 AND registration not in (select registration from "
         "bus_instance) ",
         "select registration from bus_info where type = 2 AND (NOT EXISTS (SELECT 1 FROM bus_instance nbk_ni "
         "WHERE nbk_ni.registration = bus_info.registration) AND NOT EXISTS (SELECT 1 FROM bus_instance nbk_ni "
         "WHERE nbk_ni.registration IS NULL) AND (bus_info.registration IS NOT NULL OR NOT EXISTS (SELECT 1 FROM "
         "bus_instance nbk_ni))) "},
        {"SELECT a FROM t WHERE a NOT IN (1, 2)", "SELECT a FROM t WHERE a NOT IN (1, 2)"},
        {"SELECT a FROM t WHERE a NOT IN (SELECT a FROM u WHERE b = 1)",
         "SELECT a FROM t WHERE a NOT IN (SELECT a FROM u WHERE b = 1)"},
        {"SELECT a FROM t, u WHERE a NOT IN (SELECT a FROM v)", "SELECT a FROM t, u WHERE a NOT IN (SELECT a FROM v)"},
        {"SELECT 'ABS (a - b) <= 1 NOT IN' FROM t", "SELECT 'ABS (a - b) <= 1 NOT IN' FROM t"},
    };
    for (const auto &[in, out] : cases)
        EXPECT_EQ(rewriteOracleSql(in, sqliteLike()).sql, out) << in;

    // a parameter the window writes twice is bound twice
    const RewriteResult r =
        rewriteOracleSql("SELECT 1 FROM bi WHERE p = ? AND ABS (bi.d - TO_DATE( ? ,'f') ) <= 1 AND q = ?", sqliteLike());
    EXPECT_EQ(r.sql.count(QLatin1Char('?')), 4) << r.sql.toStdString();
    EXPECT_EQ(r.paramOrder, (std::vector<int>{0, 1, 1, 2}));
    EXPECT_TRUE(rewriteOracleSql("SELECT 1 FROM t WHERE a = ?", sqliteLike()).paramOrder.empty());
}

TEST(OracleDate, NonNumericFieldIsItsOwnNumber)
{
    int n = 0;
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
