// What the schema's versions cost: the check every login makes (version, rules, rights),
// and nbk-admin upgrade of a first-release database holding many customers, on the
// embedded file and (with NBK_TEST_PG_URI) on the server.
//   NBK_BENCH_CUSTOMERS=N  customers added to the first-release fixture (20,000 by
//                          default; 1000000 for the figures in the README)
//   NBK_BENCH_TINY=1       a few customers, each case once: the smoke run of the tests
#include "data/engines/PostgresEngine.h"
#include "data/engines/SqliteEngine.h"
#include "data/schema/PostgresSchema.h"
#include "data/schema/Schema.h"
#include "data/schema/SchemaVersion.h"
#include "data/schema/Upgrade.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>

using namespace nbk;
namespace schema = nbk::data::schema;

namespace {

const bool kTiny = !qEnvironmentVariableIsEmpty("NBK_BENCH_TINY");
const int kCustomers = kTiny ? 500
                             : (qEnvironmentVariableIntValue("NBK_BENCH_CUSTOMERS") > 0
                                    ? qEnvironmentVariableIntValue("NBK_BENCH_CUSTOMERS")
                                    : 20000);
const QString kFixtures = QStringLiteral(NBK_FIXTURES_DIR);
QTemporaryDir *workDir = nullptr;

QString serverAdmin() { return qEnvironmentVariable("NBK_TEST_PG_URI"); }

void fail(benchmark::State &state, const QString &why)
{
    state.SkipWithError(why.toStdString().c_str());
}

bool psql(const QString &uri, const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral("psql"), QStringList{QStringLiteral("-q"), QStringLiteral("-X"), uri} + args);
    p.waitForFinished(-1);
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// ---- the login's check ----------------------------------------------------------------

void LoginCheck_Embedded(benchmark::State &state)
{
    const QString path = workDir->filePath(QStringLiteral("check.db"));
    QString error;
    if (!QFile::exists(path) && !schema::createEmbeddedDatabase(path, schema::InitOptions{true}, &error))
        return fail(state, error);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
        db.setDatabaseName(path);
        if (!db.open() || !data::SqliteEngine::configure(db, &error))
            return fail(state, error);
        for (auto _ : state) {
            const schema::OpenCheck c = schema::checkDatabase(db, schema::EngineKind::Sqlite);
            if (c.verdict != schema::OpenCheck::Ready)
                return fail(state, c.message);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("check"));
}
BENCHMARK(LoginCheck_Embedded)->Unit(benchmark::kMillisecond)->Repetitions(kTiny ? 1 : 5)->ReportAggregatesOnly(true);

void LoginCheck_Server(benchmark::State &state)
{
    if (serverAdmin().isEmpty())
        return fail(state, QStringLiteral("no NBK_TEST_PG_URI"));
    const QString uri = data::PostgresUri::parse(serverAdmin()).withDatabase(QStringLiteral("nbk_bench_check"));
    QString error;
    psql(serverAdmin(), {QStringLiteral("-c"), QStringLiteral("DROP DATABASE IF EXISTS nbk_bench_check WITH (FORCE)")});
    if (!schema::createServerDatabase(uri, schema::InitOptions{true}, &error))
        return fail(state, error);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("check_server"));
        data::DbError err;
        if (!data::openPostgres(db, data::PostgresUri::parse(uri), QString(), QString(), 10, true, err))
            return fail(state, err.description);
        for (auto _ : state) {
            const schema::OpenCheck c = schema::checkDatabase(db, schema::EngineKind::Postgres);
            if (c.verdict != schema::OpenCheck::Ready)
                return fail(state, c.message);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("check_server"));
    psql(serverAdmin(), {QStringLiteral("-c"), QStringLiteral("DROP DATABASE IF EXISTS nbk_bench_check WITH (FORCE)")});
}
BENCHMARK(LoginCheck_Server)->Unit(benchmark::kMillisecond)->Repetitions(kTiny ? 1 : 5)->ReportAggregatesOnly(true);

// ---- upgrade of a first-release database ----------------------------------------------

// Customers as the first release stored them (phones as numbers), on the fixture's run.
QString moreCustomers(bool server)
{
    return server ? QStringLiteral("INSERT INTO customer SELECT 2000000 + g, 10002, "
                                   "timestamp '2026-11-21 09:00', 'Passenger ' || g, 30 + g % 40, 9800000000 + g, "
                                   "'M', 'Bang', 'Myso', 0 FROM generate_series(1, %1) g")
                        .arg(kCustomers)
                  : QStringLiteral("WITH RECURSIVE g(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM g WHERE n < %1) "
                                   "INSERT INTO customer SELECT 2000000 + n, 10002, 46347.375, 'Passenger ' || n, "
                                   "30 + n % 40, 9800000000 + n, 'M', 'Bang', 'Myso', 0 FROM g")
                        .arg(kCustomers);
}

void Upgrade_Embedded(benchmark::State &state)
{
    // the grown first-release file, made once and copied for every run
    const QString grown = workDir->filePath(QStringLiteral("v1-grown.db"));
    if (!QFile::exists(grown)) {
        QFile::copy(kFixtures + QStringLiteral("/v1/nbk.db"), grown);
        QFile::setPermissions(grown, QFile::ReadOwner | QFile::WriteOwner);
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("grow"));
        db.setDatabaseName(grown);
        if (!db.open())
            return fail(state, db.lastError().text());
        QSqlQuery q(db);
        if (!q.exec(moreCustomers(false)))
            return fail(state, q.lastError().text());
        q.finish();
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("grow"));
    }
    const QString path = workDir->filePath(QStringLiteral("v1-upgrade.db"));
    for (auto _ : state) {
        state.PauseTiming();
        for (const char *suffix : {"", "-wal", "-shm"})
            QFile::remove(path + QLatin1String(suffix));
        QFile::copy(grown, path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        state.ResumeTiming();
        schema::UpgradeReport r;
        if (!schema::upgradeEmbedded(path, &r))
            return fail(state, r.error);
    }
    state.counters["customers"] = kCustomers;
}
BENCHMARK(Upgrade_Embedded)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(kTiny ? 1 : 3)->ReportAggregatesOnly(true);

void Upgrade_Server(benchmark::State &state)
{
    if (serverAdmin().isEmpty())
        return fail(state, QStringLiteral("no NBK_TEST_PG_URI"));
    const QString folder = kFixtures + QStringLiteral("/v1/");
    const QString db = QStringLiteral("nbk_bench_fx1");
    const QString uri = data::PostgresUri::parse(serverAdmin()).withDatabase(db);
    for (auto _ : state) {
        state.PauseTiming();
        psql(serverAdmin(), {QStringLiteral("-c"), QStringLiteral("DROP DATABASE IF EXISTS nbk_bench_fx1 WITH (FORCE)")});
        psql(serverAdmin(), {QStringLiteral("-f"), folder + QStringLiteral("roles.sql")});
        if (!psql(serverAdmin(), {QStringLiteral("-c"), QStringLiteral("CREATE DATABASE nbk_bench_fx1 OWNER nbk_fx1_owner")})
            || !psql(uri, {QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-f"),
                           folder + QStringLiteral("server.sql")})
            || !psql(uri, {QStringLiteral("-c"), moreCustomers(true)}))
            return fail(state, QStringLiteral("cannot restore the first-release fixture"));
        state.ResumeTiming();
        schema::UpgradeReport r;
        if (!schema::upgradeServer(uri, &r))
            return fail(state, r.error);
    }
    psql(serverAdmin(), {QStringLiteral("-c"), QStringLiteral("DROP DATABASE IF EXISTS nbk_bench_fx1 WITH (FORCE)")});
    state.counters["customers"] = kCustomers;
}
BENCHMARK(Upgrade_Server)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(kTiny ? 1 : 3)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    workDir = &dir;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
