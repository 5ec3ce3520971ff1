#include "data/engines/Engine.h"
#include "data/session/Transaction.h"
#include "support/TestDatabase.h"
#include "support/MessageScript.h"
#include "ui/MsgBox.h"

#include <QTemporaryDir>

using namespace nbk;
using namespace nbk::test;

namespace {

class Session : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        test::MessageScript::install();
    }
    int rows(int id)
    {
        return db().scalar(QStringLiteral("SELECT count(*) FROM test1 WHERE c_id = %1").arg(id)).toInt();
    }
};
NBK_ALL_ENGINES(Session);

TEST_P(Session, ExecReportsSuccessAsMinus13AndFailuresByNumber)
{
    EXPECT_EQ(session().exec(QStringLiteral("INSERT INTO PLACE VALUES('KTM', 'Kathmandu')")), -13);
    EXPECT_EQ(session().exec(QStringLiteral("INSERT INTO PLACE VALUES('KTM', 'Kathmandu')")), 1);
    EXPECT_NE(session().exec(QStringLiteral("SELEKT nothing")), -13);
    EXPECT_TRUE(test::MessageScript::shown().empty());
}

TEST_P(Session, OneTaskHoldsTheTransactionAndOnlyItsCommitCommits)
{
    data::Transaction first(session(), QStringLiteral("the first task"));
    ASSERT_TRUE(first.isOpen());
    ASSERT_EQ(session().exec(QStringLiteral("INSERT INTO test1 VALUES (1, 'one')")), -13);
    // a second task is refused and ends nothing of the first
    {
        data::Transaction second(session(), QStringLiteral("the second task"));
        EXPECT_FALSE(second.isOpen());
        EXPECT_EQ(second.refusal(), data::pendingWorkMessage(QStringLiteral("the first task")));
    }
    EXPECT_TRUE(first.isOpen());
    EXPECT_EQ(rows(1), 0) << "visible before the commit";
    first.commit();
    EXPECT_FALSE(session().IsInTransaction());
    EXPECT_EQ(rows(1), 1);
    // committed once: a second commit is an error, never a silent success
    EXPECT_THROW(first.commit(), data::DbException);
}

TEST_P(Session, RollBackUndoesTheTransactionAndAbandoningIsHarmlessWithoutOne)
{
    EXPECT_NO_THROW(session().AbandonAllWork());
    EXPECT_FALSE(session().IsInTransaction());

    {
        data::Transaction tx(session(), QStringLiteral("a task that gives up"));
        ASSERT_EQ(session().exec(QStringLiteral("INSERT INTO test1 VALUES (2, 'two')")), -13);
    }  // destroyed unfinished: rolled back
    EXPECT_FALSE(session().IsInTransaction());
    EXPECT_EQ(rows(2), 0);
    // the shell's abandoning ends whatever task holds it, and that task knows
    data::Transaction held(session(), QStringLiteral("a task the shell abandons"));
    ASSERT_EQ(session().exec(QStringLiteral("INSERT INTO test1 VALUES (5, 'five')")), -13);
    session().AbandonAllWork();
    EXPECT_FALSE(held.isOpen());
    EXPECT_EQ(rows(5), 0);
    // work after the rollback is not part of any transaction
    ASSERT_EQ(session().exec(QStringLiteral("INSERT INTO test1 VALUES (3, 'three')")), -13);
    EXPECT_EQ(rows(3), 1);
}

TEST_P(Session, DestroyingTheSessionRollsBackItsTransaction)
{
    auto s = db().login(QStringLiteral("clerk1"));
    data::Transaction tx(*s, QStringLiteral("a task of a session that ends"));
    ASSERT_EQ(s->exec(QStringLiteral("INSERT INTO test1 VALUES (4, 'four')")), -13);
    s.reset();
    EXPECT_EQ(rows(4), 0);
    EXPECT_FALSE(tx.isOpen());
}

// Runs without a reachable database: the embedded file is missing.
class UnreachableServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = data::embeddedDatabasePath();
        data::setEmbeddedDatabasePath(dir_.filePath(QStringLiteral("missing.db")));
        test::MessageScript::install();
        test::MessageScript::begin();
    }
    void TearDown() override
    {
        test::MessageScript::end();
        data::setEmbeddedDatabasePath(saved_);
    }
    QTemporaryDir dir_;
    QString saved_;
};

TEST_F(UnreachableServer, EachDriverIsTriedOnceThenLogonFails)
{
    data::Class1 s;
    EXPECT_EQ(s.ConnectToDataBase(QStringLiteral("chief"), QStringLiteral("nb"), QString()), 0);
    EXPECT_TRUE(s.LastConnectionString().startsWith("DRIVER={Microsoft ODBC For Oracle};"))
        << s.LastConnectionString().toStdString();
    EXPECT_EQ(s.LastConnectionString(), "DRIVER={Microsoft ODBC For Oracle};UID=chief;PWD=********;");
    EXPECT_EQ(s.DriverIndex(), 2);
    EXPECT_EQ(s.ConnectToDataBase(QStringLiteral("chief"), QStringLiteral("nb"), QString()), 0);
    EXPECT_EQ(s.LastConnectionString(), "DRIVER={Oracle ODBC Driver};UID=chief;PWD=********;");
    EXPECT_EQ(s.DriverIndex(), 3);
    EXPECT_TRUE(test::MessageScript::shown().empty());

    EXPECT_EQ(s.ConnectToDataBase(QStringLiteral("chief"), QStringLiteral("nb"), QStringLiteral("db1")), 1);
    EXPECT_EQ(s.LastConnectionString(), "SERVER=db1;DRIVER={SQL Server};UID=chief;PWD=********;");
    EXPECT_EQ(s.DriverIndex(), 3);
    ASSERT_EQ(test::MessageScript::shown().size(), 1u);
    const test::ShownMessage &m = test::MessageScript::shown().front();
    EXPECT_EQ(m.text, "Could not logon to server. Please Contact your supervisor if the problem persists ");
    EXPECT_EQ(m.title, " Error");
    EXPECT_EQ(m.icon(), mb::Critical);
    EXPECT_FALSE(s.LoginDenied()) << "an unreachable server is no wrong password";
}

TEST_F(UnreachableServer, WrongPasswordAfterADriverChangeKeepsTheDriver)
{
    data::Class1 s;
    EXPECT_EQ(s.ConnectToDataBase(QStringLiteral("chief"), QStringLiteral("nb"), QString()), 0);
    ASSERT_EQ(s.DriverIndex(), 2);

    TestDatabase db(EngineKind::Embedded);
    EXPECT_EQ(s.ConnectToDataBase(QStringLiteral("chief"), QStringLiteral("xx"), db.server()), 0);
    EXPECT_EQ(s.DriverIndex(), 2);
    EXPECT_EQ(s.FailedLogins(), 1);
    EXPECT_EQ(s.ConnectToDataBase(QStringLiteral("chief"), QStringLiteral("nb"), db.server()), 2);
    EXPECT_TRUE(s.LastConnectionString().startsWith("DRIVER={Oracle ODBC Driver};"));
    EXPECT_EQ(test::MessageScript::texts(), QStringList{"Incorrect Username/Password"});
}

}  // namespace
