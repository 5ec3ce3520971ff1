#include "data/session/Class1.h"
#include "data/dialect/DbError.h"
#include "data/schema/Schema.h"
#include "data/dialect/SqlText.h"
#include "data/dialect/StatementGuard.h"
#include "support/MessageScript.h"
#include "support/TestDatabase.h"

#include <QSqlQuery>

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
    if (GetParam() == EngineKind::Postgres) {
        EXPECT_EQ(r, 911);
    }
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

// Each hides "delete from test1" in one of PostgreSQL's string forms.
struct GuardCase {
    const char *sql;
    bool backslashEscapes;  // the session reads \' in a plain literal as a quote
    bool second;            // the server runs the delete as a statement of its own
};
const GuardCase kGuardCorpus[] = {
    {R"(select E'\'';delete from test1;select 'x' from dual)", false, true},
    {R"(select e'\\';delete from test1)", false, true},
    {"select E'x'\n'\\'';delete from test1;--'", false, true},  // a continued escape string
    {R"(select 'a\' as x, ';delete from test1; --')", false, false},
    {R"(select 'a\' as x, ';delete from test1; --')", true, true},
    {R"(select N'\'';delete from test1;select 'x' from dual)", true, true},
    {"select $$;delete from test1;$$ from dual", false, false},
    {"select $a$ $$;delete from test1; $a$ from dual", false, false},
    {"select 1 as a$b$;delete from test1", false, true},  // a name, no dollar quote
    {R"(select 1 as "a"";delete from test1;" from dual)", false, false},
    {"select 1 /* /* */ ;delete from test1; */ from dual", false, false},
    {"select 1 /* /* */ ' */;delete from test1 --'", false, true},
    {"select 1 --x\r;delete from test1", false, true},
    {"select 1 from dual -- ;delete from test1", false, false},
    {"select 1 from dual; -- done\n", false, false},
};

TEST(StatementGuard, ReadsEveryStringFormAsTheServerDoes)
{
    for (const GuardCase &c : kGuardCorpus) {
        const bool escapes = c.backslashEscapes;
        EXPECT_EQ(data::holdsMoreThanOneStatement(QString::fromUtf8(c.sql), [escapes] { return escapes; }), c.second)
            << c.sql;
    }
    // a session that cannot tell how it reads backslashes refuses what either reading splits
    EXPECT_TRUE(data::holdsMoreThanOneStatement(QString::fromUtf8(kGuardCorpus[3].sql), [] { return std::nullopt; }));
}

// The corpus against the server itself: what the guard lets through runs as one statement,
// and what it refuses would have run the delete.
TEST_P(StatementSafety, GuardCorpusAgreesWithTheServer)
{
    if (GetParam() != EngineKind::Postgres)
        GTEST_SKIP() << "the embedded engine's driver runs one statement per call itself";
    QSqlQuery raw(session().GetCurrentConnection().database());
    for (const GuardCase &c : kGuardCorpus) {
        const QString sql = QString::fromUtf8(c.sql);
        db().exec({"DELETE FROM test1", "INSERT INTO test1 VALUES (1, 'kept')"});
        raw.exec(QStringLiteral("SET standard_conforming_strings = %1").arg(c.backslashEscapes ? "off" : "on"));
        raw.exec(sql);
        EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM test1")).toInt(), c.second ? 0 : 1) << c.sql;
        db().exec({"DELETE FROM test1", "INSERT INTO test1 VALUES (1, 'kept')"});
        EXPECT_EQ(session().exec(sql), c.second ? 911 : -13) << c.sql;
        EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM test1")).toInt(), 1) << c.sql;
    }
    raw.exec(QStringLiteral("SET standard_conforming_strings = on"));
}

// Typed text of every awkward shape is stored as typed and never refused, also where the
// server's own default reads backslashes as escapes.
TEST_P(StatementSafety, TypedTextIsStoredAsTypedWhateverTheServerDefault)
{
    std::unique_ptr<data::Class1> own;
    data::Class1 *s = &session();
    if (GetParam() == EngineKind::Postgres) {
        db().exec(QStringLiteral("ALTER DATABASE \"%1\" SET standard_conforming_strings = off").arg(db().databaseName()));
        own = db().login();
        s = own.get();
    }
    const QStringList typed = {"x\\", "\\'; delete from test1; --", "$$;$$", "a;b", "/* ; */", "-- ;", "E'\\'",
                               "\"; delete", "O'Brien\\", "\r;\n"};
    for (int i = 0; i < typed.size(); ++i) {
        const QString id = QString::number(i + 1);
        ASSERT_EQ(s->exec("INSERT INTO test1 VALUES (" + id + ", '" + data::sqlText(typed[i]) + "')"), -13)
            << typed[i].toStdString() << ": " << s->LastExecError().toStdString();
        EXPECT_EQ(db().scalar("SELECT c_name FROM test1 WHERE c_id = " + id).toString(), typed[i]);
    }
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
