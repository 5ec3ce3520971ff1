// Backup of the embedded file (and, with NBK_TEST_PG_URI, of a server database) with many
// customers, and the booking rate of a clerk's session while a backup runs against the rate
// without one.
//   NBK_BENCH_CUSTOMERS=N   customers in the database (20,000 by default; 1000000 for the
//                           full size); the embedded file is kept under the build folder
//                           and reused by later runs
//   NBK_BENCH_TINY=1        a small database and few bookings: the tests' smoke run
#include "data/schema/Backup.h"
#include "data/session/Class1.h"
#include "data/engines/Engine.h"
#include "data/engines/PostgresEngine.h"
#include "data/schema/PostgresSchema.h"
#include "data/schema/ServerAdmin.h"
#include "data/schema/Schema.h"
#include "data/schema/SchemaVersion.h"
#include "data/engines/SqliteEngine.h"
#include "data/session/Transaction.h"
#include "data/session/Audit.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <thread>

using namespace nbk;

namespace {

const bool kTiny = !qEnvironmentVariableIsEmpty("NBK_BENCH_TINY");
const int kCustomers = kTiny ? 2000 : qEnvironmentVariableIntValue("NBK_BENCH_CUSTOMERS") > 0
                                          ? qEnvironmentVariableIntValue("NBK_BENCH_CUSTOMERS")
                                          : 20000;
const int kBookings = kTiny ? 5 : 200;
const int kRuns = 1000;  // 40 seats each: room for every booking of every repetition

// per shape of the schema (not only its version, which a shape in the making keeps): a file
// of another one is refused at the login
QString cachePath()
{
    const QByteArray shape = data::schema::embeddedSchemaStatements().join(QLatin1Char('\n')).toUtf8();
    return QStringLiteral(NBK_BENCH_CACHE_DIR "/backup-%1-v%2-%3.db")
        .arg(kCustomers)
        .arg(data::schema::kCurrentVersion)
        .arg(QString::fromLatin1(QCryptographicHash::hash(shape, QCryptographicHash::Sha1).toHex().left(12)));
}

bool rawExec(QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    if (q.exec(sql))
        return true;
    std::fprintf(stderr, "%s: %s\n", qPrintable(sql.left(80)), qPrintable(q.lastError().text()));
    return false;
}

// The database: one route, runs with free seats, kCustomers passengers (with their audit
// rows, as a real file has them), loaded in one transaction. Made once per size.
bool makeEmbedded(const QString &path)
{
    if (QFile::exists(path))
        return true;
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QString building = path + QStringLiteral(".building");
    for (const char *s : {"", "-wal", "-shm"})
        QFile::remove(building + QLatin1String(s));
    data::schema::InitOptions o;
    o.kdfIterations = 1000;
    QString error;
    if (!data::schema::createEmbeddedDatabase(building, o, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    QElapsedTimer t;
    t.start();
    bool ok;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench_load"));
        db.setDatabaseName(building);
        ok = db.open() && data::SqliteEngine::configure(db, &error);
        const QStringList setup = {
            "BEGIN",
            "INSERT INTO place VALUES ('A', 'Aa'), ('B', 'Bb')",
            "INSERT INTO route_element VALUES (1, 'A', 'B', 40)",
            "INSERT INTO route VALUES (7, 'A', 'B', 2, 40, 1, 5, 80, NULL)",
            "INSERT INTO path_order VALUES (7, 1, 1)",
            "INSERT INTO bus_info VALUES ('R1', 2, 40)",
            QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                           "INSERT INTO bus_instance SELECT 1000 + i, 7, julianday('2003-03-05 23:50:00') + i, 'tt', 0, "
                           "'R1', 2, 40 FROM n")
                .arg(kRuns),
            QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                           "INSERT INTO customer SELECT i, 1001, julianday('2003-03-05 23:50:00'), "
                           "'Passenger ' || i, 20 + i % 60, '98450' || (10000 + i % 90000), "
                           "CASE i % 2 WHEN 0 THEN 'M' ELSE 'F' END, 'A', 'B', 0 FROM n")
                .arg(kCustomers),
            // the clerks' bookings draw their ids after these
            "UPDATE nbk_sequence SET value = (SELECT max(customer_id) FROM customer) WHERE name = 'c_seq'",
            "COMMIT"};
        for (const QString &s : setup)
            ok = ok && rawExec(db, s);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench_load"));
    std::fprintf(stderr, "embedded database of %d customers made in %.1f s\n", kCustomers, t.elapsed() / 1000.0);
    return ok && QFile::rename(building, path);
}

// A working copy of the cached file, so that bookings never change the cache.
struct Workspace {
    QTemporaryDir dir;
    QString db;
    std::unique_ptr<data::Class1> clerk;
    int fare = 0;
    int booked = 0;
};
Workspace *ws = nullptr;

void book(data::Class1 &s, int k)
{
    const int run = 1001 + k / 40, seat = 1 + k % 40;
    data::Transaction tx(s, QStringLiteral("the benchmark's booking"));
    // a clerk's booking takes an id its sequence gave out, as the booking screen does
    const int customer = s.GetCurrentConnection().query(QStringLiteral("SELECT C_seq.NEXTVAL FROM Dual")).value(0).toInt();
    for (const QString &q :
         {QStringLiteral("Insert INTO Customer values ( %1,-1,SYSDATE,'**TEMP**',-1,-1,'x','Unkn','Unkn',0)").arg(customer),
          QStringLiteral(" INSERT INTO seat_matrix VALUES( %1 , %2 ,1 , 1 , %3, 'r' )").arg(run).arg(seat).arg(customer),
          QStringLiteral("UPDATE BUS_INSTANCE set free_seats=free_seats-1 Where instance_id=%1").arg(run),
          QStringLiteral("UPDATE Customer set Instance_ID =%1, Name = 'Bench Mark' , age=35, phone='1', gender='M' , "
                         "origin='A' , destin='B', fare=%2, Journey_date=(SELECT dep_date FROM bus_instance WHERE "
                         "instance_id = %1) where customer_ID = %3")
              .arg(run)
              .arg(ws->fare)
              .arg(customer)})
        if (s.exec(q) != -13) {
            std::fprintf(stderr, "the benchmark's booking failed: %s\n", qPrintable(s.LastExecError()));
            std::abort();
        }
    tx.commit();
}

void EmbeddedBackup(benchmark::State &state)
{
    for (auto _ : state) {
        const QString target = ws->dir.filePath(QStringLiteral("copy.db"));
        QFile::remove(target);
        QElapsedTimer t;
        t.start();
        QString error;
        if (!data::backup::backupEmbedded(ws->db, target, {}, &error)) {
            state.SkipWithError(qPrintable(error));
            return;
        }
        state.SetIterationTime(t.nsecsElapsed() / 1e9);
        state.counters["MB"] = QFileInfo(target).size() / 1e6;
        QFile::remove(target);
    }
}

// kBookings bookings in a row; with a backup, another thread copies the file over and over
// meanwhile (each copy a fresh one, as a scheduled backup would be).
void Booking(benchmark::State &state, bool duringBackup)
{
    for (auto _ : state) {
        std::atomic<bool> stop{false};
        std::atomic<int> copies{0};
        std::thread backup;
        if (duringBackup)
            backup = std::thread([&] {
                const QString target = ws->dir.filePath(QStringLiteral("running-copy.db"));
                while (!stop) {
                    QFile::remove(target);
                    QString error;
                    if (data::backup::backupEmbedded(ws->db, target, {}, &error))
                        ++copies;
                }
                QFile::remove(target);
            });
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < kBookings; ++i)
            book(*ws->clerk, ws->booked++);
        const double seconds = t.nsecsElapsed() / 1e9;
        stop = true;
        if (backup.joinable())
            backup.join();
        state.SetIterationTime(seconds);
        state.counters["bookings_per_s"] = kBookings / seconds;
        state.counters["copies"] = copies.load();
    }
}

// The server: the same passengers in a database of its own, dumped with its roles.
void ServerBackup(benchmark::State &state, const QString &uri)
{
    QTemporaryDir dir;
    for (auto _ : state) {
        const QString target = dir.filePath(QStringLiteral("server.backup"));
        QFile::remove(target);
        QElapsedTimer t;
        t.start();
        QStringList notes;
        QString error;
        if (!data::backup::backupServer(uri, target, &notes, &error)) {
            state.SkipWithError(qPrintable(error));
            return;
        }
        state.SetIterationTime(t.nsecsElapsed() / 1e9);
        state.counters["MB"] = QFileInfo(target).size() / 1e6;
    }
}

void dropServer(const QString &adminUri, const QString &uri)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("bench_drop"));
    data::DbError err;
    if (data::openPostgres(db, data::PostgresUri::parse(adminUri), QString(), QString(), 10, false, err)) {
        const auto g = data::schema::serverGroupsFor(data::PostgresUri::parse(uri).database);
        rawExec(db, QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)")
                        .arg(data::schema::quoteIdent(data::PostgresUri::parse(uri).database)));
        rawExec(db, QStringLiteral("DROP ROLE IF EXISTS %1, %2")
                        .arg(data::schema::quoteIdent(g.supervisor), data::schema::quoteIdent(g.clerk)));
    }
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("bench_drop"));
}

QString makeServer(const QString &adminUri)
{
    const QString name = QStringLiteral("nbk_bench_backup_%1").arg(kCustomers);
    const QString uri = data::PostgresUri::parse(adminUri).withDatabase(name);
    QString error;
    data::schema::InitOptions o;
    dropServer(adminUri, uri);  // one left by a run that was stopped
    if (!data::schema::createServerDatabase(uri, o, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return QString();
    }
    QElapsedTimer t;
    t.start();
    bool ok;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("bench_server"));
        data::DbError err;
        ok = data::openPostgres(db, data::PostgresUri::parse(uri), QString(), QString(), 10, false, err);
        for (const QString &s : QStringList{
                 "INSERT INTO place VALUES ('A', 'Aa'), ('B', 'Bb')",
                 "INSERT INTO route_element VALUES (1, 'A', 'B', 40)",
                 "INSERT INTO route VALUES (7, 'A', 'B', 2, 40, 1, 5, 80, NULL)",
                 "INSERT INTO bus_info VALUES ('R1', 2, 40)",
                 "INSERT INTO bus_instance VALUES (1001, 7, '2003-03-05 23:50', 'tt', 0, 'R1', 2, 40)",
                 QStringLiteral("INSERT INTO customer SELECT i, 1001, '2003-03-05 23:50', 'Passenger ' || i, 20 + i % 60, "
                                "'98450' || (10000 + i % 90000), CASE i % 2 WHEN 0 THEN 'M' ELSE 'F' END, 'A', 'B', 0 "
                                "FROM generate_series(1, %1) i")
                     .arg(kCustomers)})
            ok = ok && rawExec(db, s);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench_server"));
    std::fprintf(stderr, "server database of %d customers made in %.1f s\n", kCustomers, t.elapsed() / 1000.0);
    return ok ? uri : QString();
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (!makeEmbedded(cachePath()))
        return 1;
    Workspace w;
    ws = &w;
    w.db = w.dir.filePath(QStringLiteral("bench.db"));
    {
        // the cache itself is never booked on
        QString error;
        if (!data::backup::restoreEmbedded(cachePath(), w.db, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
    }
    data::setEmbeddedDatabasePath(w.db);
    w.clerk = std::make_unique<data::Class1>();
    if (w.clerk->ConnectToDataBase(QLatin1String(data::schema::kClerks[0]),
                                   QLatin1String(data::schema::kDefaultPassword), QString())
        != 2)
        return 1;
    {
        data::ResultSet f = w.clerk->GetCurrentConnection().query(
            "SELECT f.multiplier, ct.multiplier, ct.base FROM fuel_index f, class_type ct WHERE f.fpi = 1 AND ct.class = 2");
        w.fare = data::seatFare(40, f.value(0).toDouble(), f.value(1).toDouble(), f.value(2).toDouble());
    }
    const QString customers = QStringLiteral("/customers:%1").arg(kCustomers);
    benchmark::RegisterBenchmark(qPrintable("EmbeddedBackup" + customers), EmbeddedBackup)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(qPrintable("EmbeddedBooking/alone" + customers), [](benchmark::State &s) { Booking(s, false); })
        ->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(qPrintable("EmbeddedBooking/during_backup" + customers), [](benchmark::State &s) { Booking(s, true); })
        ->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

    const QString adminUri = qEnvironmentVariable("NBK_TEST_PG_URI");
    QString server;
    if (!adminUri.isEmpty()) {
        server = makeServer(adminUri);
        if (server.isEmpty())
            return 1;
        benchmark::RegisterBenchmark(qPrintable("ServerBackup" + customers), [server](benchmark::State &s) { ServerBackup(s, server); })
            ->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    w.clerk.reset();
    if (!server.isEmpty())
        dropServer(adminUri, server);
    return 0;
}
