// nbk-load as its users run it: two clerks for a few seconds on each engine, then the audit.
#include "data/engines/PostgresEngine.h"
#include "data/session/Transaction.h"
#include "support/TestDatabase.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

using namespace nbk;
using namespace nbk::test;

namespace {

struct LoadRun {
    int code = -1;
    QJsonObject figures;
    QString err;
    bool passwordListed = false;  // in the arguments of nbk-load or of one of its sessions
};

// The database and user nbk-load gets: on the server the database's owner, who may write
// the vehicles and runs of the generated network (its sessions log in as a clerk it makes).
// The password goes to standard input.
QStringList target(TestDatabase &db)
{
    if (db.kind() == EngineKind::Embedded)
        return {QStringLiteral("--database"), db.embeddedPath(), QStringLiteral("--user"), QStringLiteral("chief")};
    const data::PostgresUri admin = data::PostgresUri::parse(TestDatabase::adminUri());
    return {QStringLiteral("--database"), db.server(), QStringLiteral("--user"), admin.user};
}

QByteArray password(TestDatabase &db)
{
    return db.kind() == EngineKind::Embedded ? QByteArray("nb")
                                             : data::PostgresUri::parse(TestDatabase::adminUri()).password.toUtf8();
}

QByteArray readProc(qint64 pid, const QString &what)
{
    QFile f(QStringLiteral("/proc/%1/%2").arg(pid).arg(what));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

LoadRun load(const QStringList &args, const QByteArray &secret)
{
    QProcess p;
    p.start(QStringLiteral(NBK_LOAD_PATH), args);
    p.write(secret + '\n');
    p.closeWriteChannel();
    LoadRun r;
    QElapsedTimer t;
    t.start();
    // what any user of the machine can list while the sessions run
    while (!p.waitForFinished(200) && p.state() == QProcess::Running && t.elapsed() < 180000) {
        const qint64 pid = p.processId();
        QList<qint64> pids = {pid};
        for (const QByteArray &c : readProc(pid, QStringLiteral("task/%1/children").arg(pid)).split(' '))
            if (c.toLongLong() > 0)
                pids << c.toLongLong();
        for (qint64 each : pids)
            r.passwordListed = r.passwordListed || readProc(each, QStringLiteral("cmdline")).contains(secret);
    }
    if (p.state() == QProcess::Running) {
        p.kill();
        p.waitForFinished();
    }
    r.code = p.exitCode();
    r.err = QString::fromUtf8(p.readAllStandardError());
    const QList<QByteArray> lines = p.readAllStandardOutput().trimmed().split('\n');
    r.figures = QJsonDocument::fromJson(lines.last()).object();
    return r;
}

class LoadTool : public DbTest {};

TEST_P(LoadTool, TwoClerksForThreeSecondsLeaveACleanDatabase)
{
    // through the screens; then with fare categories and cancellation charges on file, through
    // the screens and through the procedures alone
    const struct {
        QStringList mode;
        bool rules;
    } runs[] = {{{}, false}, {{}, true}, {{"--headless"}, true}};
    for (const auto &[mode, rules] : runs) {
        SCOPED_TRACE(mode.join(' ').toStdString() + (rules ? " with categories and charges" : ""));
        if (rules && db().scalar(QStringLiteral("SELECT count(*) FROM fare_category")).toInt() == 0)
            db().exec({"INSERT INTO fare_category VALUES ('child', 0.5, 5, 12)",
                       "INSERT INTO fare_category VALUES ('senior', 0.6, 60, 120)",
                       "INSERT INTO cancel_slab VALUES (TO_DATE('01-01-2020 00:00:00','DD-MM-YYYY HH24:MI:SS'), 72, 0.1)",
                       "INSERT INTO cancel_slab VALUES (TO_DATE('01-01-2020 00:00:00','DD-MM-YYYY HH24:MI:SS'), 0, 0.5)"});
        const LoadRun r = load(target(db()) + QStringList{"--sessions", "2", "--seconds", "3", "--seed", "7"} + mode,
                               password(db()));
        ASSERT_FALSE(r.figures.isEmpty()) << r.err.toStdString();
        const QStringList keys = {"sessions", "seconds", "bookings", "bookings_per_s", "p50_ms", "p99_ms",
                                  "enquiries", "cancellations", "refusals", "errors", "interrupted", "overlaps",
                                  "counter_mismatches", "temp_rows", "fare_mismatches", "concession_seats",
                                  "charged_cancellations", "concession_mismatches", "charge_mismatches",
                                  "client_cpu_ms_per_booking", "server_cpu_ms_per_booking"};
        QStringList expected = keys;
        expected.sort();
        EXPECT_EQ(r.figures.keys(), expected);
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        // (the server's password is random; the embedded one, nb, is in every path here)
        EXPECT_TRUE(!r.passwordListed || db().kind() == EngineKind::Embedded);
        EXPECT_EQ(r.figures.value("sessions").toInt(), 2);
        EXPECT_GT(r.figures.value("bookings").toInt(), 0) << r.err.toStdString();
        EXPECT_GT(r.figures.value("p99_ms").toDouble(), 0);
        EXPECT_GE(r.figures.value("p99_ms").toDouble(), r.figures.value("p50_ms").toDouble());
        EXPECT_GT(r.figures.value("client_cpu_ms_per_booking").toDouble(), 0);
        // the test cluster runs on this machine; the embedded file has no server
        EXPECT_EQ(r.figures.value("server_cpu_ms_per_booking").isDouble(), db().kind() == EngineKind::Postgres);
        for (const char *k : {"errors", "overlaps", "counter_mismatches", "temp_rows", "fare_mismatches",
                              "concession_mismatches", "charge_mismatches"})
            EXPECT_EQ(r.figures.value(k).toInt(), 0) << k << "\n" << r.err.toStdString();
        // about a third of the seats at a category; every booking sold under the charges
        EXPECT_EQ(r.figures.value("concession_seats").toInt() > 0, rules) << r.err.toStdString();
        EXPECT_EQ(r.figures.value("charged_cancellations").toInt(), rules ? r.figures.value("cancellations").toInt() : 0);
    }
    // what the clerks booked is in the database, under their names
    EXPECT_GT(db().scalar(QStringLiteral("SELECT count(*) FROM customer WHERE name LIKE 'Load Passenger %'")).toInt(), 0);
    if (db().kind() == EngineKind::Postgres) {
        // the sessions booked as a clerk of the database, bound by its rules (the owner is not)
        EXPECT_EQ(db().scalar(QStringLiteral("SELECT string_agg(DISTINCT login, ',') FROM nbk_audit "
                                             "WHERE table_name = 'customer'"))
                      .toString(),
                  db().scalar(QStringLiteral("SELECT current_database() || '_loadclerk'")).toString());
    }

    // a second run reuses the network it made
    const LoadRun again = load(target(db()) + QStringList{"--sessions", "1", "--seconds", "1"}, password(db()));
    EXPECT_EQ(again.code, 0) << again.err.toStdString();
    EXPECT_TRUE(again.err.contains("reused")) << again.err.toStdString();
}

TEST_P(LoadTool, ADatabaseWithANetworkOfItsOwnIsLeftAlone)
{
    seedRouteABCD();
    const LoadRun r = load(target(db()) + QStringList{"--sessions", "1", "--seconds", "1"}, password(db()));
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.contains("network of its own")) << r.err.toStdString();
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM place")).toInt(), 4);
}

TEST_P(LoadTool, AFailedAuditPrintsItsErrorAndNoFigures)
{
    if (db().kind() == EngineKind::Embedded)
        GTEST_SKIP() << "the seat rows are locked from a server session";
    ASSERT_EQ(load(target(db()) + QStringList{"--sessions", "1", "--seconds", "1"}, password(db())).code, 0);
    // another session holds every seat row until the audit has given up on them
    auto holder = db().login();
    data::Transaction txHolder(*holder, QStringLiteral("the test's work"));
    holder->GetCurrentConnection().execute(QStringLiteral("LOCK TABLE seat_matrix"));
    const LoadRun r = load(target(db()) + QStringList{"--sessions", "1", "--seconds", "1", "--mix", "enquire=1"},
                           password(db()));
    txHolder.rollback();
    EXPECT_NE(r.code, 0);
    EXPECT_TRUE(r.figures.isEmpty()) << QJsonDocument(r.figures).toJson().toStdString();
    EXPECT_TRUE(r.err.contains("ORA-00054")) << r.err.toStdString();
}

TEST(LoadToolOptions, AMixWithoutWeightsIsRefused)
{
    QProcess p;
    p.start(QStringLiteral(NBK_LOAD_PATH), {"--database", "x.db", "--user", "u", "--mix", "book=0"});
    p.waitForFinished();
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_TRUE(p.readAllStandardError().contains("usage: nbk-load"));
}

NBK_ALL_ENGINES(LoadTool);

}  // namespace
