// nbk-load as its users run it: two clerks for a few seconds on each engine, then the audit.
#include "data/PostgresEngine.h"
#include "support/TestDatabase.h"

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
};

// The database, user and password nbk-load gets: on the server the database's owner,
// who may write the vehicles and runs of the generated network.
QStringList target(TestDatabase &db)
{
    if (db.kind() == EngineKind::Embedded)
        return {QStringLiteral("--database"), db.embeddedPath(), QStringLiteral("--user"), QStringLiteral("chief"),
                QStringLiteral("--password"), QStringLiteral("nb")};
    const data::PostgresUri admin = data::PostgresUri::parse(TestDatabase::adminUri());
    return {QStringLiteral("--database"), db.server(), QStringLiteral("--user"), admin.user,
            QStringLiteral("--password"), admin.password};
}

LoadRun load(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(NBK_LOAD_PATH), args);
    LoadRun r;
    if (!p.waitForFinished(180000)) {
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
    const LoadRun r = load(target(db()) + QStringList{"--sessions", "2", "--seconds", "3", "--seed", "7"});
    ASSERT_FALSE(r.figures.isEmpty()) << r.err.toStdString();
    const QStringList keys = {"sessions", "seconds", "bookings", "bookings_per_s", "p50_ms", "p99_ms",
                              "enquiries", "cancellations", "refusals", "errors", "overlaps",
                              "counter_mismatches", "temp_rows", "fare_mismatches"};
    QStringList expected = keys;
    expected.sort();
    EXPECT_EQ(r.figures.keys(), expected);
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.figures.value("sessions").toInt(), 2);
    EXPECT_GT(r.figures.value("bookings").toInt(), 0) << r.err.toStdString();
    EXPECT_GT(r.figures.value("p99_ms").toDouble(), 0);
    EXPECT_GE(r.figures.value("p99_ms").toDouble(), r.figures.value("p50_ms").toDouble());
    for (const char *k : {"errors", "overlaps", "counter_mismatches", "temp_rows", "fare_mismatches"})
        EXPECT_EQ(r.figures.value(k).toInt(), 0) << k << "\n" << r.err.toStdString();
    // what the clerks booked is in the database, under their names
    EXPECT_GT(db().scalar(QStringLiteral("SELECT count(*) FROM customer WHERE name LIKE 'Load Passenger %'")).toInt(), 0);

    // a second run reuses the network it made
    const LoadRun again = load(target(db()) + QStringList{"--sessions", "1", "--seconds", "1"});
    EXPECT_EQ(again.code, 0) << again.err.toStdString();
    EXPECT_TRUE(again.err.contains("reused")) << again.err.toStdString();
}

TEST_P(LoadTool, ADatabaseWithANetworkOfItsOwnIsLeftAlone)
{
    seedRouteABCD();
    const LoadRun r = load(target(db()) + QStringList{"--sessions", "1", "--seconds", "1"});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.contains("network of its own")) << r.err.toStdString();
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM place")).toInt(), 4);
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
