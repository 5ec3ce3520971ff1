#include "data/PostgresSchema.h"

#include "data/AdminConnectionBase.h"
#include "data/PostgresEngine.h"

#include "data/ServerAdmin.h"

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
    QStringList s = {
        "CREATE EXTENSION IF NOT EXISTS btree_gist WITH SCHEMA public",
        "CREATE TABLE place (place text PRIMARY KEY, full_name text NOT NULL)",
        "CREATE INDEX place_full_name ON place (full_name)",
        // a name's first letters (LIKE 'Xy%') find their rows through an index only with
        // the pattern operators, unless the database collates as C
        "CREATE INDEX place_full_name_pattern ON place (full_name text_pattern_ops)",
        // the place search matches in any letter case (UPPER(full_name) LIKE UPPER(?)): on
        // a thousand places its prefix found through this beats reading them all
        "CREATE INDEX place_full_name_upper ON place (upper(full_name) text_pattern_ops)",
        R"(CREATE TABLE route_element (reid integer PRIMARY KEY,
             place1 text NOT NULL REFERENCES place (place),
             place2 text NOT NULL REFERENCES place (place), km numeric NOT NULL))",
        "CREATE INDEX route_element_places ON route_element (place1, place2)",
        "CREATE INDEX route_element_place2 ON route_element (place2)",
        R"(CREATE TABLE fuel_index (fpi integer PRIMARY KEY, multiplier numeric NOT NULL,
             description text))",
        R"(CREATE TABLE class_type (class integer PRIMARY KEY, base numeric NOT NULL,
             multiplier numeric NOT NULL, description text))",
        R"(CREATE TABLE route (route_id integer PRIMARY KEY, place1 text, place2 text,
             stops integer, km numeric, fpi integer, stoptime numeric, travelmins numeric))",
        "CREATE INDEX route_place2 ON route (place2)",
        R"(CREATE TABLE path_order (
             route_id integer NOT NULL REFERENCES route (route_id) ON DELETE CASCADE,
             sequence_no integer NOT NULL, reid integer NOT NULL REFERENCES route_element (reid),
             PRIMARY KEY (route_id, sequence_no)))",
        "CREATE INDEX path_order_reid ON path_order (reid, route_id, sequence_no)",
        R"(CREATE TABLE route_frequency (
             route_id integer NOT NULL REFERENCES route (route_id) ON DELETE CASCADE,
             day integer NOT NULL, frequency numeric, hour integer, minute integer,
             PRIMARY KEY (route_id, day)))",
        R"(CREATE TABLE service_class (
             route_id integer NOT NULL REFERENCES route (route_id) ON DELETE CASCADE,
             day integer NOT NULL, class integer NOT NULL))",
        "CREATE INDEX service_class_route ON service_class (route_id, class, day)",
        R"(CREATE TABLE bus_info (registration text PRIMARY KEY, type integer NOT NULL,
             total_seats integer NOT NULL))",
        "CREATE INDEX bus_info_type ON bus_info (type)",
        R"(CREATE TABLE bus_stand (stand_id integer PRIMARY KEY, city text NOT NULL,
             location text))",
        "CREATE INDEX bus_stand_city ON bus_stand (city)",
        R"(CREATE TABLE bus_instance (instance_id integer PRIMARY KEY,
             bus_id integer NOT NULL REFERENCES route (route_id) ON DELETE CASCADE,
             dep_date timestamp(0) NOT NULL, status text, stand_id integer, registration text,
             class integer, free_seats integer))",
        "CREATE INDEX bus_instance_route ON bus_instance (bus_id, class, dep_date)",
        "CREATE INDEX bus_instance_vehicle ON bus_instance (registration, dep_date)",
        // the phone is text, kept as typed: a leading zero or + is part of the number
        R"(CREATE TABLE customer (customer_id integer PRIMARY KEY, instance_id integer,
             journey_date timestamp(0), name text, age numeric, phone text, gender text,
             origin text, destin text, fare numeric))",
        "CREATE INDEX customer_instance ON customer (instance_id)",
        // the seat rule: one seat of one run is held at most once on any segment; the
        // stretch includes both of its end segments
        R"(CREATE TABLE seat_matrix (
             instance_id integer NOT NULL REFERENCES bus_instance (instance_id) ON DELETE CASCADE,
             seat_no integer NOT NULL, route_sequence1 integer NOT NULL,
             route_sequence2 integer NOT NULL,
             customer_id integer NOT NULL REFERENCES customer (customer_id),
             status text, CHECK (route_sequence1 <= route_sequence2),
             CONSTRAINT seat_matrix_taken EXCLUDE USING gist (instance_id WITH =, seat_no WITH =,
               int4range(route_sequence1, route_sequence2, '[]') WITH &&)))",
        "CREATE INDEX seat_matrix_customer ON seat_matrix (customer_id)",
        // the seat chart's scratch rows: every server session sees and deletes only its own,
        // so two clerks charting at once never wait on or read each other's lines
        R"(CREATE TABLE tempbusroute_rows (backend integer NOT NULL DEFAULT pg_backend_pid(),
             seat_no integer, line text))",
        "CREATE INDEX tempbusroute_rows_backend ON tempbusroute_rows (backend, seat_no)",
        R"(CREATE VIEW tempbusroute AS SELECT seat_no, line FROM tempbusroute_rows
             WHERE backend = pg_backend_pid() WITH CHECK OPTION)",
        "CREATE TABLE test1 (c_id integer, c_name text)",

        R"(CREATE VIEW vticket AS
           SELECT c.customer_id AS CUSTOMERID, c.name AS NAME, c.instance_id AS INSTANCE,
                  o.full_name AS ORIGIN, d.full_name AS DESTINATION,
                  c.journey_date AS JOURNEY_DATE, c.fare AS FARE, c.age AS AGE,
                  c.gender AS GENDER, c.phone AS PHONE
             FROM customer c LEFT JOIN place o ON o.place = c.origin
                             LEFT JOIN place d ON d.place = c.destin)",
        R"(CREATE VIEW accidentview AS
           SELECT bi.registration AS REGISTRATION, bi.instance_id AS INSTANCE,
                  c.name AS NAME, c.age AS AGE, c.gender AS GENDER, c.phone AS PHONE,
                  c.customer_id AS CUSTOMER_ID, bi.dep_date AS DEP_DATE
             FROM bus_instance bi JOIN customer c ON c.instance_id = bi.instance_id)",
        R"(CREATE VIEW routeserviceview AS
           SELECT r.route_id AS ROUTE_ID, bi.instance_id AS INSTANCE_ID,
                  bi.dep_date AS DEP_DATE, r.km AS KM
             FROM route r JOIN bus_instance bi ON bi.bus_id = r.route_id)",
        R"(CREATE VIEW btimetable AS
           SELECT bi.instance_id AS INSTANCE_ID, bi.bus_id AS BUS_ID, bi.dep_date AS DEP_DATE,
                  bs.location AS LOCATION, bs.city AS CITY, ct.description AS DESCRIPTION
             FROM bus_instance bi LEFT JOIN bus_stand bs ON bs.stand_id = bi.stand_id
                                  LEFT JOIN class_type ct ON ct.class = bi.class)",
    };
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

// Makes a database's group roles. One left by an earlier database of the same name is
// taken again; a login role or a superuser of that name is not.
bool ensureGroupRoles(ServerAdmin &a, const ServerGroups &g)
{
    for (const QString &role : {g.clerk, g.supervisor}) {
        if (a.exists(QStringLiteral("SELECT 1 FROM pg_roles WHERE rolname = %1 AND (rolcanlogin OR rolsuper)")
                         .arg(quoteLiteral(role)))) {
            a.setError(QStringLiteral("a login role named %1 exists already; the database's groups need the name")
                           .arg(role));
            return false;
        }
        const QString sql = QStringLiteral(R"(DO $$ BEGIN
              IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = %1) THEN
                CREATE ROLE %2 NOLOGIN;
              END IF;
            END $$)")
                                .arg(quoteLiteral(role), quoteIdent(role));
        if (!a.run(sql))
            return false;
    }
    return true;
}

}  // namespace

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
    const ServerGroups groups = serverGroupsFor(uri.database);
    if (!ensureGroupRoles(a, groups))
        return failWith(error, a.error());
    if (!a.run(QStringLiteral("BEGIN")))
        return failWith(error, a.error());
    QStringList statements = postgresCompatStatements() + postgresSchemaStatements() + postgresRulesStatements()
                             + postgresGrantStatements(groups)
                             + postgresDatabaseAccessStatements(uri.database, groups);
    statements << QStringLiteral("CREATE TABLE nbk_groups (clerk text NOT NULL, supervisor text NOT NULL)")
               << QStringLiteral("INSERT INTO nbk_groups VALUES (%1, %2)")
                      .arg(quoteLiteral(groups.clerk), quoteLiteral(groups.supervisor));
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
