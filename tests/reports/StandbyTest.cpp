// A primary with a streaming standby of its own (both thrown away at the end): counters
// reach the primary through a host list, every report runs on the read-only standby with
// the seat chart as the primary draws it, and after a failover a new login writes on the
// promoted standby.
#include "data/session/Class1.h"
#include "data/engines/PostgresEngine.h"
#include "reports/BuildSeatChart.h"
#include "support/AdminRunner.h"
#include "support/MessageScript.h"
#include "support/OwnCluster.h"
#include "support/TestDatabase.h"

#include <QElapsedTimer>
#include <memory>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

using namespace nbk;
using namespace nbk::test;

namespace {

std::unique_ptr<data::Class1> login(const QString &server)
{
    auto s = std::make_unique<data::Class1>();
    if (s->ConnectToDataBase(QStringLiteral("clerk1"), QStringLiteral("nb"), server) != 2)
        return nullptr;
    return s;
}

QString scalar(data::Class1 &s, const QString &sql) { return s.GetCurrentConnection().query(sql).value(0).toString(); }

// The chart as the screen would show it: its message, or its header and seat lines.
QStringList chart(data::Class1 &s, const QString &run)
{
    reports::SeatChartOutcome o = reports::buildSeatChart(s, run);
    if (o.message)
        return {o.message->text};
    QStringList lines{o.chart.headerLine};
    for (data::ResultSet &r = o.chart.lines; !r.eof(); r.moveNext())
        lines << r.value(0).toString() + QLatin1Char('|') + r.value(1).toString();
    return lines;
}

TEST(Standby, HostListFindsThePrimaryReportsRunOnTheStandbyAndThePromotedStandbyTakesWrites)
{
    if (TestDatabase::adminUri().isEmpty())
        GTEST_SKIP() << "no PostgreSQL server (NBK_TEST_PG_URI)";
    MessageScript::begin();
    OwnCluster primary, standby;
    ASSERT_TRUE(primary.start(true)) << primary.error.toStdString();
    const data::PostgresUri root = data::PostgresUri::parse(primary.uri());
    ASSERT_EQ(admin({"init", root.withDatabase("nbk")}).code, 0);
    ASSERT_EQ(admin({"useradd", "--database", root.withDatabase("nbk"), "clerk1"}, "nb\n").code, 0);
    ASSERT_TRUE(standby.startStandbyOf(primary)) << standby.error.toStdString();
    const QString p1 = root.port, p2 = data::PostgresUri::parse(standby.uri()).port;
    const QString onStandby = "postgresql://127.0.0.1:" + p2 + "/nbk";
    // the standby is named first: only the primary takes writes
    const QString hosts = "postgresql://127.0.0.1:" + p2 + ",127.0.0.1:" + p1 + "/nbk?target_session_attrs=read-write";

    // a counter books on the primary through the host list, with the client's own screens
    QProcess load;
    load.start(QStringLiteral(NBK_LOAD_PATH), {"--database", hosts, "--user", "postgres", "--password", root.password,
                                               "--sessions", "1", "--seconds", "2"});
    ASSERT_TRUE(load.waitForFinished(300000));
    const QString figures = QString::fromUtf8(load.readAllStandardOutput()).trimmed().split('\n').last();
    ASSERT_EQ(load.exitCode(), 0) << load.readAllStandardError().toStdString();
    EXPECT_TRUE(figures.contains("\"errors\":0")) << figures.toStdString();

    // a ";" in a value keeps the TLS that the parameter after it requires
    auto clerk = login(hosts + "&application_name=a;b&sslmode=require");
    ASSERT_TRUE(clerk) << MessageScript::texts().join('\n').toStdString();
    EXPECT_EQ(scalar(*clerk, "SELECT inet_server_port() FROM dual"), p1);
    EXPECT_EQ(scalar(*clerk, "SELECT ssl FROM pg_stat_ssl WHERE pid = pg_backend_pid()"), "true");
    data::ResultSet booked = clerk->GetCurrentConnection().query(
        "SELECT s.customer_id, s.instance_id, b.bus_id, b.registration FROM seat_matrix s, bus_instance b "
        "WHERE b.instance_id = s.instance_id ORDER BY s.seat_no, s.customer_id");
    ASSERT_FALSE(booked.eof());
    const QString customer = booked.value(0).toString(), run = booked.value(1).toString(),
                  route = booked.value(2).toString(), vehicle = booked.value(3).toString();
    const QStringList drawn = chart(*clerk, run);
    ASSERT_EQ(drawn.size(), 51) << drawn.join('\n').toStdString();
    const QString customers = scalar(*clerk, "SELECT count(*) FROM customer");

    auto reader = login(onStandby);
    ASSERT_TRUE(reader);
    QElapsedTimer t;
    t.start();
    while (scalar(*reader, "SELECT count(*) FROM customer") != customers && t.elapsed() < 60000)
        QThread::msleep(100);
    ASSERT_EQ(scalar(*reader, "SELECT count(*) FROM customer"), customers) << "the standby never caught up";
    EXPECT_TRUE(reader->ReadOnlySession());
    EXPECT_NE(reader->exec(" SELECT C_seq.NEXTVAL FROM Dual "), -13);  // a standby takes no write
    MessageScript::clearShown();
    EXPECT_EQ(chart(*reader, run), drawn);
    EXPECT_TRUE(MessageScript::texts().isEmpty());
    QTemporaryDir dir;
    const QList<QStringList> menu = {{"ticket", customer}, {"instance-tickets", run}, {"seat-matrix", run},
                                     {"route-map", route},  {"accident", vehicle},     {"passenger-list"},
                                     {"time-table"},         {"manifest", run}};
    for (const QStringList &report : menu) {
        const QString pdf = dir.filePath(report[0] + ".pdf");
        const AdminRun r = admin(
            QStringList{"report", "--database", onStandby, "--user", "clerk1", "--password", "nb", "--pdf", pdf} + report);
        EXPECT_EQ(r.code, 0) << report.join(' ').toStdString() << ": " << r.err.toStdString();
        EXPECT_GT(QFileInfo(pdf).size(), 0) << report[0].toStdString();
    }

    // failover: the primary stops at once, and until the standby is promoted no server
    // takes writes (the login dialog comes back without a message)
    clerk.reset();
    reader.reset();
    ASSERT_TRUE(primary.crash()) << primary.error.toStdString();
    data::Class1 waiting;
    EXPECT_EQ(waiting.ConnectToDataBase("clerk1", "nb", hosts), 0);
    EXPECT_TRUE(MessageScript::texts().isEmpty());
    ASSERT_TRUE(standby.promote()) << standby.error.toStdString();
    auto after = login(hosts);
    ASSERT_TRUE(after);
    EXPECT_EQ(scalar(*after, "SELECT inet_server_port() FROM dual"), p2);
    EXPECT_FALSE(after->ReadOnlySession());
    EXPECT_EQ(after->exec(" SELECT C_seq.NEXTVAL FROM Dual "), -13);
    EXPECT_EQ(scalar(*after, "SELECT count(*) FROM customer"), customers);
    MessageScript::end();
}

}  // namespace
