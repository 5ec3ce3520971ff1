// Faults around a clerk's booking: a counter killed between BookSeats and Ok, and the
// server dropping a session in the middle of a booking.
#include "data/session/Audit.h"
#include "data/session/Transaction.h"
#include "data/engines/PostgresEngine.h"
#include "support/MessageScript.h"
#include "support/TestDatabase.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

using namespace nbk;
using namespace nbk::test;

namespace {

QStringList target(TestDatabase &db)
{
    if (db.kind() == EngineKind::Embedded)
        return {"--database", db.embeddedPath(), "--user", "chief"};
    const data::PostgresUri admin = data::PostgresUri::parse(TestDatabase::adminUri());
    return {"--database", db.server(), "--user", admin.user};
}

// Starts nbk-load and hands it the password on standard input.
void start(QProcess &p, TestDatabase &db, const QStringList &args)
{
    p.start(QStringLiteral(NBK_LOAD_PATH), target(db) + args);
    p.write(db.kind() == EngineKind::Embedded ? QByteArray("nb\n")
                                              : data::PostgresUri::parse(TestDatabase::adminUri()).password.toUtf8() + '\n');
    p.closeWriteChannel();
}

class ClerkFault : public DbTest {};

TEST_P(ClerkFault, KilledBetweenBookSeatsAndOkLeavesNothingAndFreesTheSeatsAtOnce)
{
    // the network, made by a short run
    QProcess make;
    start(make, db(), {"--sessions", "1", "--seconds", "1"});
    ASSERT_TRUE(make.waitForFinished(120000));
    ASSERT_EQ(make.exitCode(), 0) << make.readAllStandardError().toStdString();
    const int customersBefore = db().scalar("SELECT count(*) FROM customer").toInt();

    QProcess clerk;
    start(clerk, db(), {"--clerk", "0", "--seed", "3", "--start", "0", "--deadline", "0", "--hold"});
    QByteArray out;
    QElapsedTimer t;
    t.start();
    while (!out.contains('\n') && t.elapsed() < 60000 && clerk.state() != QProcess::NotRunning) {
        clerk.waitForReadyRead(500);
        out += clerk.readAllStandardOutput();
    }
    const QStringList held = QString::fromUtf8(out).trimmed().split(' ');
    ASSERT_EQ(held.value(0), "HELD") << out.toStdString() << clerk.readAllStandardError().toStdString();
    const int customer = held[1].toInt(), run = held[2].toInt();
    const QStringList seats = held[3].split(',');

    clerk.kill();  // SIGKILL: no rollback, no goodbye
    clerk.waitForFinished(10000);

    // the seats go to the next clerk: a lock the dead counter still held would end each
    // insert with ORA-00054 after the lock time-out
    auto next = db().login(QStringLiteral("clerk2"));
    data::Transaction txNext(*next, QStringLiteral("the test's work"));
    // the booking's id drawn first, as the booking screen draws it
    const qint64 id = next->GetCurrentConnection().query(QStringLiteral("SELECT c_seq.NEXTVAL FROM dual")).value(0).toLongLong();
    ASSERT_EQ(next->exec(QStringLiteral("Insert INTO Customer values ( %1,-1,SYSDATE,'**TEMP**',-1,-1,'x','Unkn','Unkn',0)").arg(id)), -13);
    // over the run's whole route
    const int last = db().scalar(QStringLiteral("SELECT max(po.sequence_no) FROM path_order po, bus_instance bi "
                                                "WHERE bi.instance_id = %1 AND po.route_id = bi.bus_id")
                                     .arg(run))
                         .toInt();
    for (const QString &seat : seats)
        EXPECT_EQ(next->exec(QStringLiteral(" INSERT INTO seat_matrix VALUES( %1 , %2 ,1 , %3 , %4, 'r' )")
                                 .arg(run)
                                 .arg(seat)
                                 .arg(last)
                                 .arg(id)),
                  -13)
            << next->LastExecError().toStdString();
    txNext.rollback();

    EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM customer WHERE customer_id = %1").arg(customer)).toInt(), 0);
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM seat_matrix WHERE customer_id = %1").arg(customer)).toInt(), 0);
    EXPECT_EQ(db().scalar("SELECT count(*) FROM customer").toInt(), customersBefore);
    const data::AuditFigures a = data::auditDatabase(session().GetCurrentConnection());
    EXPECT_TRUE(a.clean()) << a.summary().toStdString();
}

NBK_ALL_ENGINES(ClerkFault);

// The server drops the session (as when it is stopped) while a clerk's booking is open.
class LostServer : public DbTest {
protected:
    void terminate(data::Class1 &victim)
    {
        const int pid = victim.GetCurrentConnection().query("SELECT pg_backend_pid() FROM DUAL").value(0).toInt();
        db().exec(QStringLiteral("SELECT pg_terminate_backend(%1) FROM DUAL").arg(pid));
        // pg_terminate_backend only signals: wait until the backend has gone
        QElapsedTimer t;
        t.start();
        while (db().scalar(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE pid = %1").arg(pid)).toInt() > 0
               && t.elapsed() < 30000)
            QThread::msleep(10);
    }
};

TEST_P(LostServer, TheSessionIsClosedOnceAndALoginStartsAnew)
{
    if (GetParam() != EngineKind::Postgres)
        GTEST_SKIP() << "the embedded file has no server to lose";
    seedRouteABCD();
    auto clerk = db().login(QStringLiteral("clerk1"));
    int told = 0;
    clerk->onConnectionLost = [&](const data::DbError &) { ++told; };
    data::Transaction txClerk(*clerk, QStringLiteral("the test's work"));
    ASSERT_EQ(clerk->exec("Insert INTO Customer values ( 424,-1,SYSDATE,'**TEMP**',-1,-1,'x','Unkn','Unkn',0)"), -13);
    terminate(*clerk);

    EXPECT_EQ(clerk->exec(" INSERT INTO seat_matrix VALUES( 70 , 1 ,1 , 2 , 424, 'r' )"), 3113);
    EXPECT_EQ(told, 1);
    EXPECT_FALSE(clerk->GetConnectStatus());
    EXPECT_FALSE(clerk->IsInTransaction()) << "a booking the server rolled back is no longer pending";
    // later clicks fail and say why, without asking the server again
    EXPECT_EQ(clerk->exec("UPDATE bus_instance SET free_seats = 39 WHERE instance_id = 70"), 3709);
    EXPECT_THROW(clerk->GetCurrentConnection().query("SELECT 1 FROM DUAL"), data::DbException);
    EXPECT_EQ(told, 1);

    EXPECT_EQ(db().scalar("SELECT count(*) FROM customer").toInt(), 0);
    // a new login on the same session works as the first one did
    EXPECT_EQ(clerk->ConnectToDataBase("clerk1", "nb", db().server()), 2);
    EXPECT_EQ(clerk->exec("Insert INTO Customer values ( 425,70,SYSDATE,'Back',30,1,'M','A','B',0)"), -13);
    EXPECT_EQ(db().scalar("SELECT count(*) FROM customer").toInt(), 1);
}

TEST_P(LostServer, ACommitThatFindsTheServerGoneIsAFailureNotASuccess)
{
    if (GetParam() != EngineKind::Postgres)
        GTEST_SKIP() << "the embedded file has no server to lose";
    seedRouteABCD();
    auto clerk = db().login(QStringLiteral("clerk1"));
    data::Transaction txClerk(*clerk, QStringLiteral("the test's work"));
    ASSERT_EQ(clerk->exec("Insert INTO Customer values ( 424,-1,SYSDATE,'**TEMP**',-1,-1,'x','Unkn','Unkn',0)"), -13);
    terminate(*clerk);
    EXPECT_THROW(txClerk.commit(), data::DbException);
    EXPECT_TRUE(clerk->GetCurrentConnection().wasLost());
    EXPECT_FALSE(clerk->GetConnectStatus());
    EXPECT_EQ(db().scalar("SELECT count(*) FROM customer").toInt(), 0);
}

NBK_ALL_ENGINES(LostServer);

}  // namespace
