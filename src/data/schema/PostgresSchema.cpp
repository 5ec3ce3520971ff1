#include "data/schema/PostgresSchema.h"
#include "data/definition/Definition.h"
#include "data/schema/Schema.h"
#include "data/schema/SchemaVersion.h"

#include "data/engines/AdminConnectionBase.h"
#include "data/engines/PostgresEngine.h"

#include "data/schema/ServerAdmin.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace nbk::data::schema {

QStringList postgresCompatStatements()
{
    return {
        "CREATE SCHEMA oracompat",
        "GRANT USAGE ON SCHEMA oracompat TO PUBLIC",
        // Oracle's dates: date - date is a number of days, date + number adds days. The
        // built-in operators are spelt out, or these would call themselves.
        R"(CREATE FUNCTION oracompat.date_diff(a timestamp, b timestamp) RETURNS numeric
             LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE
             AS $$ SELECT EXTRACT(EPOCH FROM (a OPERATOR(pg_catalog.-) b)) OPERATOR(pg_catalog./) 86400 $$)",
        // a date holds whole seconds, as Oracle's does
        R"(CREATE FUNCTION oracompat.date_plus(a timestamp, n numeric) RETURNS timestamp
             LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE
             AS $$ SELECT a OPERATOR(pg_catalog.+) pg_catalog.make_interval(secs =>
                    pg_catalog.round(n OPERATOR(pg_catalog.*) 86400)::double precision) $$)",
        R"(CREATE FUNCTION oracompat.date_minus(a timestamp, n numeric) RETURNS timestamp
             LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE
             AS $$ SELECT a OPERATOR(pg_catalog.-) pg_catalog.make_interval(secs =>
                    pg_catalog.round(n OPERATOR(pg_catalog.*) 86400)::double precision) $$)",
        R"(CREATE FUNCTION oracompat.plus_date(n numeric, a timestamp) RETURNS timestamp
             LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE
             AS $$ SELECT oracompat.date_plus(a, n) $$)",
        "CREATE OPERATOR oracompat.- (LEFTARG = timestamp, RIGHTARG = timestamp, FUNCTION = oracompat.date_diff)",
        "CREATE OPERATOR oracompat.+ (LEFTARG = timestamp, RIGHTARG = numeric, FUNCTION = oracompat.date_plus)",
        "CREATE OPERATOR oracompat.- (LEFTARG = timestamp, RIGHTARG = numeric, FUNCTION = oracompat.date_minus)",
        "CREATE OPERATOR oracompat.+ (LEFTARG = numeric, RIGHTARG = timestamp, FUNCTION = oracompat.plus_date)",
        // TO_DATE gives a date with its time (the built-in drops the time). Parsed in UTC
        // and given back without zone, so that no daylight-saving gap moves the clock. A
        // wrong field gets Oracle's number for it.
        R"(CREATE FUNCTION oracompat.to_date(value text, format text) RETURNS timestamp
             LANGUAGE plpgsql STABLE STRICT
             SET search_path = pg_catalog SET timezone = 'UTC'
             AS $$
           DECLARE
             fields text[];
             parts text[];
             v bigint;
           BEGIN
             BEGIN
               RETURN to_timestamp(value, format) AT TIME ZONE 'UTC';
             EXCEPTION WHEN others THEN
               NULL;
             END;
             fields := ARRAY(SELECT m[1] FROM regexp_matches(lower(format),
                             '(yyyy|yyy|yy|y|mm|dd|hh24|hh12|hh|mi|ss)', 'g') AS m);
             parts := ARRAY(SELECT m[1] FROM regexp_matches(value, '([0-9]+)', 'g') AS m);
             IF value ~ '[A-Za-z]' AND lower(format) !~ '(mon|day|dy|am|pm)' THEN
               RAISE EXCEPTION 'ORA-01858: a non-numeric character was found where a numeric was expected' USING ERRCODE = '22007';
             END IF;
             IF coalesce(array_length(parts, 1), 0) <> coalesce(array_length(fields, 1), 0) THEN
               RAISE EXCEPTION 'ORA-01861: literal does not match format string' USING ERRCODE = '22007';
             END IF;
             FOR i IN 1 .. coalesce(array_length(fields, 1), 0) LOOP
               IF length(parts[i]) > 9 THEN
                 RAISE EXCEPTION 'ORA-01861: literal does not match format string' USING ERRCODE = '22007';
               END IF;
               v := parts[i]::bigint;
               IF fields[i] = 'mm' AND (v < 1 OR v > 12) THEN
                 RAISE EXCEPTION 'ORA-01843: not a valid month' USING ERRCODE = '22008';
               ELSIF fields[i] = 'dd' AND (v < 1 OR v > 31) THEN
                 RAISE EXCEPTION 'ORA-01847: day of month must be between 1 and last day of month' USING ERRCODE = '22008';
               ELSIF fields[i] = 'hh24' AND v > 23 THEN
                 RAISE EXCEPTION 'ORA-01850: hour must be between 0 and 23' USING ERRCODE = '22008';
               ELSIF fields[i] IN ('hh', 'hh12') AND (v < 1 OR v > 12) THEN
                 RAISE EXCEPTION 'ORA-01849: hour must be between 1 and 12' USING ERRCODE = '22008';
               ELSIF fields[i] = 'mi' AND v > 59 THEN
                 RAISE EXCEPTION 'ORA-01851: minutes must be between 0 and 59' USING ERRCODE = '22008';
               ELSIF fields[i] = 'ss' AND v > 59 THEN
                 RAISE EXCEPTION 'ORA-01852: seconds must be between 0 and 59' USING ERRCODE = '22008';
               ELSIF fields[i] LIKE 'y%' AND (v < 1 OR v > 9999) THEN
                 RAISE EXCEPTION 'ORA-01841: (full) year must be between -4713 and +9999, and not be 0' USING ERRCODE = '22008';
               END IF;
             END LOOP;
             RAISE EXCEPTION 'ORA-01847: day of month must be between 1 and last day of month' USING ERRCODE = '22008';
           END $$)",
        R"(CREATE FUNCTION oracompat.to_date(value text) RETURNS timestamp
             LANGUAGE sql STABLE STRICT
             AS $$ SELECT oracompat.to_date(value, 'YYYY-MM-DD HH24:MI:SS') $$)",
        R"(CREATE FUNCTION oracompat.to_char(value numeric) RETURNS text
             LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE
             AS $$ SELECT pg_catalog.trim_scale(value)::text $$)",
        "CREATE VIEW oracompat.dual AS SELECT 'X'::varchar(1) AS dummy",
        "GRANT SELECT ON oracompat.dual TO PUBLIC",
    };
}

QStringList postgresSchemaStatements()
{
    QStringList s = {QStringLiteral("CREATE EXTENSION IF NOT EXISTS btree_gist WITH SCHEMA public")};
    s += tableStatements(EngineKind::Postgres) + indexStatements(EngineKind::Postgres)
         + viewStatements(EngineKind::Postgres);
    for (const SequenceStart &seq : kSequences)
        s << QStringLiteral("CREATE SEQUENCE %1 START WITH %2").arg(QLatin1String(seq.name)).arg(seq.start);
    return s;
}

namespace {

// Hands the reason to a caller that asked for it; always false.
bool failWith(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

}  // namespace

bool createServerGroups(ServerAdmin &a, const QString &database, ServerGroups *groups)
{
    // A role of the name may be another database's group, or an early release's
    // cluster-wide one with members of its own: taking it over would let them in. The
    // database gets names nobody holds, and nbk_groups keeps them.
    const ServerGroups base = serverGroupsFor(database);
    for (int n = 1; n < 100; ++n) {
        const QString suffix = n == 1 ? QString() : QStringLiteral("_%1").arg(n);
        const ServerGroups g{base.clerk + suffix, base.supervisor + suffix};
        if (a.exists(QStringLiteral("SELECT 1 FROM pg_roles WHERE rolname IN (%1, %2)")
                         .arg(quoteLiteral(g.clerk), quoteLiteral(g.supervisor))))
            continue;
        if (!a.run(QStringLiteral("CREATE ROLE %1 NOLOGIN").arg(quoteIdent(g.clerk)))
            || !a.run(QStringLiteral("CREATE ROLE %1 NOLOGIN").arg(quoteIdent(g.supervisor))))
            return false;
        *groups = g;
        return true;
    }
    a.setError(QStringLiteral("no free names for the groups of database %1").arg(database));
    return false;
}

ServerGroups serverGroupsFor(const QString &database)
{
    // role names hold 63 bytes
    const QString base = database.left(48);
    return {base + QStringLiteral("_clerk"), base + QStringLiteral("_supervisor")};
}

bool createServerDatabase(const QString &uriText, const InitOptions &options, QString *error)
{
    const PostgresUri uri = PostgresUri::parse(uriText);
    if (!uri.valid)
        return failWith(error, QStringLiteral("not a postgresql:// URI: %1").arg(uriText));
    if (uri.database.isEmpty())
        return failWith(error, QStringLiteral("the URI names no database"));
    {
        // create the database when it is missing
        ServerAdmin probe(uri, false);
        if (!probe.ok()) {
            if (!probe.error().contains(QLatin1String("does not exist")))
                return failWith(error, probe.error());
            PostgresUri maintenance = uri;
            maintenance.database = QStringLiteral("postgres");
            ServerAdmin m(maintenance, false);
            if (!m.ok())
                return failWith(error, m.error());
            if (!m.run(QStringLiteral("CREATE DATABASE %1 TEMPLATE template0 ENCODING 'UTF8'")
                           .arg(quoteIdent(uri.database))))
                return failWith(error, m.error());
        }
    }
    ServerAdmin a(uri, false);
    if (!a.ok())
        return failWith(error, a.error());
    if (a.exists(QStringLiteral("SELECT 1 FROM pg_namespace WHERE nspname = 'oracompat'")))
        return failWith(error,
                        QStringLiteral("database %1 holds a reservation schema already; it is left as it is")
                            .arg(uri.database));
    if (!a.run(QStringLiteral("BEGIN")))
        return failWith(error, a.error());
    ServerGroups groups;
    if (!createServerGroups(a, uri.database, &groups))
        return failWith(error, a.error());
    QStringList statements = postgresCompatStatements() + postgresSchemaStatements() + postgresRulesStatements()
                             + postgresGrantStatements(groups)
                             + postgresDatabaseAccessStatements(uri.database, groups);
    statements << QStringLiteral("INSERT INTO nbk_groups VALUES (%1, %2)")
                      .arg(quoteLiteral(groups.clerk), quoteLiteral(groups.supervisor))
               // objects of their own on the path would run with the rights of whoever calls
               // them (servers before PostgreSQL 15 let everyone create there)
               << QStringLiteral("REVOKE CREATE ON SCHEMA public FROM PUBLIC") << QLatin1String(kSettingsRow)
               << recordVersionStatement(kCurrentVersion);
    for (const QString &stmt : statements)
        if (!a.run(stmt))
            return failWith(error, a.error());
    for (const QString &stmt : PostgresDialect::sessionSetup())
        if (!a.run(stmt))
            return failWith(error, a.error());
    PostgresDialect dialect;
    QStringList data = referenceDataStatements();
    if (options.demo)
        data += demoDataStatements();
    for (const QString &stmt : data)
        if (!a.run(dialect.translate(stmt)))
            return failWith(error, a.error());
    if (!a.run(QStringLiteral("COMMIT")))
        return failWith(error, a.error());
    return true;
}

}  // namespace nbk::data::schema
