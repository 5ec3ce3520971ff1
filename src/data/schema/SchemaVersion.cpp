#include "data/schema/SchemaVersion.h"

#include "data/schema/PostgresSchema.h"
#include "data/schema/Schema.h"
#include "data/dialect/SqlText.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QSet>
#include <QSqlQuery>

namespace nbk::data::schema {

namespace {

// Plain statements, never prepared: behind a pooler in transaction mode a prepared
// statement's name may find another client's text on the next server connection.
QStringList column0(const QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    QStringList out;
    if (!q.exec(sql))
        return out;
    while (q.next())
        out << q.value(0).toString();
    return out;
}

QSet<QString> toSet(const QStringList &l) { return QSet<QString>(l.begin(), l.end()); }

QSet<QString> relations(const QSqlDatabase &db, EngineKind engine)
{
    if (engine == EngineKind::Sqlite)
        return toSet(column0(db, QStringLiteral("SELECT name FROM sqlite_master WHERE type IN ('table', 'view')")));
    return toSet(column0(db, QStringLiteral("SELECT c.relname FROM pg_catalog.pg_class c JOIN pg_catalog.pg_namespace n "
                                            "ON n.oid = c.relnamespace WHERE n.nspname = 'public' "
                                            "AND c.relkind IN ('r', 'p', 'v')")));
}

QString columnType(const QSqlDatabase &db, EngineKind engine, const QString &table, const QString &column)
{
    if (engine == EngineKind::Sqlite) {
        QSqlQuery q(db);
        q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(table));
        while (q.next())
            if (q.value(1).toString().compare(column, Qt::CaseInsensitive) == 0)
                return q.value(2).toString().toLower();
        return {};
    }
    return column0(db,
                   QStringLiteral("SELECT pg_catalog.format_type(a.atttypid, a.atttypmod) FROM pg_catalog.pg_attribute a "
                                  "JOIN pg_catalog.pg_class c ON c.oid = a.attrelid JOIN pg_catalog.pg_namespace n "
                                  "ON n.oid = c.relnamespace WHERE n.nspname = 'public' AND c.relname = '%1' "
                                  "AND a.attname = '%2' AND NOT a.attisdropped")
                       .arg(sqlText(table), sqlText(column)))
        .value(0);
}

bool hasIndex(const QSqlDatabase &db, EngineKind engine, const QString &name)
{
    if (engine == EngineKind::Sqlite)
        return !column0(db, QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'index' AND name = '%1'").arg(sqlText(name)))
                    .isEmpty();
    return !column0(db, QStringLiteral("SELECT 1 FROM pg_catalog.pg_indexes WHERE schemaname = 'public' AND indexname = '%1'")
                            .arg(sqlText(name)))
                .isEmpty();
}

// Names created by a list of statements: CREATE [CONSTRAINT] TRIGGER name, CREATE
// FUNCTION public.name.
QStringList createdNames(const QStringList &statements, const QString &pattern)
{
    const QRegularExpression re(pattern);
    QStringList names;
    for (const QString &s : statements) {
        const QRegularExpressionMatch m = re.match(s);
        if (m.hasMatch())
            names << m.captured(1);
    }
    return names;
}

const char *const kReservationTables[] = {"place", "route", "bus_instance", "customer", "seat_matrix"};

}  // namespace

QString versionSummary(int version)
{
    switch (version) {
    case 1:
        return QStringLiteral("the first schema");
    case 2:
        return QStringLiteral("phones kept as text");
    case 3:
        return QStringLiteral("rules checked at commit, the audit trail, groups of the database's own");
    case 4:
        return QStringLiteral("indexes for the place search and the trail's time");
    case 5:
        return QStringLiteral("versions recorded, CREATE on schema public revoked, the trail's writer pinned");
    case 6:
        return QStringLiteral("the route's name");
    case 7:
        return QStringLiteral("seats, stretches and bookings kept to their run, values bounded");
    case 8:
        return QStringLiteral("the trail's time index a tree; no booking or run under an id its sequence has "
                              "not given out; cancellation charges kept with each sale; shift closes");
    case 9:
        return QStringLiteral("fare categories, each concession seat kept with its category, age and fare; "
                              "places' Kannada names; seat layouts of the vehicle types, with seats kept for "
                              "women or senior citizens; the corporation's settings; the trail's time an instant "
                              "of the server's clock");
    case 10:
        return QStringLiteral("the server's commit-time checks of a booking's customer once per booking; the "
                              "corporation's zone a name the database knows, and the hours before a departure "
                              "counted in it; changes of the settings in the trail; draws counted for every login "
                              "of the groups");
    default:
        return QStringLiteral("version %1").arg(version);
    }
}

DatabaseShape readShape(const QSqlDatabase &db, EngineKind engine)
{
    DatabaseShape shape;
    const QSet<QString> have = relations(db, engine);
    for (const char *t : kReservationTables)
        if (!have.contains(QLatin1String(t))) {
            shape.problem = have.isEmpty() ? QStringLiteral("it holds no tables")
                                           : QStringLiteral("it has no table %1").arg(QLatin1String(t));
            return shape;
        }
    if (have.contains(QStringLiteral("nbk_schema_version"))) {
        QSqlQuery q(db);
        if (q.exec(QStringLiteral("SELECT MAX(version) FROM nbk_schema_version")) && q.next() && !q.value(0).isNull()) {
            shape.version = q.value(0).toInt();
            shape.recorded = true;
            return shape;
        }
    }
    // made before versions were recorded: recognised by what each version added
    if (!have.contains(QStringLiteral("nbk_audit")))
        shape.version = columnType(db, engine, QStringLiteral("customer"), QStringLiteral("phone")) == QLatin1String("numeric") ? 1 : 2;
    else if (engine == EngineKind::Postgres && !hasIndex(db, engine, QStringLiteral("place_full_name_upper")))
        shape.version = 3;
    else
        shape.version = 4;  // on the file, 3 and 4 are the same shape
    return shape;
}

QStringList missingRules(const QSqlDatabase &db, EngineKind engine)
{
    QStringList missing;
    const QSet<QString> have = relations(db, engine);
    for (const char *t : {"nbk_audit", "nbk_schema_version"})
        if (!have.contains(QLatin1String(t)))
            missing << QStringLiteral("table %1").arg(QLatin1String(t));
    const QString triggerPattern = QStringLiteral(R"(^\s*CREATE\s+(?:CONSTRAINT\s+)?TRIGGER\s+(\w+))");
    if (engine == EngineKind::Sqlite) {
        const QSet<QString> triggers = toSet(column0(db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'trigger'")));
        for (const QString &t : createdNames(embeddedTriggerStatements(), triggerPattern))
            if (!triggers.contains(t))
                missing << QStringLiteral("trigger %1").arg(t);
        return missing;
    }
    const QStringList objects = postgresRuleObjectStatements();
    const QSet<QString> triggers = toSet(column0(
        db, QStringLiteral("SELECT t.tgname FROM pg_catalog.pg_trigger t JOIN pg_catalog.pg_class c ON c.oid = t.tgrelid "
                           "JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
                           "WHERE n.nspname = 'public' AND NOT t.tgisinternal AND t.tgenabled <> 'D'")));
    for (const QString &t : createdNames(objects, triggerPattern))
        if (!triggers.contains(t))
            missing << QStringLiteral("trigger %1").arg(t);
    const QSet<QString> functions = toSet(column0(
        db, QStringLiteral("SELECT p.proname FROM pg_catalog.pg_proc p JOIN pg_catalog.pg_namespace n "
                           "ON n.oid = p.pronamespace WHERE n.nspname = 'public'")));
    for (const QString &f : createdNames(objects, QStringLiteral(R"(^\s*CREATE\s+FUNCTION\s+public\.(\w+))")))
        if (!functions.contains(f))
            missing << QStringLiteral("function %1").arg(f);
    // an owner's-rights function on the caller's search_path runs what the caller puts there
    if (functions.contains(QStringLiteral("nbk_audit_row"))
        && column0(db, QStringLiteral("SELECT 1 FROM pg_catalog.pg_proc p JOIN pg_catalog.pg_namespace n "
                                      "ON n.oid = p.pronamespace WHERE n.nspname = 'public' "
                                      "AND p.proname = 'nbk_audit_row' AND p.prosecdef "
                                      "AND 'search_path=pg_catalog, pg_temp' = ANY (p.proconfig)"))
               .isEmpty())
        missing << QStringLiteral("the pinned search_path of function nbk_audit_row");
    QSqlQuery q(db);
    if (q.exec(QStringLiteral("SELECT pg_catalog.has_database_privilege('public', pg_catalog.current_database(), 'CONNECT'), "
                              "pg_catalog.has_schema_privilege('public', 'public', 'CREATE')"))
        && q.next()) {
        if (q.value(0).toBool())
            missing << QStringLiteral("the refusal of CONNECT to every role");
        if (q.value(1).toBool())
            missing << QStringLiteral("the refusal of CREATE on schema public to every role");
    }
    return missing;
}

QString recordVersionStatement(int version)
{
    return QStringLiteral("INSERT INTO nbk_schema_version (version, applied_at, summary) VALUES (%1, '%2', '%3') "
                          "ON CONFLICT (version) DO NOTHING")
        .arg(version)
        .arg(QDateTime::currentDateTimeUtc().toString(Qt::ISODate), sqlText(versionSummary(version)));
}

OpenCheck checkDatabase(const QSqlDatabase &db, EngineKind engine)
{
    OpenCheck c;
    const DatabaseShape shape = readShape(db, engine);
    c.version = shape.version;
    if (shape.version == 0) {
        c.verdict = OpenCheck::Foreign;
        c.message = QStringLiteral("This is not a reservation database (%1). Check the database's name.").arg(shape.problem);
    } else if (shape.version < kCurrentVersion) {
        c.verdict = OpenCheck::Older;
        c.message = QStringLiteral("This database has schema version %1, and this program works on version %2. "
                                   "Nothing was changed: ask the administrator to run \"nbk-admin upgrade\" on it.")
                        .arg(shape.version)
                        .arg(kCurrentVersion);
    } else if (shape.version > kCurrentVersion) {
        c.verdict = OpenCheck::Newer;
        c.message = QStringLiteral("This database has schema version %1, made by a newer release; this program works "
                                   "on version %2. Use the newer release of the client.")
                        .arg(shape.version)
                        .arg(kCurrentVersion);
    } else {
        const QStringList missing = missingRules(db, engine);
        if (!missing.isEmpty()) {
            c.verdict = OpenCheck::RulesMissing;
            c.message = QStringLiteral("The database's rules are incomplete (missing: %1). Ask the administrator to run "
                                       "\"nbk-admin upgrade\" on it.")
                            .arg(missing.join(QStringLiteral(", ")));
        }
    }
    return c;
}

}  // namespace nbk::data::schema
