#include "WatchdogCommand.h"

#include "data/engines/Engine.h"
#include "data/schema/PostgresSchema.h"
#include "data/schema/ServerAdmin.h"

#include <QElapsedTimer>
#include <QMap>
#include <QTextStream>
#include <QThread>

namespace nbk::admin {

const char *const kWatchdogUsage =
    "  nbk-admin watchdog --database URI [--seconds N] [--statement-seconds S] [--idle-seconds I]\n"
    "                    [--blocking-seconds B]\n"
    "      (ends clerks' sessions over the limits, holding a table lock, or running a statement\n"
    "       that has kept another session waiting B seconds; N: stop after N seconds, 0: never)\n";

namespace {

int usage()
{
    QTextStream(stderr) << "usage:\n" << kWatchdogUsage;
    return 2;
}

}  // namespace

// A clerk may SET statement_timeout = 0 or reset the login's settings: the limits the
// database gives each login are a first line only. The watchdog runs as the owner (a
// superuser or a member of pg_signal_backend), outside any clerk's reach, and ends each
// clerk session (not a supervisor's) whose statement has run past the statement limit,
// or whose transaction has waited idle past the idle limit, once a second: a lock such a
// session holds goes with it. The client takes nothing but row locks, so a clerk holding a
// lock on a whole table is ended at once; and a clerk statement that keeps another session
// waiting is ended after a few seconds, so that the other counters book again well before
// the statement limit. A clerk's transaction left idle at the details screen is honest work
// and keeps the idle limit: it holds the row of its one run. One left idle on which counters
// wait for two rows or more (the first waiter for each row holds that row's tuple lock) is
// not, and is ended at once.
int runWatchdog(const QStringList &args)
{
    QMap<QString, QString> o;
    for (int i = 0; i + 1 < args.size(); i += 2) {
        if (!QStringList{"--database", "--seconds", "--statement-seconds", "--idle-seconds", "--blocking-seconds"}
                 .contains(args[i]))
            return usage();
        o.insert(args[i], args[i + 1]);
    }
    if (args.size() % 2 != 0 || !data::isPostgresUri(o.value(QStringLiteral("--database"))))
        return usage();
    bool ok = true;
    const auto number = [&](const char *key, int fallback) {
        if (!o.contains(QLatin1String(key)))
            return fallback;
        bool good = false;
        const int v = o.value(QLatin1String(key)).toInt(&good);
        ok = ok && good && v >= 0;
        return v;
    };
    // a little past the server's own time-outs, which end an honest session first
    const int seconds = number("--seconds", 0);
    const int statementSeconds = number("--statement-seconds", data::kClerkStatementSeconds + 2);
    const int idleSeconds = number("--idle-seconds", 3 * 60 + 5);
    const int blockingSeconds = number("--blocking-seconds", 2);
    if (!ok)
        return usage();

    data::schema::ServerAdmin a(data::PostgresUri::parse(o.value(QStringLiteral("--database"))), false);
    const QString groups = a.ok() ? a.scalar(QStringLiteral("SELECT clerk || ',' || supervisor FROM nbk_groups"))
                                  : QString();
    if (!a.ok() || groups.isEmpty()) {
        QTextStream(stderr) << "nbk-admin: " << (a.ok() ? QStringLiteral("no nbk_groups: run nbk-admin init") : a.error())
                            << "\n";
        return 1;
    }
    using data::schema::quoteLiteral;
    const QString sweep =
        QStringLiteral(
            "SELECT a.pid, a.usename, a.state, pg_catalog.pg_terminate_backend(a.pid) FROM pg_catalog.pg_stat_activity a "
            "WHERE a.datname = pg_catalog.current_database() AND a.pid <> pg_catalog.pg_backend_pid() "
            "AND pg_catalog.pg_has_role(a.usesysid, %1, 'MEMBER') AND NOT pg_catalog.pg_has_role(a.usesysid, %2, 'MEMBER') "
            "AND ((a.state = 'active' AND a.query_start < pg_catalog.clock_timestamp() - %3 * interval '1 second') "
            "OR (a.state LIKE 'idle in transaction%' AND a.state_change < pg_catalog.clock_timestamp() - %4 * interval '1 second') "
            "OR EXISTS (SELECT 1 FROM pg_catalog.pg_locks l JOIN pg_catalog.pg_class c ON c.oid = l.relation "
            "WHERE l.pid = a.pid AND l.granted AND l.locktype = 'relation' AND c.relpersistence <> 't' "
            "AND l.database = (SELECT oid FROM pg_catalog.pg_database WHERE datname = pg_catalog.current_database()) "
            "AND l.mode IN ('ShareUpdateExclusiveLock', 'ShareLock', 'ShareRowExclusiveLock', 'ExclusiveLock', 'AccessExclusiveLock')) "
            "OR (a.state = 'active' AND EXISTS (SELECT 1 FROM pg_catalog.pg_locks w WHERE NOT w.granted "
            "AND w.waitstart < pg_catalog.clock_timestamp() - %5 * interval '1 second' "
            "AND a.pid = ANY (pg_catalog.pg_blocking_pids(w.pid)))) "
            "OR (a.state LIKE 'idle in transaction%' AND (SELECT count(DISTINCT (t.relation, t.page, t.tuple)) "
            "FROM pg_catalog.pg_locks t WHERE t.locktype = 'tuple' AND t.granted "
            "AND a.pid = ANY (pg_catalog.pg_blocking_pids(t.pid))) >= 2))")
            .arg(quoteLiteral(groups.section(QLatin1Char(','), 0, 0)), quoteLiteral(groups.section(QLatin1Char(','), 1)))
            .arg(statementSeconds)
            .arg(idleSeconds)
            .arg(blockingSeconds);
    QTextStream out(stdout);
    QElapsedTimer t;
    t.start();
    while (seconds == 0 || t.elapsed() < qint64(seconds) * 1000) {
        QSqlQuery q(a.db());
        if (!q.exec(sweep)) {
            QTextStream(stderr) << "nbk-admin: " << q.lastError().databaseText().trimmed() << "\n";
            return 1;
        }
        while (q.next())
            out << "ended session " << q.value(0).toString() << " of " << q.value(1).toString() << " ("
                << q.value(2).toString() << ")\n";
        out.flush();
        QThread::msleep(1000);
    }
    return 0;
}

}  // namespace nbk::admin
