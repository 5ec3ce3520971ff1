#include "data/schema/Retention.h"

#include "data/engines/PostgresEngine.h"
#include "data/schema/EmbeddedAdmin.h"
#include "data/schema/SchemaVersion.h"
#include "data/schema/ServerAdmin.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace nbk::data::schema {

namespace {

// The statements of one engine: what lies beyond the retention, and how a trail row's
// values lose their name and phone.
struct Words {
    QString wallCutoff;   // the corporation's wall clock less the retention (journey dates)
    QString trailCutoff;  // the trail's clock less the retention
    QString hasPerson;    // %1 (a trail value) still holds a name or a phone
    QString withoutPerson;
    QString record;       // the trail row of the run: %1 its figures as JSON text
};

Words wordsFor(EngineKind engine)
{
    const QString days = QStringLiteral("(SELECT retention_days FROM nbk_settings)");
    if (engine == EngineKind::Sqlite)
        return {QStringLiteral("(nbk_trail_now() - %1)").arg(days),
                QStringLiteral("(julianday('now') - 2415018.5 - %1)").arg(days),
                QStringLiteral("(json_extract(%1, '$.name') IS NOT NULL OR json_extract(%1, '$.phone') IS NOT NULL)"),
                QStringLiteral("json_set(%1, '$.name', NULL, '$.phone', NULL)"),
                QStringLiteral("INSERT INTO nbk_audit (changed_at, txid, login, table_name, action, row_key, "
                               "new_values, application_name) VALUES (julianday(strftime('%Y-%m-%d %H:%M:%S', "
                               "'now')) - 2415018.5, nbk_txid(), nbk_login(), 'nbk_audit', 'ERASE', '', '%1', "
                               "nbk_application())")};
    return {QStringLiteral("(public.nbk_trail_now() - pg_catalog.make_interval(days => %1))").arg(days),
            QStringLiteral("(pg_catalog.now() - pg_catalog.make_interval(days => %1))").arg(days),
            QStringLiteral("((%1)::jsonb ->> 'name' IS NOT NULL OR (%1)::jsonb ->> 'phone' IS NOT NULL)"),
            QStringLiteral("((%1)::jsonb || '{\"name\": null, \"phone\": null}'::jsonb)::text"),
            QStringLiteral("INSERT INTO nbk_audit (table_name, action, row_key, new_values) "
                           "VALUES ('nbk_audit', 'ERASE', '', '%1')")};
}

template <typename Run>
bool erase(const QSqlDatabase &db, EngineKind engine, Run &&run, EraseReport *r)
{
    const Words w = wordsFor(engine);
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT retention_days FROM nbk_settings")) || !q.next()) {
        r->error = QStringLiteral("the database holds no settings (nbk_settings): run nbk-admin upgrade first");
        return false;
    }
    r->retentionDays = q.value(0).toInt();
    q.finish();
    // The bookings whose journey lies beyond the retention, and the cancelled ones (no row
    // left) whose last change does: a scratch table of this transaction.
    const QString scope = engine == EngineKind::Sqlite ? QStringLiteral("CREATE TEMP TABLE nbk_erase_scope AS ")
                                                       : QStringLiteral("CREATE TEMP TABLE nbk_erase_scope ON COMMIT DROP AS ");
    if (!run(QStringLiteral("DROP TABLE IF EXISTS nbk_erase_scope"))
        || !run(scope + QStringLiteral("SELECT c.customer_id FROM customer c WHERE c.journey_date < %1 "
                                       "UNION SELECT a.customer_id FROM nbk_audit a WHERE a.customer_id IS NOT NULL "
                                       "AND NOT EXISTS (SELECT 1 FROM customer c WHERE c.customer_id = a.customer_id) "
                                       "GROUP BY a.customer_id HAVING max(a.changed_at) < %2")
                                .arg(w.wallCutoff, w.trailCutoff)))
        return false;
    const auto rowsChanged = [&](const QString &sql, int *n) {
        QSqlQuery u(db);
        if (!u.exec(sql)) {
            r->error = u.lastError().text();
            return false;
        }
        *n = u.numRowsAffected();
        return true;
    };
    const QString without = QStringLiteral("CASE WHEN %1 IS NULL THEN NULL ELSE %2 END");
    // the bookings first: the trail rows their change writes lose the name too
    if (!rowsChanged(QStringLiteral("UPDATE customer SET name = NULL, phone = NULL WHERE customer_id IN (SELECT "
                                    "customer_id FROM nbk_erase_scope) AND (name IS NOT NULL OR phone IS NOT NULL)"),
                     &r->customers)
        || !rowsChanged(QStringLiteral("UPDATE nbk_audit SET old_values = %1, new_values = %2 WHERE table_name = "
                                       "'customer' AND customer_id IN (SELECT customer_id FROM nbk_erase_scope) "
                                       "AND (%3 OR %4)")
                            .arg(without.arg(QStringLiteral("old_values"), w.withoutPerson.arg(QStringLiteral("old_values"))),
                                 without.arg(QStringLiteral("new_values"), w.withoutPerson.arg(QStringLiteral("new_values"))),
                                 w.hasPerson.arg(QStringLiteral("old_values")), w.hasPerson.arg(QStringLiteral("new_values"))),
                        &r->trailRows))
        return false;
    // what a run erased stays in the trail; a run that found nothing leaves nothing
    if ((r->customers > 0 || r->trailRows > 0)
        && !run(w.record.arg(QStringLiteral("{\"retention_days\": %1, \"bookings\": %2, \"trail_rows\": %3}")
                                 .arg(r->retentionDays)
                                 .arg(r->customers)
                                 .arg(r->trailRows))))
        return false;
    return run(QStringLiteral("DROP TABLE IF EXISTS nbk_erase_scope"));
}

bool eraseEmbedded(const QString &path, EraseReport *r)
{
    if (!QFileInfo(path).isFile()) {
        r->error = QStringLiteral("%1: no such file; give the path of the embedded database").arg(path);
        return false;
    }
    EmbeddedAdmin c(path, false);
    if (!c.ok() || readShape(c.db(), EngineKind::Sqlite).version != kCurrentVersion) {
        r->error = QStringLiteral("%1 is no database of this release (%2): run nbk-admin upgrade first").arg(path, c.error());
        return false;
    }
    const auto run = [&](const QString &sql) { return c.run(sql); };
    if (!c.run(QStringLiteral("BEGIN IMMEDIATE")))
        return r->error = c.error(), false;
    if (!erase(c.db(), EngineKind::Sqlite, run, r) || !c.run(QStringLiteral("COMMIT"))) {
        if (r->error.isEmpty())
            r->error = c.error();
        c.run(QStringLiteral("ROLLBACK"));
        return false;
    }
    return true;
}

bool eraseServer(const QString &uriText, EraseReport *r)
{
    const PostgresUri uri = PostgresUri::parse(uriText);
    if (!uri.valid || uri.database.isEmpty()) {
        r->error = QStringLiteral("give the database owner's postgresql://USER@HOST/DATABASE URI");
        return false;
    }
    ServerAdmin a(uri, false);
    if (!a.ok()) {
        r->error = QStringLiteral("cannot log in to %1 (%2)").arg(uri.database, a.error());
        return false;
    }
    if (!a.exists(QStringLiteral("SELECT 1 FROM pg_catalog.pg_database d WHERE d.datname = pg_catalog.current_database() "
                                 "AND pg_catalog.pg_has_role(current_user, d.datdba, 'MEMBER')"))) {
        r->error = QStringLiteral("%1 is not the owner of database %2: log in as its owner").arg(uri.user, uri.database);
        return false;
    }
    if (readShape(a.db(), EngineKind::Postgres).version != kCurrentVersion) {
        r->error = QStringLiteral("database %1 is of another release: run nbk-admin upgrade first").arg(uri.database);
        return false;
    }
    const auto run = [&](const QString &sql) { return a.run(sql); };
    if (!a.run(QStringLiteral("BEGIN")))
        return r->error = a.error(), false;
    if (!erase(a.db(), EngineKind::Postgres, run, r) || !a.run(QStringLiteral("COMMIT"))) {
        if (r->error.isEmpty())
            r->error = a.error();
        a.run(QStringLiteral("ROLLBACK"));
        return false;
    }
    return true;
}

}  // namespace

bool eraseExpired(const QString &database, EraseReport *report)
{
    return isPostgresUri(database) ? eraseServer(database, report) : eraseEmbedded(database, report);
}

}  // namespace nbk::data::schema
