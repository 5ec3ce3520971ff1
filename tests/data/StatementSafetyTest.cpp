#include "data/Class1.h"
#include "data/DbError.h"
#include "data/Schema.h"
#include "support/MessageScript.h"
#include "support/TestDatabase.h"

using namespace nbk;
using namespace nbk::test;

namespace {

class StatementSafety : public DbTest {};

// A missed quote must never let a second statement run behind the first.
TEST_P(StatementSafety, SecondStatementInOneTextIsRefusedAndNothingRuns)
{
    db().exec({"INSERT INTO test1 VALUES (1, 'kept')"});
    const qint16 r = session().exec(QStringLiteral("SELECT 1 FROM dual; DELETE FROM test1"));
    EXPECT_NE(r, -13);
    if (GetParam() == EngineKind::Postgres)
        EXPECT_EQ(r, 911);
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM test1")).toInt(), 1);
    // a ";" inside a literal, or one that merely ends the statement, is no second statement
    EXPECT_EQ(session().exec(QStringLiteral("INSERT INTO test1 VALUES (2, 'a; DELETE FROM test1')")), -13);
    EXPECT_EQ(session().exec(QStringLiteral("UPDATE test1 SET c_name = 'x' WHERE c_id = 2;")), -13);
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM test1")).toInt(), 2);
}

TEST_P(StatementSafety, DivisionByZeroIsOracleError1476)
{
    for (const char *sql : {"SELECT 1/0 FROM dual", "SELECT 10/(2-2) FROM dual", "SELECT c_id/c_id FROM test1"}) {
        db().exec({"DELETE FROM test1", "INSERT INTO test1 VALUES (0, 'zero')"});
        try {
            session().GetCurrentConnection().query(QString::fromLatin1(sql));
            ADD_FAILURE() << sql << " divided by zero without an error";
        } catch (const data::DbException &e) {
            EXPECT_EQ(e.nativeError(), 1476) << sql << ": " << e.error().description.toStdString();
        }
    }
    EXPECT_DOUBLE_EQ(db().scalar(QStringLiteral("SELECT 7/2 FROM dual")).toDouble(), 3.5);
    EXPECT_DOUBLE_EQ(db().scalar(QStringLiteral("SELECT (60 + 10)/(1440) FROM dual")).toDouble(), 70.0 / 1440);
}

NBK_ALL_ENGINES(StatementSafety);

// A password holding ";" or braces logs in as typed, and its prefix does not.
TEST(ConnectionPassword, SemicolonsAndBracesAreThePasswordsOwn)
{
    MessageScript::begin();
    TestDatabase db(EngineKind::Embedded);
    QString error;
    ASSERT_TRUE(data::schema::setEmbeddedPassword(db.embeddedPath(), QStringLiteral("clerk1"),
                                                  QStringLiteral("a;b}c"), 1000, false, false, &error))
        << error.toStdString();
    ASSERT_TRUE(data::schema::setEmbeddedPassword(db.embeddedPath(), QStringLiteral("clerk2"), QStringLiteral("ab"),
                                                  1000, false, false, &error));
    {
        data::Class1 s;
        EXPECT_EQ(s.ConnectToDataBase(QStringLiteral("clerk1"), QStringLiteral("a;b}c"), db.server()), 2);
        EXPECT_FALSE(s.LastConnectionString().contains(QStringLiteral("a;b}c")));
        EXPECT_TRUE(s.LastConnectionString().endsWith(QStringLiteral("UID=clerk1;PWD=********;")));
    }
    for (const char *wrong : {"a", "a;b", "ab;zz"}) {
        data::Class1 s;
        const QString user = QString::fromLatin1(wrong) == QLatin1String("ab;zz") ? QStringLiteral("clerk2")
                                                                                  : QStringLiteral("clerk1");
        EXPECT_EQ(s.ConnectToDataBase(user, QString::fromLatin1(wrong), db.server()), 0) << wrong;
    }
    MessageScript::end();
}

}  // namespace
