// Upgrades in place: one step per version, each in its own transaction, from the shape a
// release left to the next. The steps keep the historical shapes they produce written out
// (the definition describes only the current one); the last step makes the rules, views
// and rights anew from the current definition.
#include "data/schema/Upgrade.h"

#include "data/dialect/PostgresDialect.h"
#include "data/engines/Engine.h"
#include "data/engines/PostgresEngine.h"
#include "data/definition/Definition.h"
#include "data/schema/EmbeddedAdmin.h"
#include "data/schema/PostgresSchema.h"
#include "data/schema/Schema.h"
#include "data/schema/SchemaVersion.h"
#include "data/schema/ServerAdmin.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <functional>

namespace nbk::data::schema {

namespace {

// The early release's cluster-wide groups, shared by every database it made.
const char *const kEarlyClerkGroup = "nbk_clerk";
const char *const kEarlySupervisorGroup = "nbk_supervisor";

QStringList rows(const QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    QStringList out;
    if (q.exec(sql))
        while (q.next())
            out << q.value(0).toString();
    return out;
}

QString ifNotExists(QString createIndex)
{
    return createIndex.replace(QStringLiteral("CREATE INDEX "), QStringLiteral("CREATE INDEX IF NOT EXISTS "));
}

// "CREATE TRIGGER name ... ON table" of a statement list, as (name, table).
QList<QPair<QString, QString>> triggersOf(const QStringList &statements)
{
    static const QRegularExpression re(QStringLiteral(R"(^\s*CREATE\s+(?:CONSTRAINT\s+)?TRIGGER\s+(\w+)\s.*?\bON\s+(\w+))"),
                                       QRegularExpression::DotMatchesEverythingOption);
    QList<QPair<QString, QString>> out;
    for (const QString &s : statements) {
        const QRegularExpressionMatch m = re.match(s);
        if (m.hasMatch())
            out.append({m.captured(1), m.captured(2)});
    }
    return out;
}

// The steps both engines take in turn; a step sees the database at the version before.
struct Steps {
    EngineKind engine;
    std::function<bool(int version)> apply;  // the step to version
    std::function<bool()> refresh;           // rules, views, rights as the definition says
    std::function<bool(const QString &)> run;
    std::function<QString()> error;
};

// A table of the current shape, made when the database has none of that name.
QString createIfMissing(const char *table, EngineKind engine)
{
    return QStringLiteral("CREATE TABLE IF NOT EXISTS ")
           + createTable(*findTable(QLatin1String(table)), engine).mid(QStringLiteral("CREATE TABLE ").size());
}

// Each of the tables made when missing, in order.
template <typename Run>
bool createAllMissing(Run &&run, EngineKind engine, std::initializer_list<const char *> tables)
{
    for (const char *t : tables)
        if (!run(createIfMissing(t, engine)))
            return false;
    return true;
}

// Runs the steps from `from` to the current version, each in its own transaction.
bool runSteps(int from, Steps &s, const QString &begin, UpgradeReport *r,
              const std::function<bool()> &beforeStep = {}, const std::function<bool()> &afterStep = {})
{
    for (int v = from + 1; v <= kCurrentVersion; ++v) {
        if (beforeStep && !beforeStep())
            break;
        bool ok = s.run(begin) && s.apply(v)
                  && s.run(createIfMissing("nbk_schema_version", s.engine))
                  && s.run(recordVersionStatement(v)) && (v < kCurrentVersion || s.refresh());
        ok = ok && s.run(QStringLiteral("COMMIT"));
        if (afterStep)
            afterStep();
        if (!ok) {
            const QString why = s.error();
            s.run(QStringLiteral("ROLLBACK"));
            r->error = QStringLiteral("the step to version %1 failed (%2); the database stays at version %3 with "
                                      "nothing of the step kept: remove the cause and run nbk-admin upgrade again")
                           .arg(v)
                           .arg(why)
                           .arg(v - 1);
            return false;
        }
        r->steps << QStringLiteral("version %1: %2").arg(v).arg(versionSummary(v));
        r->to = v;
    }
    return r->error.isEmpty();
}

// ---- the embedded file ----------------------------------------------------------------

// A file opened only to look: it must be an SQLite database that passes quick_check.
class ReadOnlyFile : public AdminConnectionBase {
public:
    explicit ReadOnlyFile(const QString &path)
        : AdminConnectionBase(QStringLiteral("QSQLITE"), QStringLiteral("nbk_probe_"))
    {
        QSqlDatabase db = this->db();
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open()) {
            error_ = db.lastError().text();
            return;
        }
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("PRAGMA quick_check")) || !q.next()) {
            error_ = q.lastError().text();
            return;
        }
        if (q.value(0).toString() != QLatin1String("ok")) {
            error_ = QStringLiteral("damaged: %1").arg(q.value(0).toString());
            return;
        }
        ok_ = true;
    }
};

// Triggers and views name the tables a step rebuilds; the last step makes them anew.
bool dropTriggersAndViews(EmbeddedAdmin &c)
{
    const QSqlDatabase db = c.db();
    for (const QString &t : rows(db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'trigger'")))
        if (!c.run(QStringLiteral("DROP TRIGGER \"%1\"").arg(t)))
            return false;
    for (const QString &v : rows(db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'view'")))
        if (!c.run(QStringLiteral("DROP VIEW \"%1\"").arg(v)))
            return false;
    return true;
}

// The route's name: a nullable column, so every route on file keeps its rows as they are.
// A database that has it already (a step run before its version was recorded) keeps it.
const char *const kRouteNameColumn = "ALTER TABLE route ADD COLUMN %1route_name %2";

// Cancellation charges and shift closes: new tables only, so every row on file stays as
// it is; a booking sold before them has no terms and is given back whole, as it was sold.
template <typename Run>
bool fareStep8(Run &&run, EngineKind engine)
{
    return createAllMissing(run, engine, {"cancel_slab", "sale_terms", "cancel_charge", "shift_close"});
}

// Fare categories: new tables only; every booking on file is all adults, as it was sold.
template <typename Run>
bool categoriesStep9(Run &&run, EngineKind engine)
{
    return createAllMissing(run, engine, {"fare_category", "seat_category"});
}

// New tables that start empty: places' Kannada names (every place prints as before until
// the supervisor names it) and seat layouts (a class without one keeps its seats
// 1..total, so every run on file books as it did).
template <typename Run>
bool newTablesStep9(Run &&run, EngineKind engine)
{
    return createAllMissing(run, engine, {"place_local_name", "seat_layout", "seat_mark"});
}

// The corporation's settings, and the trail's time as an instant. Earlier releases wrote
// the trail's time as the wall clock of the session (the file: of the machine) that
// wrote it; those times are read as the corporation's wall clock, which the day
// statements of every past day showed them as, so each row keeps the time it showed. A
// database that has the settings table has been through this already.
template <typename Run>
bool settingsTable(Run &&run, EngineKind engine)
{
    return run(createIfMissing("nbk_settings", engine)) && run(QLatin1String(kSettingsRow));
}

bool trailStep9(EmbeddedAdmin &c)
{
    const bool done = !rows(c.db(), QStringLiteral("SELECT 1 FROM sqlite_master WHERE name = 'nbk_settings'")).isEmpty();
    if (!settingsTable([&](const QString &sql) { return c.run(sql); }, EngineKind::Sqlite)
        || !c.run(createIfMissing("nbk_draws", EngineKind::Sqlite)))
        return false;
    // the file's own functions turn the zone's wall clock into UTC
    return done || c.run(QStringLiteral("UPDATE nbk_audit SET changed_at = nbk_trail_from(changed_at)"));
}

// The server's checks are functions, which the refresh after the last step makes anew;
// the file's rules are unchanged. Nothing on file changes either way.
template <typename Run>
bool checksStep10(Run &&, EngineKind)
{
    return true;
}

// The settings row again, for a database whose owner removed it (its clock of charges
// reads the zone from it); the rules of the zone, the clock and the draws are made by the
// last step. A zone stored before the rule stays, and is refused only when next written.
template <typename Run>
bool settingsStep10(Run &&run, EngineKind engine)
{
    return settingsTable(run, engine);
}

bool embeddedStep(EmbeddedAdmin &c, int version)
{
    switch (version) {
    case 2: {
        if (!dropTriggersAndViews(c))
            return false;
        // phones were numbers: a leading zero was lost; now text, the digits kept as stored
        const QStringList s = {
            QStringLiteral("CREATE TABLE customer_v2 (customer_id INTEGER PRIMARY KEY, instance_id INTEGER, "
                           "journey_date DATE, name TEXT, age NUMERIC, phone TEXT, gender TEXT, origin TEXT, "
                           "destin TEXT, fare REAL)"),
            QStringLiteral("INSERT INTO customer_v2 SELECT customer_id, instance_id, journey_date, name, age, "
                           "CASE WHEN typeof(phone) = 'real' AND phone = CAST(phone AS INTEGER) "
                           "THEN CAST(CAST(phone AS INTEGER) AS TEXT) ELSE CAST(phone AS TEXT) END, "
                           "gender, origin, destin, fare FROM customer"),
            QStringLiteral("DROP TABLE customer"),
            QStringLiteral("ALTER TABLE customer_v2 RENAME TO customer"),
            QStringLiteral("CREATE INDEX customer_instance ON customer (instance_id)"),
        };
        for (const QString &stmt : s)
            if (!c.run(stmt))
                return false;
        return true;
    }
    case 3:
        for (const QString &stmt : embeddedAuditTableStatements())
            if (!c.run(stmt.startsWith(QLatin1String("CREATE INDEX")) ? ifNotExists(stmt)
                                                                       : QString(stmt).replace(QStringLiteral("CREATE TABLE "), QStringLiteral("CREATE TABLE IF NOT EXISTS "))))
                return false;
        return true;
    case 6:
        if (!rows(c.db(), QStringLiteral("SELECT name FROM pragma_table_info('route') WHERE name = 'route_name'")).isEmpty())
            return true;
        return c.run(QLatin1String(kRouteNameColumn).arg(QString(), QStringLiteral("TEXT")));
    case 8:
        return fareStep8([&](const QString &sql) { return c.run(sql); }, EngineKind::Sqlite);
    case 9:
    {
        const auto run = [&](const QString &sql) { return c.run(sql); };
        return categoriesStep9(run, EngineKind::Sqlite) && newTablesStep9(run, EngineKind::Sqlite) && trailStep9(c);
    }
    case 10:
    {
        const auto run = [&](const QString &sql) { return c.run(sql); };
        return checksStep10(run, EngineKind::Sqlite) && settingsStep10(run, EngineKind::Sqlite);
    }
    default:
        // 4, 5, 7 and 8 change nothing on the file but what the refresh makes: 7's rules are
        // triggers, which check the rows written from then on, so no row stored before
        // them stops the upgrade or is lost (a booking with a name longer than the rule
        // allows can still be cancelled: an update checks the columns it changes)
        return true;
    }
}

bool embeddedRefresh(EmbeddedAdmin &c)
{
    const QSqlDatabase db = c.db();
    if (!dropTriggersAndViews(c))
        return false;
    QStringList s = viewStatements(EngineKind::Sqlite);
    for (const Index &i : indexes())
        if (carries(i.on, EngineKind::Sqlite))
            s << ifNotExists(createIndex(i, EngineKind::Sqlite));
    s += embeddedTriggerStatements();
    s << QStringLiteral("INSERT INTO nbk_lock SELECT 0 WHERE NOT EXISTS (SELECT 1 FROM nbk_lock)");
    for (const SequenceStart &seq : kSequences)
        s << QStringLiteral("INSERT OR IGNORE INTO nbk_sequence (name, value) VALUES ('%1', %2)")
                 .arg(QLatin1String(seq.name))
                 .arg(seq.start - 1);
    for (const QString &stmt : s)
        if (!c.run(stmt))
            return false;
    // every row still finds the row it refers to
    if (!rows(db, QStringLiteral("PRAGMA foreign_key_check")).isEmpty()) {
        c.run(QStringLiteral("SELECT 'foreign_key_check found rows without the row they refer to'"));
        return false;
    }
    return true;
}

// ---- the server -----------------------------------------------------------------------

// The roles that hold a right on this database's tables, sequences or the database itself
// that the current rules do not give them (an early release granted its cluster-wide
// groups, and everyone could connect and create).
QStringList grantees(ServerAdmin &a)
{
    return rows(a.db(), QStringLiteral(
        "SELECT DISTINCT CASE WHEN x.grantee = 0 THEN 'PUBLIC' ELSE pg_catalog.pg_get_userbyid(x.grantee) END "
        "FROM pg_catalog.pg_class c JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace, "
        "LATERAL pg_catalog.aclexplode(c.relacl) x WHERE n.nspname = 'public' AND x.grantee <> c.relowner "
        "UNION SELECT CASE WHEN x.grantee = 0 THEN 'PUBLIC' ELSE pg_catalog.pg_get_userbyid(x.grantee) END "
        "FROM pg_catalog.pg_database d, LATERAL pg_catalog.aclexplode(d.datacl) x "
        "WHERE d.datname = pg_catalog.current_database() AND x.grantee <> d.datdba"));
}

QString roleName(const QString &role) { return role == QLatin1String("PUBLIC") ? role : quoteIdent(role); }

bool readGroups(ServerAdmin &a, ServerGroups *g)
{
    QSqlQuery q(a.db());
    if (!q.exec(QStringLiteral("SELECT clerk, supervisor FROM nbk_groups")) || !q.next()) {
        a.setError(QStringLiteral("the database names no groups (table nbk_groups)"));
        return false;
    }
    *g = {q.value(0).toString(), q.value(1).toString()};
    return true;
}

QStringList membersOf(ServerAdmin &a, const QString &group)
{
    return rows(a.db(), QStringLiteral("SELECT m.rolname FROM pg_catalog.pg_auth_members am "
                                       "JOIN pg_catalog.pg_roles g ON g.oid = am.roleid "
                                       "JOIN pg_catalog.pg_roles m ON m.oid = am.member "
                                       "WHERE g.rolname = %1 AND m.rolcanlogin ORDER BY 1")
                            .arg(quoteLiteral(group)));
}

// The trail's block range index goes; the last step makes its tree index under the same
// name.
bool flatStep8(ServerAdmin &a) { return a.run(QStringLiteral("DROP INDEX IF EXISTS nbk_audit_changed")); }

bool trailStep9(ServerAdmin &a)
{
    if (!settingsTable([&](const QString &sql) { return a.run(sql); }, EngineKind::Postgres))
        return false;
    if (a.exists(QStringLiteral("SELECT 1 FROM information_schema.columns WHERE table_schema = 'public' "
                                "AND table_name = 'nbk_audit' AND column_name = 'changed_at' "
                                "AND data_type = 'timestamp with time zone'")))
        return true;
    const QString zone = rows(a.db(), QStringLiteral("SELECT zone FROM nbk_settings")).value(0);
    return a.run(QStringLiteral("ALTER TABLE nbk_audit ALTER COLUMN changed_at DROP DEFAULT, "
                                "ALTER COLUMN changed_at TYPE timestamptz(0) USING pg_catalog.timezone(%1, changed_at), "
                                "ALTER COLUMN changed_at SET DEFAULT pg_catalog.now()")
                     .arg(quoteLiteral(zone)));
}

bool serverStep(ServerAdmin &a, const QString &database, int version, UpgradeReport *r)
{
    const QSqlDatabase db = a.db();
    switch (version) {
    case 2: {
        // The first release kept the seat chart's scratch lines in one table for everyone;
        // a later one of the same version gave each server session rows of its own behind
        // the view. Scratch lines outlive no session, so none are carried over.
        if (a.exists(QStringLiteral("SELECT 1 FROM pg_catalog.pg_class WHERE relname = 'tempbusroute' "
                                    "AND relnamespace = 'public'::regnamespace AND relkind = 'r'"))) {
            const Table &rows = *findTable(QStringLiteral("tempbusroute_rows"));
            if (!a.run(QStringLiteral("DROP TABLE tempbusroute")) || !a.run(createTable(rows, EngineKind::Postgres)))
                return false;
        }
        // the views read the column, and go until the last step makes them anew
        for (const View &v : views())
            if (carries(v.on, EngineKind::Postgres) && !a.run(QStringLiteral("DROP VIEW IF EXISTS %1 CASCADE").arg(QLatin1String(v.name))))
                return false;
        return a.run(QStringLiteral("ALTER TABLE customer ALTER COLUMN phone TYPE text USING "
                                    "(CASE WHEN phone = trunc(phone) THEN trunc(phone)::text ELSE phone::text END)"));
    }
    case 3: {
        for (const QString &stmt : postgresAuditTableStatements())
            if (!a.run(stmt.startsWith(QLatin1String("CREATE INDEX"))
                           ? ifNotExists(stmt)
                           : QString(stmt).replace(QStringLiteral("CREATE TABLE "), QStringLiteral("CREATE TABLE IF NOT EXISTS "))))
                return false;
        if (!a.exists(QStringLiteral("SELECT 1 FROM pg_catalog.pg_class WHERE relname = 'nbk_groups' "
                                     "AND relnamespace = 'public'::regnamespace"))) {
            ServerGroups g;
            if (!createServerGroups(a, database, &g)
                || !a.run(createTable(*findTable(QStringLiteral("nbk_groups")), EngineKind::Postgres))
                || !a.run(QStringLiteral("INSERT INTO nbk_groups VALUES (%1, %2)").arg(quoteLiteral(g.clerk), quoteLiteral(g.supervisor))))
                return false;
            // the early groups' logins keep their access, now through this database's own
            const QPair<const char *, QString> moves[] = {{kEarlyClerkGroup, g.clerk}, {kEarlySupervisorGroup, g.supervisor}};
            for (const auto &[early, own] : moves)
                for (const QString &login : membersOf(a, QLatin1String(early))) {
                    if (!a.run(QStringLiteral("GRANT %1 TO %2").arg(quoteIdent(own), quoteIdent(login))))
                        return false;
                    r->steps << QStringLiteral("login %1 moved from group %2 to %3").arg(login, QLatin1String(early), own);
                }
        }
        return true;
    }
    case 4:
        // the trail's time index becomes a block range index; the place search's index in
        // any capitals is made by the last step with the others
        return a.run(QStringLiteral("DROP INDEX IF EXISTS nbk_audit_changed"));
    case 6:
        return a.run(QLatin1String(kRouteNameColumn).arg(QStringLiteral("IF NOT EXISTS "), QStringLiteral("text")));
    case 8:
        return flatStep8(a) && fareStep8([&](const QString &sql) { return a.run(sql); }, EngineKind::Postgres);
    case 9:
    {
        const auto run = [&](const QString &sql) { return a.run(sql); };
        return categoriesStep9(run, EngineKind::Postgres) && newTablesStep9(run, EngineKind::Postgres) && trailStep9(a);
    }
    case 10:
    {
        const auto run = [&](const QString &sql) { return a.run(sql); };
        return checksStep10(run, EngineKind::Postgres) && settingsStep10(run, EngineKind::Postgres);
    }
    default:
        return true;  // 7: triggers, made by the last step, as on the file
    }
}

bool serverRefresh(ServerAdmin &a, const QString &database)
{
    const QSqlDatabase db = a.db();
    ServerGroups g;
    if (!readGroups(a, &g))
        return false;
    QStringList s;
    // the compatibility functions as this release writes them (the operators and the
    // schema stay: their signatures never changed)
    for (const QString &stmt : postgresCompatStatements())
        if (stmt.startsWith(QLatin1String("CREATE FUNCTION")))
            s << QString(stmt).replace(0, int(qstrlen("CREATE FUNCTION")), QStringLiteral("CREATE OR REPLACE FUNCTION"));
    // every rule of any earlier release goes, with the triggers that call it
    for (const QString &f : rows(db, QStringLiteral("SELECT p.oid::regprocedure::text FROM pg_catalog.pg_proc p "
                                                    "WHERE p.pronamespace = 'public'::regnamespace "
                                                    "AND p.proname LIKE 'nbk\\_%'")))
        s << QStringLiteral("DROP FUNCTION %1 CASCADE").arg(f);
    for (const View &v : views())
        if (carries(v.on, EngineKind::Postgres))
            s << QStringLiteral("DROP VIEW IF EXISTS %1 CASCADE").arg(QLatin1String(v.name));
    s += viewStatements(EngineKind::Postgres);
    for (const Index &i : indexes())
        if (carries(i.on, EngineKind::Postgres))
            s << ifNotExists(createIndex(i, EngineKind::Postgres));
    for (const QString &stmt : s)
        if (!a.run(stmt))
            return false;
    s.clear();
    const QStringList objects = postgresRuleObjectStatements();
    for (const auto &[trigger, table] : triggersOf(objects))
        s << QStringLiteral("DROP TRIGGER IF EXISTS %1 ON %2").arg(trigger, table);
    s += objects;
    // rights exactly as the definition gives them: whatever else was granted goes
    for (const QString &role : grantees(a))
        s << QStringLiteral("REVOKE ALL ON ALL TABLES IN SCHEMA public FROM %1").arg(roleName(role))
          << QStringLiteral("REVOKE ALL ON ALL SEQUENCES IN SCHEMA public FROM %1").arg(roleName(role))
          << QStringLiteral("REVOKE ALL ON DATABASE %1 FROM %2").arg(quoteIdent(database), roleName(role));
    s << QStringLiteral("REVOKE CREATE ON SCHEMA public FROM PUBLIC");
    for (const char *early : {kEarlyClerkGroup, kEarlySupervisorGroup})
        if (a.exists(QStringLiteral("SELECT 1 FROM pg_roles WHERE rolname = %1").arg(quoteLiteral(QLatin1String(early))))
            && QLatin1String(early) != g.clerk && QLatin1String(early) != g.supervisor)
            s << QStringLiteral("REVOKE ALL ON SCHEMA public FROM %1").arg(quoteIdent(QLatin1String(early)));
    s += postgresGrantStatements(g) + postgresDatabaseAccessStatements(database, g);
    for (const QString &login : membersOf(a, g.clerk))
        s += postgresLoginLimitStatements(login, database, false) + postgresDrawCounterStatements(login);
    for (const QString &login : membersOf(a, g.supervisor))
        s += postgresLoginLimitStatements(login, database, true) + postgresDrawCounterStatements(login);
    for (const QString &stmt : s)
        if (!a.run(stmt))
            return false;
    return true;
}

}  // namespace

bool upgradeEmbedded(const QString &path, UpgradeReport *r)
{
    if (!QFileInfo(path).isFile()) {
        r->error = QStringLiteral("%1: no such file; give the path of the embedded database").arg(path);
        return false;
    }
    // looked at read-only first: a file of another program, or a damaged one, is left
    // exactly as it was (opening it for work would switch its journal)
    DatabaseShape shape;
    {
        ReadOnlyFile probe(path);
        if (!probe.ok()) {
            r->error = QStringLiteral("%1 is not a database file this program can read (%2); nothing was changed")
                           .arg(path, probe.error());
            return false;
        }
        shape = readShape(probe.db(), EngineKind::Sqlite);
    }
    r->from = r->to = shape.version;
    if (shape.version == 0) {
        r->error = QStringLiteral("%1 is not a reservation database (%2); nothing was changed").arg(path, shape.problem);
        return false;
    }
    if (shape.version > kCurrentVersion) {
        r->error = QStringLiteral("%1 has schema version %2, newer than this program's %3; nothing was changed: use "
                                  "nbk-admin of the release that made it")
                       .arg(path)
                       .arg(shape.version)
                       .arg(kCurrentVersion);
        return false;
    }
    EmbeddedAdmin c(path, false);
    if (!c.ok()) {
        r->error = QStringLiteral("cannot open %1 for the upgrade (%2); nothing was changed").arg(path, c.error());
        return false;
    }
    Steps s;
    s.engine = EngineKind::Sqlite;
    s.run = [&](const QString &sql) { return c.run(sql); };
    s.error = [&] { return c.error(); };
    s.apply = [&](int v) { return embeddedStep(c, v); };
    s.refresh = [&] { return embeddedRefresh(c); };
    int from = shape.version;
    if (from == kCurrentVersion) {
        if (missingRules(c.db(), EngineKind::Sqlite).isEmpty())
            return true;
        // current but with rules missing: the last step once more makes them anew
        from = kCurrentVersion - 1;
    }
    // a table rebuilt under its references needs the keys' checks off; foreign_key_check
    // inside the step proves nothing was orphaned
    return runSteps(from, s, QStringLiteral("BEGIN IMMEDIATE"), r, [&] { return c.run(QStringLiteral("PRAGMA foreign_keys = OFF")); },
                    [&] { return c.run(QStringLiteral("PRAGMA foreign_keys = ON")); });
}

bool upgradeServer(const QString &uriText, UpgradeReport *r)
{
    const PostgresUri uri = PostgresUri::parse(uriText);
    if (!uri.valid || uri.database.isEmpty()) {
        r->error = QStringLiteral("give the database owner's postgresql://USER@HOST/DATABASE URI");
        return false;
    }
    ServerAdmin a(uri, false);
    if (!a.ok()) {
        r->error = QStringLiteral("cannot log in to %1 (%2); nothing was changed: give the URI of the database's owner")
                       .arg(uri.database, a.error());
        return false;
    }
    if (!a.exists(QStringLiteral("SELECT 1 FROM pg_catalog.pg_database d WHERE d.datname = pg_catalog.current_database() "
                                 "AND pg_catalog.pg_has_role(current_user, d.datdba, 'MEMBER')"))) {
        r->error = QStringLiteral("%1 is not the owner of database %2; nothing was changed: log in as its owner")
                       .arg(uri.user, uri.database);
        return false;
    }
    a.run(QStringLiteral("SET client_min_messages = warning"));  // no notice per trigger it drops
    const DatabaseShape shape = readShape(a.db(), EngineKind::Postgres);
    r->from = r->to = shape.version;
    if (shape.version == 0) {
        r->error = QStringLiteral("database %1 is not a reservation database (%2); nothing was changed")
                       .arg(uri.database, shape.problem);
        return false;
    }
    if (shape.version > kCurrentVersion) {
        r->error = QStringLiteral("database %1 has schema version %2, newer than this program's %3; nothing was "
                                  "changed: use nbk-admin of the release that made it")
                       .arg(uri.database)
                       .arg(shape.version)
                       .arg(kCurrentVersion);
        return false;
    }
    Steps s;
    s.engine = EngineKind::Postgres;
    s.run = [&](const QString &sql) { return a.run(sql); };
    s.error = [&] { return a.error(); };
    s.apply = [&](int v) { return serverStep(a, uri.database, v, r); };
    s.refresh = [&] { return serverRefresh(a, uri.database); };
    int from = shape.version;
    if (from == kCurrentVersion) {
        if (missingRules(a.db(), EngineKind::Postgres).isEmpty())
            return true;
        from = kCurrentVersion - 1;
    }
    return runSteps(from, s, QStringLiteral("BEGIN"), r);
}

bool upgradeDatabase(const QString &database, UpgradeReport *r)
{
    return isPostgresUri(database) ? upgradeServer(database, r) : upgradeEmbedded(database, r);
}

}  // namespace nbk::data::schema
