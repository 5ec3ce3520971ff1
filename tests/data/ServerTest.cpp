// The central server with real, separate connections: races for one seat, a clerk's open
// booking, a counter killed mid-booking, logins, rights, and the admin tool.
#include "data/session/Class1.h"
#include "data/session/Transaction.h"
#include "data/session/Connection.h"
#include "data/engines/PostgresEngine.h"
#include "data/schema/PostgresSchema.h"
#include "support/AdminRunner.h"
#include "support/TestDatabase.h"
#include "support/MessageScript.h"
#include "ui/prompt/Prompt.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <atomic>
#include <latch>
#include <thread>
#include <utility>

using namespace nbk;
using namespace nbk::test;

namespace {

const char *const kHoldServerEnv = "NBK_HOLD_SERVER";

// Route A-B-C-D (segments 1 A-B, 2 B-C, 3 C-D) with one run, id 70, of 40 seats.
void seedRoute(TestDatabase &db)
{
    db.exec({"INSERT INTO PLACE VALUES('A', 'Aa')", "INSERT INTO PLACE VALUES('B', 'Bb')",
                          "INSERT INTO PLACE VALUES('C', 'Cc')", "INSERT INTO PLACE VALUES('D', 'Dd')",
                          "INSERT INTO ROUTE VALUES( 7, 'A' , 'D', 4, 300, 1, 5, 360, NULL)",
                          // stretches of no length: every seat costs the class's base fare
                          "INSERT INTO ROUTE_ELEMENT VALUES(1, 'A', 'B', 0)", "INSERT INTO ROUTE_ELEMENT VALUES(2, 'B', 'C', 0)",
                          "INSERT INTO ROUTE_ELEMENT VALUES(3, 'C', 'D', 0)", "INSERT INTO PATH_ORDER VALUES(7, 1, 1)",
                          "INSERT INTO PATH_ORDER VALUES(7, 2, 2)", "INSERT INTO PATH_ORDER VALUES(7, 3, 3)",
                          "INSERT INTO BUS_INFO VALUES('R1', 2, 40)",
                          "INSERT INTO bus_instance values( 70, 7, TO_DATE('05-03-2003 23:50:00','DD-MM-YYYY HH24:MI:SS') , 'tt' , 0 , 'R1' , 2 , 40 ) "});
}

QString tempCustomer(int id)
{
    return QStringLiteral("Insert INTO Customer values ( %1,-1,SYSDATE,'**TEMP**',-1,-1,'x','Unkn','Unkn',0)").arg(id);
}

// What the booking sends after its seat rows: the counter, then the customer's details,
// travelling where its seats are (the stretch's stops, the run's departure).
void completeBooking(data::Connection &cn, int customer, int seats)
{
    const QString stop = QStringLiteral("(SELECT MIN(re.%1) FROM seat_matrix s, path_order po, route_element re "
                                        "WHERE s.customer_id = %2 AND po.route_id = 7 AND po.sequence_no = "
                                        "s.route_sequence%3 AND re.reid = po.reid)");
    cn.execute(QStringLiteral("UPDATE bus_instance SET free_seats = free_seats - %1 WHERE instance_id = 70").arg(seats));
    cn.execute(QStringLiteral("UPDATE customer SET instance_id = 70, name = 'P', fare = %1 * "
                              "(SELECT base FROM class_type WHERE class = 2), journey_date = (SELECT dep_date FROM "
                              "bus_instance WHERE instance_id = 70), origin = %3, destin = %4 WHERE customer_id = %2")
                   .arg(seats)
                   .arg(customer)
                   .arg(stop.arg(QStringLiteral("place1")).arg(customer).arg(1),
                        stop.arg(QStringLiteral("place2")).arg(customer).arg(2)));
}

QString seatRow(int seat, int s1, int s2, int customer)
{
    return QStringLiteral(" INSERT INTO seat_matrix VALUES( 70 , %1 ,%2 , %3 , %4, 'r' )").arg(seat).arg(s1).arg(s2).arg(customer);
}

class Server : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (TestDatabase::adminUri().isEmpty())
            GTEST_SKIP() << "no PostgreSQL server (NBK_TEST_PG_URI)";
        test::MessageScript::install();
        test::MessageScript::begin();
        db_ = std::make_unique<TestDatabase>(EngineKind::Postgres);
        seedRoute(*db_);
        test::MessageScript::clearShown();
    }
    void TearDown() override
    {
        db_.reset();
        if (test::MessageScript::active())
            test::MessageScript::end();
    }
    TestDatabase &db() { return *db_; }
    QString connectionString(const QString &user) const
    {
        return QStringLiteral("SERVER=") + db_->server() + QStringLiteral(";DRIVER={Oracle ODBC Driver};UID=") + user
               + QStringLiteral(";PWD=nb;");
    }
    int backendsOf(const QString &user)
    {
        return db().scalar(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE datname = '%1' AND usename = '%2'")
                               .arg(db().databaseName(), user))
            .toInt();
    }

    // Two counters, each on its own connection and thread, insert a seat row for the same
    // run and seat at the same moment. Returns the exec results.
    std::pair<int, int> race(int seat, std::pair<int, int> first, std::pair<int, int> second, int round)
    {
        std::latch ready(2);
        int results[2] = {0, 0};
        auto counter = [&](int who, QString user, std::pair<int, int> stretch) {
            data::Connection cn;
            if (!cn.open(connectionString(user))) {
                ready.count_down();
                results[who] = -1000;
                return;
            }
            const int customer = 100 * round + who + 1;
            try {
                cn.beginTrans();
                cn.execute(tempCustomer(customer));
                ready.arrive_and_wait();
                cn.execute(seatRow(seat, stretch.first, stretch.second, customer));
                completeBooking(cn, customer, 1);
                cn.commitTrans();
                results[who] = -13;
            } catch (const data::DbException &e) {
                results[who] = e.nativeError();
                try {
                    cn.rollbackTrans();
                } catch (const data::DbException &) {
                }
            }
        };
        std::thread a(counter, 0, QStringLiteral("clerk1"), first);
        std::thread b(counter, 1, QStringLiteral("clerk2"), second);
        a.join();
        b.join();
        return {results[0], results[1]};
    }

    std::unique_ptr<TestDatabase> db_;
};

TEST_F(Server, TwoCountersRacingForOneSeatGetItOnceUnlessTheStretchesOnlyTouch)
{
    for (int round = 1; round <= 3; ++round) {
        const auto [a, b] = race(round, {1, 2}, {2, 3}, round);  // share segment 2
        EXPECT_TRUE((a == -13) != (b == -13)) << "round " << round << ": " << a << ", " << b;
        // the loser sees the seat rule, the lock time-out, or (both having written their
        // index entries first) a deadlock: each is a refusal the booking treats as taken
        for (int r : {a, b})
            EXPECT_TRUE(r == -13 || r == 20001 || r == 54 || r == 60) << r;
        EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM seat_matrix WHERE seat_no = %1").arg(round)).toInt(), 1);
    }
    const auto [a, b] = race(9, {1, 2}, {3, 3}, 9);  // A->C and C->D
    EXPECT_EQ(a, -13);
    EXPECT_EQ(b, -13);
    EXPECT_EQ(db().scalar("SELECT count(*) FROM seat_matrix WHERE seat_no = 9").toInt(), 2);
}

TEST_F(Server, AnotherClerksOpenBookingIsARefusalAfterAFewSecondsNotAFrozenScreen)
{
    auto first = db().login(QStringLiteral("clerk1"));
    auto second = db().login(QStringLiteral("clerk2"));
    data::Transaction txFirst(*first, QStringLiteral("the test's work"));
    ASSERT_EQ(first->exec(tempCustomer(1)), -13);
    ASSERT_EQ(first->exec(seatRow(5, 1, 2, 1)), -13);  // the clerk is still typing the name
    data::Transaction txSecond(*second, QStringLiteral("the test's work"));
    ASSERT_EQ(second->exec(tempCustomer(2)), -13);
    // a refusal at all is the point: without the session's lock time-out this would wait
    // for the first clerk forever
    EXPECT_EQ(second->exec(seatRow(5, 2, 3, 2)), 54);
    EXPECT_EQ(second->LastExecError(), "ORA-00054: resource busy and acquire with NOWAIT specified");
    // the refusal spoils nothing: the next free seat goes through in the same booking
    EXPECT_EQ(second->exec(seatRow(6, 2, 3, 2)), -13);
    completeBooking(first->GetCurrentConnection(), 1, 1);
    txFirst.commit();
    completeBooking(second->GetCurrentConnection(), 2, 1);
    txSecond.commit();
    EXPECT_EQ(db().scalar("SELECT customer_id FROM seat_matrix WHERE seat_no = 5").toInt(), 1);
    EXPECT_EQ(db().scalar("SELECT customer_id FROM seat_matrix WHERE seat_no = 6").toInt(), 2);
}

// Run as a child process by KilledCounterLeavesNothingBehind: books and never finishes.
TEST(ServerChild, DISABLED_HoldBookingUntilKilled)
{
    data::Connection cn;
    ASSERT_TRUE(cn.open(QStringLiteral("SERVER=") + qEnvironmentVariable(kHoldServerEnv)
                        + QStringLiteral(";DRIVER={Oracle ODBC Driver};UID=clerk1;PWD=nb;")));
    cn.beginTrans();
    cn.execute(tempCustomer(424));
    cn.execute(seatRow(7, 1, 3, 424));
    cn.execute(seatRow(8, 1, 3, 424));
    cn.execute("UPDATE bus_instance SET free_seats = free_seats - 2 WHERE instance_id = 70");
    fputs("HELD\n", stdout);
    fflush(stdout);
    QThread::sleep(120);
}

TEST_F(Server, KilledCounterLeavesNothingBehind)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QLatin1String(kHoldServerEnv), db().server());
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=ServerChild.DISABLED_HoldBookingUntilKilled"),
                 QStringLiteral("--gtest_also_run_disabled_tests")});
    QByteArray out;
    QElapsedTimer t;
    t.start();
    while (!out.contains("HELD") && t.elapsed() < 30000 && child.state() != QProcess::NotRunning) {
        child.waitForReadyRead(1000);
        out += child.readAllStandardOutput();
    }
    ASSERT_TRUE(out.contains("HELD")) << out.toStdString() << child.readAllStandardError().toStdString();
    EXPECT_EQ(backendsOf("clerk1"), 1);
    EXPECT_EQ(db().scalar("SELECT count(*) FROM customer WHERE customer_id = 424").toInt(), 0);

    child.kill();  // SIGKILL: no rollback, no goodbye to the server
    child.waitForFinished(10000);
    t.restart();
    while (backendsOf("clerk1") > 0 && t.elapsed() < 20000)
        QThread::msleep(100);
    EXPECT_EQ(backendsOf("clerk1"), 0) << "the server never noticed the dead counter";
    EXPECT_EQ(db().scalar("SELECT count(*) FROM customer WHERE customer_id = 424").toInt(), 0);
    EXPECT_EQ(db().scalar("SELECT count(*) FROM seat_matrix").toInt(), 0);
    EXPECT_EQ(db().scalar("SELECT free_seats FROM bus_instance WHERE instance_id = 70").toInt(), 40);
    // and the seats are free for the next counter at once
    auto clerk = db().login(QStringLiteral("clerk2"));
    data::Transaction txClerk(*clerk, QStringLiteral("the test's work"));
    EXPECT_EQ(clerk->exec(tempCustomer(5)), -13);
    EXPECT_EQ(clerk->exec(seatRow(7, 1, 3, 5)), -13);
    completeBooking(clerk->GetCurrentConnection(), 5, 1);
    txClerk.commit();
    EXPECT_EQ(db().scalar("SELECT free_seats FROM bus_instance WHERE instance_id = 70").toInt(), 39);
}

TEST_F(Server, ThirdWrongPasswordDeniesTheFourthAttemptWithoutContactingTheServer)
{
    data::Class1 s;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(s.ConnectToDataBase(QStringLiteral("clerk1"), QStringLiteral("wrong"), db().server()), 0);
        EXPECT_EQ(s.DriverIndex(), 1);  // a wrong password never moves on to the next driver
    }
    EXPECT_EQ(test::MessageScript::texts(),
              QStringList({"Incorrect Username/Password", "Incorrect Username/Password", "Incorrect Username/Password"}));
    test::MessageScript::clearShown();
    // the right password now: had the server been asked, it would have let the clerk in
    EXPECT_EQ(s.ConnectToDataBase(QStringLiteral("clerk1"), QStringLiteral("nb"), db().server()), 1);
    EXPECT_EQ(test::MessageScript::texts(), QStringList({"Connection Denied. Your session has been terminated. "}));
    EXPECT_FALSE(s.GetConnectStatus());
    EXPECT_EQ(backendsOf("clerk1"), 0);
}

TEST_F(Server, UnreachableServerFallsThroughTheDriversThenGivesUp)
{
    data::Class1 s;
    const QString nowhere = QStringLiteral("postgresql://127.0.0.1:1/nbk");
    EXPECT_EQ(s.ConnectToDataBase(QStringLiteral("clerk1"), QStringLiteral("nb"), nowhere), 0);
    EXPECT_EQ(s.ConnectToDataBase(QStringLiteral("clerk1"), QStringLiteral("nb"), nowhere), 0);
    EXPECT_TRUE(test::MessageScript::texts().isEmpty());
    EXPECT_EQ(s.ConnectToDataBase(QStringLiteral("clerk1"), QStringLiteral("nb"), nowhere), 1);
    EXPECT_EQ(test::MessageScript::texts(),
              QStringList({"Could not logon to server. Please Contact your supervisor if the problem persists "}));
    // a database that does not exist is no wrong password either
    data::Class1 other;
    data::PostgresUri missing = data::PostgresUri::parse(db().server());
    missing.database = QStringLiteral("no_such_reservation_db");
    EXPECT_EQ(other.ConnectToDataBase(QStringLiteral("clerk1"), QStringLiteral("nb"), missing.toString()), 0);
    EXPECT_EQ(other.FailedLogins(), 0);
    EXPECT_EQ(other.DriverIndex(), 2);
    // nor is a database without the reservation schema
    missing.database = QStringLiteral("postgres");
    EXPECT_EQ(other.ConnectToDataBase(QStringLiteral("clerk1"), QStringLiteral("nb"), missing.toString()), 0);
    EXPECT_EQ(other.FailedLogins(), 0);
    EXPECT_EQ(other.DriverIndex(), 3);
    EXPECT_FALSE(other.GetConnectStatus());
}

// A server that answers and refuses says why: the counter must not hear "no listener".
TEST_F(Server, ARefusedConnectionIsToldByItsReason)
{
    const QString role = QStringLiteral("nbk_refused_%1").arg(QCoreApplication::applicationPid());
    db().exec(QStringLiteral("DROP ROLE IF EXISTS %1").arg(role));
    db().exec(QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD 'nb' CONNECTION LIMIT 0").arg(role));
    data::PostgresUri uri = data::PostgresUri::parse(db().server());
    const struct {
        const char *alter;  // the role's state for this attempt
        const char *database;
        int code;
    } cases[] = {
        {"", nullptr, 2391},                      // its sessions used up
        {"NOLOGIN", nullptr, 1045},               // not allowed to log in
        {"LOGIN CONNECTION LIMIT -1", "no_such_reservation_db", 12514},
    };
    for (const auto &c : cases) {
        if (*c.alter)
            db().exec(QStringLiteral("ALTER ROLE %1 %2").arg(role, QLatin1String(c.alter)));
        data::PostgresUri u = uri;
        if (c.database)
            u.database = QLatin1String(c.database);
        const QString name = QStringLiteral("nbk_refusal_%1").arg(c.code);
        {
            QSqlDatabase conn = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
            data::DbError err;
            EXPECT_FALSE(data::openPostgres(conn, u, role, QStringLiteral("nb"), 5, false, err));
            EXPECT_EQ(err.nativeError, c.code) << err.description.toStdString();
        }
        QSqlDatabase::removeDatabase(name);
    }
    // the login's last word carries the reason
    db().exec(QStringLiteral("ALTER ROLE %1 CONNECTION LIMIT 0").arg(role));
    data::Class1 s;
    for (int attempt = 0; attempt < 3; ++attempt)
        s.ConnectToDataBase(role, QStringLiteral("nb"), db().server());
    ASSERT_EQ(test::MessageScript::texts().size(), 1);
    EXPECT_TRUE(test::MessageScript::texts().front().contains(QLatin1String("\r\nORA-02391: ")));
    db().exec(QStringLiteral("DROP ROLE %1").arg(role));
}

// A clerk who lifts the session's time-outs is ended by the watchdog all the same: a long
// statement holding a row lock, and a transaction left idle with one; the lock goes with
// the session, and the other counters go on.
TEST_F(Server, AClerkWhoLiftsTheTimeOutsIsEndedByTheWatchdog)
{
    data::PostgresUri owner = data::PostgresUri::parse(TestDatabase::adminUri());
    owner.database = db().databaseName();
    QProcess dog;
    dog.start(QStringLiteral(NBK_ADMIN_PATH), {"watchdog", "--database", owner.toString(), "--seconds", "30",
                                               "--statement-seconds", "1", "--idle-seconds", "2"});
    ASSERT_TRUE(dog.waitForStarted());
    auto other = db().login(QStringLiteral("clerk2"));
    const QString lockRun = QStringLiteral("UPDATE bus_instance SET free_seats = free_seats WHERE instance_id = 70");
    for (const bool idle : {false, true}) {
        SCOPED_TRACE(idle ? "idle" : "running");
        auto clerk = db().login(QStringLiteral("clerk1"));
        data::Connection &cn = clerk->GetCurrentConnection();
        EXPECT_EQ(clerk->exec(QStringLiteral("SET statement_timeout = 0")), data::kExecOk) << clerk->LastExecError().toStdString();
        EXPECT_EQ(clerk->exec(QStringLiteral("SET idle_in_transaction_session_timeout = 0")), data::kExecOk);
        QElapsedTimer t;
        t.start();
        cn.beginTrans();
        EXPECT_EQ(clerk->exec(lockRun), data::kExecOk);
        if (idle) {
            while (backendsOf(QStringLiteral("clerk1")) > 0 && t.elapsed() < 20000)
                QThread::msleep(200);
        } else {
            EXPECT_NE(clerk->exec(QStringLiteral("SELECT pg_sleep(60) FROM dual")), data::kExecOk);
        }
        EXPECT_LT(t.elapsed(), 10000);
        EXPECT_EQ(backendsOf(QStringLiteral("clerk1")), 0);
        // the row is free for the next counter
        data::Transaction tx(*other, QStringLiteral("the test's work"));
        EXPECT_EQ(other->exec(lockRun), data::kExecOk) << other->LastExecError().toStdString();
        tx.commit();
    }
    dog.kill();
    dog.waitForFinished();
    EXPECT_TRUE(dog.readAllStandardOutput().contains("ended session")) << dog.readAllStandardError().toStdString();
}

// Whatever the limits, a clerk who locks a whole table, or whose statement keeps another
// counter waiting, is ended within seconds; the other counter books on.
TEST_F(Server, AClerkWhoBlocksTheOtherCountersIsEndedWithinSeconds)
{
    data::PostgresUri owner = data::PostgresUri::parse(TestDatabase::adminUri());
    owner.database = db().databaseName();
    QProcess dog;
    dog.start(QStringLiteral(NBK_ADMIN_PATH), {"watchdog", "--database", owner.toString(), "--seconds", "40",
                                               "--statement-seconds", "60", "--idle-seconds", "60",
                                               "--blocking-seconds", "1"});
    ASSERT_TRUE(dog.waitForStarted());
    auto other = db().login(QStringLiteral("clerk2"));
    const QString lockRun = QStringLiteral("UPDATE bus_instance SET free_seats = free_seats WHERE instance_id = 70");
    // each attack with what the next counter then does
    const std::pair<QString, QString> attacks[] = {
        {QStringLiteral("LOCK TABLE seat_matrix IN EXCLUSIVE MODE"), QStringLiteral("DELETE FROM seat_matrix WHERE 1 = 0")},
        {QStringLiteral("SELECT pg_sleep(60) FROM (SELECT instance_id FROM bus_instance WHERE instance_id = 70 FOR UPDATE) x"),
         lockRun}};
    for (const auto &[attack, victim] : attacks) {
        SCOPED_TRACE(attack.toStdString());
        std::latch locked(1);
        QString refused;
        std::thread hostile([&] {
            bool told = false;
            const auto tell = [&] {
                if (!std::exchange(told, true))
                    locked.count_down();
            };
            data::Connection cn;
            try {
                if (!cn.open(connectionString(QStringLiteral("clerk1"))))
                    throw data::DbException({0, QStringLiteral("no login")});
                cn.beginTrans();
                if (attack.startsWith(QLatin1String("LOCK"))) {
                    cn.execute(attack);
                    tell();
                    QThread::msleep(8000);  // idle, holding the table
                    cn.execute(QStringLiteral("SELECT 1 FROM dual"));
                } else {
                    tell();
                    cn.execute(attack);
                }
            } catch (const data::DbException &e) {
                if (!told)
                    refused = e.error().description;
            }
            tell();
        });
        locked.wait();
        if (!refused.isEmpty()) {
            hostile.join();
            ADD_FAILURE() << "the attack did not start: " << refused.toStdString();
            continue;
        }
        QThread::msleep(300);
        QElapsedTimer t;
        t.start();
        {
            data::Transaction tx(*other, QStringLiteral("the test's work"));
            EXPECT_EQ(other->exec(victim), data::kExecOk) << other->LastExecError().toStdString();
            tx.commit();
        }
        EXPECT_LT(t.elapsed(), 5000);
        hostile.join();
        EXPECT_EQ(backendsOf(QStringLiteral("clerk1")), 0);
    }
    dog.kill();
    dog.waitForFinished();
}

// A booking holds the row of its one run while the clerk types the details, so a clerk's
// transaction left idle on which counters wait for two runs is no booking: it is ended, and
// both counters book; one left idle on a single run keeps the idle limit.
TEST_F(Server, AClerkIdleOnTheRowsOfManyRunsIsEndedOnceTwoRunsWait)
{
    db().exec(QStringLiteral("INSERT INTO bus_instance SELECT 71, bus_id, dep_date + 1, status, stand_id, registration, "
                             "class, free_seats FROM bus_instance WHERE instance_id = 70"));
    data::PostgresUri owner = data::PostgresUri::parse(TestDatabase::adminUri());
    owner.database = db().databaseName();
    QProcess dog;
    dog.start(QStringLiteral(NBK_ADMIN_PATH), {"watchdog", "--database", owner.toString(), "--seconds", "30",
                                               "--statement-seconds", "60", "--idle-seconds", "60"});
    ASSERT_TRUE(dog.waitForStarted());
    for (const QString &held : {QStringLiteral("instance_id = 70"), QStringLiteral("instance_id IN (70, 71)")}) {
        SCOPED_TRACE(held.toStdString());
        const bool many = held.contains(QLatin1String("71"));
        data::Connection idle;
        ASSERT_TRUE(idle.open(connectionString(QStringLiteral("clerk1"))));
        idle.beginTrans();
        idle.query(QStringLiteral("SELECT instance_id FROM bus_instance WHERE %1 FOR UPDATE").arg(held));
        std::atomic<int> booked{0};
        const auto counter = [&](int run) {
            data::Connection cn;
            if (!cn.open(connectionString(QStringLiteral("clerk2"))))
                return;
            try {
                cn.beginTrans();
                cn.execute(QStringLiteral("UPDATE bus_instance SET free_seats = free_seats WHERE instance_id = %1").arg(run));
                cn.commitTrans();
                ++booked;
            } catch (const data::DbException &) {
                try {
                    cn.rollbackTrans();
                } catch (const data::DbException &) {
                }
            }
        };
        std::thread a(counter, 70), b(counter, 71);
        a.join();
        b.join();
        // the single run's counter meets the lock time-out; the other books at once
        EXPECT_EQ(booked, many ? 2 : 1);
        EXPECT_EQ(backendsOf(QStringLiteral("clerk1")), many ? 0 : 1);
        try {
            idle.rollbackTrans();
        } catch (const data::DbException &) {
        }
    }
    dog.kill();
    dog.waitForFinished();
}

// One login's flood of sessions ends at its own limit, by its reason; the other counters
// still log in.
TEST_F(Server, OneLoginsFloodOfSessionsLeavesTheOtherCountersTheirs)
{
    data::PostgresUri owner = data::PostgresUri::parse(TestDatabase::adminUri());
    owner.database = db().databaseName();
    const QString login = QStringLiteral("nbk_flood_%1").arg(QCoreApplication::applicationPid());
    db().exec(QStringLiteral("DROP ROLE IF EXISTS %1").arg(login));
    QString why;
    ASSERT_TRUE(data::schema::createServerRole(owner.toString(), login, QStringLiteral("nb"), false, &why))
        << why.toStdString();
    std::vector<std::unique_ptr<data::Class1>> flood;
    for (int i = 0; i < data::schema::kClerkConnections; ++i)
        flood.push_back(db().login(login));
    data::Class1 more;
    for (int attempt = 0; attempt < 3; ++attempt)
        EXPECT_NE(more.ConnectToDataBase(login, QStringLiteral("nb"), db().server()), 2);
    ASSERT_EQ(test::MessageScript::texts().size(), 1);
    EXPECT_TRUE(test::MessageScript::texts().front().contains(QLatin1String("ORA-02391: ")))
        << test::MessageScript::texts().front().toStdString();
    auto other = db().login(QStringLiteral("clerk2"));
    EXPECT_EQ(other->exec(QStringLiteral("UPDATE bus_instance SET free_seats = free_seats WHERE 1 = 0")), data::kExecOk);
    flood.clear();
    more.CloseConnection();
    db().exec(QStringLiteral("DROP ROLE %1").arg(login));
}

TEST_F(Server, ClerksBookAndReadOnlyTheSupervisorChangesTheRouteNetwork)
{
    auto clerk = db().login(QStringLiteral("CLERK1"));  // user names are not case-sensitive
    auto chief = db().login(QStringLiteral("chief"));
    EXPECT_EQ(clerk->exec("INSERT INTO PLACE VALUES('E', 'Ee')"), 1031);
    EXPECT_EQ(clerk->exec("Delete Route where route_id = 7"), 1031);
    data::Transaction txClerk(*clerk, QStringLiteral("the test's work"));
    EXPECT_EQ(clerk->exec(tempCustomer(11)), -13);
    EXPECT_EQ(clerk->exec(seatRow(1, 1, 1, 11)), -13);
    EXPECT_EQ(clerk->exec("UPDATE bus_instance SET free_seats = 39 WHERE instance_id = 70"), -13);
    txClerk.rollback();
    EXPECT_GE(clerk->GetCurrentConnection().query(" SELECT C_seq.NEXTVAL FROM Dual ").value(0).toInt(), 1001);
    EXPECT_EQ(clerk->GetCurrentConnection().query("SELECT count(*) FROM place").value(0).toInt(), 4);

    EXPECT_EQ(chief->exec("INSERT INTO PLACE VALUES('E', 'Ee')"), -13);
    EXPECT_EQ(chief->exec("INSERT INTO ROUTE_ELEMENT values(4, 'D', 'E', 100)"), -13);
    EXPECT_EQ(chief->exec("INSERT INTO PATH_ORDER VALUES( 7, 4, 4)"), -13);
    EXPECT_EQ(chief->exec("INSERT into Route_Frequency values (7, 8, 60, 5, 0)"), -13);
    EXPECT_EQ(chief->exec("INSERT into service_class values(7, 8, 2)"), -13);
    // deleting the route takes its runs, their seats, path, frequency and classes along
    EXPECT_EQ(chief->exec("Delete Route where route_id = 7"), -13);
    for (const char *table : {"bus_instance", "seat_matrix", "path_order", "route_frequency", "service_class"})
        EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(table))).toInt(), 0) << table;
}

TEST_F(Server, SessionsWaitForLocksAFewSecondsAndKeepProbingTheirCounter)
{
    auto clerk = db().login(QStringLiteral("clerk1"));
    data::Connection &cn = clerk->GetCurrentConnection();
    EXPECT_EQ(cn.query("SHOW lock_timeout").value(0).toString(), "3s");
    EXPECT_EQ(cn.query("SHOW tcp_keepalives_idle").value(0).toString(), "30");
    EXPECT_EQ(cn.query("SHOW tcp_keepalives_count").value(0).toString(), "3");
    EXPECT_EQ(cn.query("SHOW search_path").value(0).toString(), "oracompat, pg_catalog, public");
    // a clerk's statement and idle transaction are bounded; the supervisor's statements are not
    EXPECT_EQ(cn.query("SHOW statement_timeout").value(0).toString(), "15s");
    EXPECT_EQ(cn.query("SHOW idle_in_transaction_session_timeout").value(0).toString(), "3min");
    EXPECT_EQ(db().login()->GetCurrentConnection().query("SHOW statement_timeout").value(0).toString(), "0");
}

// nbk-admin against the server: init, useradd, passwd and sql.
using nbk::test::AdminRun;
using nbk::test::admin;

void serverRun(const QString &uri, const QString &sql)
{
    const QString name = QStringLiteral("nbk_server_test_cleanup");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        data::DbError err;
        ASSERT_TRUE(data::openPostgres(db, data::PostgresUri::parse(uri), QString(), QString(), 10, false, err))
            << err.description.toStdString();
        QSqlQuery q(db);
        EXPECT_TRUE(q.exec(sql)) << q.lastError().text().toStdString();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

TEST(ServerAdmin, InitUseraddPasswdAndSqlOnAServer)
{
    const QString adminUri = TestDatabase::adminUri();
    if (adminUri.isEmpty())
        GTEST_SKIP() << "no PostgreSQL server (NBK_TEST_PG_URI)";
    const data::PostgresUri root = data::PostgresUri::parse(adminUri);
    const QString dbName = QStringLiteral("nbk_admin_test_%1").arg(QCoreApplication::applicationPid());
    const QString role = QStringLiteral("counter_%1").arg(QCoreApplication::applicationPid());
    const QString target = root.withDatabase(dbName);
    data::PostgresUri clerkUri = data::PostgresUri::parse(target);
    clerkUri.user.clear();
    clerkUri.password.clear();
    const QString server = clerkUri.toString();

    const AdminRun init = admin({"init", "--demo", target});
    ASSERT_EQ(init.code, 0) << init.err.toStdString();
    EXPECT_FALSE(init.out.contains(root.password)) << "the administrator's password was printed";
    EXPECT_NE(admin({"init", target}).code, 0);  // never over an existing schema
    const AdminRun add = admin({"useradd", "--database", target, role.toUpper()}, "first pw\n");
    EXPECT_EQ(add.code, 0) << add.err.toStdString();
    AdminRun q = admin({"sql", "--database", server, "--user", role, "--password", "first pw",
                        "SELECT count(*) FROM place", "INSERT INTO PLACE VALUES('Zz', 'Zed')"});
    EXPECT_EQ(q.out.split('\n').value(1), "25") << q.out.toStdString() << q.err.toStdString();
    EXPECT_TRUE(q.err.startsWith("ORA-01031: ")) << q.err.toStdString();  // a clerk
    EXPECT_EQ(admin({"passwd", "--database", target, role}, "second pw\n").code, 0);
    q = admin({"sql", "--database", server, "--user", role, "--password", "first pw", "SELECT 1 FROM DUAL"});
    EXPECT_TRUE(q.err.startsWith("ORA-01017: ")) << q.err.toStdString();
    // an existing name is never taken over: not a clerk made supervisor, not chief
    const AdminRun again = admin({"useradd", "--database", target, "--supervisor", role}, "third pw\n");
    EXPECT_EQ(again.code, 1);
    EXPECT_TRUE(again.err.contains("exists already")) << again.err.toStdString();
    q = admin({"sql", "--database", server, "--user", role, "--password", "second pw",
               "INSERT INTO PLACE VALUES('Zz', 'Zed')"});
    EXPECT_TRUE(q.err.startsWith("ORA-01031: ")) << q.err.toStdString();  // still a clerk
    EXPECT_NE(admin({"passwd", "--database", target, "nobody_at_all"}, "x\n").code, 0);
    // each database lets in its own accounts only
    q = admin({"sql", "--database", server, "--user", "clerk1", "--password", "nb", "SELECT 1 FROM DUAL"});
    EXPECT_NE(q.code, 0);
    EXPECT_TRUE(q.err.contains("permission denied for database")) << q.err.toStdString();
    TestDatabase other(EngineKind::Postgres);
    q = admin({"sql", "--database", other.server(), "--user", role, "--password", "second pw", "SELECT 1 FROM DUAL"});
    EXPECT_TRUE(q.err.contains("permission denied for database")) << q.err.toStdString();

    serverRun(adminUri, QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(dbName));
    serverRun(adminUri, QStringLiteral("DROP ROLE IF EXISTS \"%1\"").arg(role));
}

// No character of the Server text, a user name or a password drops or changes another
// connection parameter, and nbk-admin sql logs in exactly as the login dialog does.
TEST_F(Server, SemicolonsAndBracesInServerUserAndPasswordChangeNoOtherParameter)
{
    const QString target = data::PostgresUri::parse(TestDatabase::adminUri()).withDatabase(db().databaseName());
    const QString role = QStringLiteral("Odd;{Clerk}=%1").arg(QCoreApplication::applicationPid());
    const QString password = QStringLiteral("p;w}d{=x;PWD=nb");
    ASSERT_EQ(admin({"useradd", "--database", target, role}, (password + "\n").toUtf8()).code, 0);
    const QString base = db().server();
    const QString afterSemicolon = base + "?application_name=a;b&options=-c%20work_mem%3D2345kB";
    struct Case {
        QString server, user, password;
        qint16 result;
    };
    const Case cases[] = {
        {afterSemicolon, "clerk1", "nb", 2},
        {base, role, password, 2},
        {base, "clerk1;PWD=nb", "wrong", 0},
        {base, "clerk1", "nb;PWD=wrong", 0},
        {base, "clerk1", "{nb}", 0},
        // Qt's driver would turn this ";" into a blank: refused rather than changed
        {base + "?sslrootcert=/etc/a;b", "clerk1", "nb", 0},
    };
    for (const Case &c : cases) {
        data::Class1 s;
        EXPECT_EQ(s.ConnectToDataBase(c.user, c.password, c.server), c.result) << (c.server + " " + c.user).toStdString();
        if (c.server == afterSemicolon && s.GetConnectStatus()) {
            EXPECT_EQ(s.GetCurrentConnection().query("SHOW work_mem").value(0).toString(), "2345kB");
        }
    }
    EXPECT_EQ(admin({"sql", "--database", base, "--user", role, "--password", password, "SELECT 1 FROM DUAL"}).code, 0);
    const AdminRun injected =
        admin({"sql", "--database", base, "--user", "clerk1;PWD=nb", "--password", "wrong", "SELECT 1 FROM DUAL"});
    EXPECT_TRUE(injected.err.startsWith("ORA-01017: ")) << injected.err.toStdString();
    const QString quoted = QLatin1Char('"') + role.toLower() + QLatin1Char('"');
    db().exec("DROP OWNED BY " + quoted);
    db().exec("DROP ROLE " + quoted);
}

}  // namespace
