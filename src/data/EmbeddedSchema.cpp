#include "data/Schema.h"

namespace nbk::data::schema {

namespace {

// The audited tables, their columns (a trailing * marks a date) and key columns.
struct AuditedTable {
    const char *table;
    QStringList columns;
    QStringList keys;
};

const QList<AuditedTable> &auditedTables()
{
    static const QList<AuditedTable> t = {
        {"customer",
         {"customer_id", "instance_id", "journey_date*", "name", "age", "phone", "gender", "origin", "destin", "fare"},
         {"customer_id"}},
        {"seat_matrix",
         {"instance_id", "seat_no", "route_sequence1", "route_sequence2", "customer_id", "status"},
         {"instance_id", "seat_no", "route_sequence1", "customer_id"}},
        {"bus_instance",
         {"instance_id", "bus_id", "dep_date*", "status", "stand_id", "registration", "class", "free_seats"},
         {"instance_id"}},
        {"place", {"place", "full_name"}, {"place"}},
        {"route_element", {"reid", "place1", "place2", "km"}, {"reid"}},
        {"route", {"route_id", "place1", "place2", "stops", "km", "fpi", "stoptime", "travelmins"}, {"route_id"}},
        {"path_order", {"route_id", "sequence_no", "reid"}, {"route_id", "sequence_no"}},
        {"route_frequency", {"route_id", "day", "frequency", "hour", "minute"}, {"route_id", "day"}},
        {"service_class", {"route_id", "day", "class"}, {"route_id", "day", "class"}},
    };
    return t;
}

// Dates are kept as days since 30 December 1899 (see OracleDate); SQLite's date functions
// count Julian days.
const char *const kJulianOfDayZero = "2415018.5";

// The row as JSON text with dates as the server writes them (2003-03-05T23:50:00).
QString jsonOf(const AuditedTable &t, const QString &row)
{
    QStringList pairs;
    for (QString c : t.columns) {
        const bool date = c.endsWith(QLatin1Char('*'));
        if (date)
            c.chop(1);
        pairs << QStringLiteral("'%1'").arg(c)
              << (date ? QStringLiteral("strftime('%Y-%m-%dT%H:%M:%S', %1.%2 + %3)").arg(row, c, QLatin1String(kJulianOfDayZero))
                       : QStringLiteral("%1.%2").arg(row, c));
    }
    return QStringLiteral("json_object(%1)").arg(pairs.join(QStringLiteral(", ")));
}

QString keyOf(const AuditedTable &t, const QString &row)
{
    QStringList parts;
    for (const QString &k : t.keys)
        parts << QStringLiteral("coalesce(%1.%2, '')").arg(row, k);
    return parts.join(QStringLiteral(" || '/' || "));
}

}  // namespace

QStringList embeddedRulesStatements()
{
    QStringList s = {
        // A run that holds reservations keeps its departure, route and vehicle and is not
        // deleted (nor is a route with such runs): checked at once, for every connection.
        R"(CREATE TRIGGER bus_instance_booked_update
             BEFORE UPDATE OF instance_id, bus_id, dep_date, registration ON bus_instance
             WHEN (NEW.instance_id IS NOT OLD.instance_id OR NEW.bus_id IS NOT OLD.bus_id
                   OR NEW.dep_date IS NOT OLD.dep_date OR NEW.registration IS NOT OLD.registration)
              AND (EXISTS (SELECT 1 FROM seat_matrix WHERE instance_id = OLD.instance_id)
                   OR EXISTS (SELECT 1 FROM customer WHERE instance_id = OLD.instance_id))
           BEGIN SELECT RAISE(ABORT, 'ORA-02292: integrity constraint violated - the run holds reservations'); END)",
        R"(CREATE TRIGGER bus_instance_booked_delete BEFORE DELETE ON bus_instance
             WHEN EXISTS (SELECT 1 FROM seat_matrix WHERE instance_id = OLD.instance_id)
               OR EXISTS (SELECT 1 FROM customer WHERE instance_id = OLD.instance_id)
           BEGIN SELECT RAISE(ABORT, 'ORA-02292: integrity constraint violated - the run holds reservations'); END)",
        // the audit trail, as on the server; the session's login and program come from the
        // functions every connection registers
        R"(CREATE TABLE nbk_audit (audit_id INTEGER PRIMARY KEY, changed_at DATE NOT NULL,
             txid INTEGER NOT NULL, login TEXT NOT NULL, table_name TEXT NOT NULL, action TEXT NOT NULL,
             row_key TEXT NOT NULL, customer_id INTEGER, old_values TEXT, new_values TEXT,
             client_addr TEXT, application_name TEXT))",
        "CREATE INDEX nbk_audit_changed ON nbk_audit (changed_at)",
        "CREATE INDEX nbk_audit_customer ON nbk_audit (customer_id)",
        "CREATE INDEX nbk_audit_txid ON nbk_audit (txid)",
    };
    for (const AuditedTable &t : auditedTables()) {
        const bool customer = t.columns.contains(QLatin1String("customer_id"));
        for (const char *action : {"INSERT", "UPDATE", "DELETE"}) {
            const bool insert = qstrcmp(action, "INSERT") == 0, del = qstrcmp(action, "DELETE") == 0;
            const QString row = del ? QStringLiteral("OLD") : QStringLiteral("NEW");
            s << QStringLiteral("CREATE TRIGGER %1_audit_%2 AFTER %3 ON %1 BEGIN "
                                "INSERT INTO nbk_audit (changed_at, txid, login, table_name, action, row_key, "
                                "customer_id, old_values, new_values, client_addr, application_name) VALUES ("
                                "julianday(strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime')) - 2415018.5, "
                                "nbk_txid(), "
                                "nbk_login(), '%1', '%3', %4, %5, %6, %7, NULL, nbk_application()); END")
                     .arg(QLatin1String(t.table), QString::fromLatin1(action).toLower(), QLatin1String(action),
                          keyOf(t, row), customer ? row + QStringLiteral(".customer_id") : QStringLiteral("NULL"),
                          insert ? QStringLiteral("NULL") : jsonOf(t, QStringLiteral("OLD")),
                          del ? QStringLiteral("NULL") : jsonOf(t, QStringLiteral("NEW")));
        }
    }
    return s;
}

QStringList embeddedSchemaStatements()
{
    QStringList s = {
        // client bookkeeping: accounts, sequences, the lock row that FOR UPDATE takes
        R"(CREATE TABLE nbk_account (username TEXT PRIMARY KEY COLLATE NOCASE,
             salt BLOB NOT NULL, iterations INTEGER NOT NULL, hash BLOB NOT NULL,
             supervisor INTEGER NOT NULL DEFAULT 0))",
        R"(CREATE TABLE nbk_sequence (name TEXT PRIMARY KEY, value INTEGER NOT NULL,
             increment INTEGER NOT NULL DEFAULT 1))",
        "CREATE TABLE nbk_lock (n INTEGER)",
        "INSERT INTO nbk_lock VALUES (0)",
        "CREATE VIEW dual AS SELECT 'X' AS dummy",

        R"(CREATE TABLE place (place TEXT PRIMARY KEY, full_name TEXT NOT NULL))",
        "CREATE INDEX place_full_name ON place (full_name)",
        R"(CREATE TABLE route_element (reid INTEGER PRIMARY KEY,
             place1 TEXT NOT NULL REFERENCES place (place),
             place2 TEXT NOT NULL REFERENCES place (place), km REAL NOT NULL))",
        "CREATE INDEX route_element_places ON route_element (place1, place2)",
        "CREATE INDEX route_element_place2 ON route_element (place2)",
        R"(CREATE TABLE fuel_index (fpi INTEGER PRIMARY KEY, multiplier REAL NOT NULL,
             description TEXT))",
        R"(CREATE TABLE class_type (class INTEGER PRIMARY KEY, base REAL NOT NULL,
             multiplier REAL NOT NULL, description TEXT))",
        R"(CREATE TABLE route (route_id INTEGER PRIMARY KEY, place1 TEXT, place2 TEXT,
             stops INTEGER, km REAL, fpi INTEGER, stoptime REAL, travelmins REAL))",
        "CREATE INDEX route_place2 ON route (place2)",
        R"(CREATE TABLE path_order (
             route_id INTEGER NOT NULL REFERENCES route (route_id) ON DELETE CASCADE,
             sequence_no INTEGER NOT NULL, reid INTEGER NOT NULL REFERENCES route_element (reid),
             PRIMARY KEY (route_id, sequence_no)))",
        "CREATE INDEX path_order_reid ON path_order (reid, route_id, sequence_no)",
        R"(CREATE TABLE route_frequency (
             route_id INTEGER NOT NULL REFERENCES route (route_id) ON DELETE CASCADE,
             day INTEGER NOT NULL, frequency REAL, hour INTEGER, minute INTEGER,
             PRIMARY KEY (route_id, day)))",
        R"(CREATE TABLE service_class (
             route_id INTEGER NOT NULL REFERENCES route (route_id) ON DELETE CASCADE,
             day INTEGER NOT NULL, class INTEGER NOT NULL))",
        "CREATE INDEX service_class_route ON service_class (route_id, class, day)",
        R"(CREATE TABLE bus_info (registration TEXT PRIMARY KEY, type INTEGER NOT NULL,
             total_seats INTEGER NOT NULL))",
        "CREATE INDEX bus_info_type ON bus_info (type)",
        R"(CREATE TABLE bus_stand (stand_id INTEGER PRIMARY KEY, city TEXT NOT NULL,
             location TEXT))",
        "CREATE INDEX bus_stand_city ON bus_stand (city)",
        R"(CREATE TABLE bus_instance (instance_id INTEGER PRIMARY KEY,
             bus_id INTEGER NOT NULL REFERENCES route (route_id) ON DELETE CASCADE,
             dep_date DATE NOT NULL, status TEXT, stand_id INTEGER, registration TEXT,
             class INTEGER, free_seats INTEGER))",
        "CREATE INDEX bus_instance_route ON bus_instance (bus_id, class, dep_date)",
        "CREATE INDEX bus_instance_vehicle ON bus_instance (registration, dep_date)",
        // the phone is text, kept as typed: a leading zero or + is part of the number
        R"(CREATE TABLE customer (customer_id INTEGER PRIMARY KEY, instance_id INTEGER,
             journey_date DATE, name TEXT, age NUMERIC, phone TEXT, gender TEXT,
             origin TEXT, destin TEXT, fare REAL))",
        "CREATE INDEX customer_instance ON customer (instance_id)",
        R"(CREATE TABLE seat_matrix (
             instance_id INTEGER NOT NULL REFERENCES bus_instance (instance_id) ON DELETE CASCADE,
             seat_no INTEGER NOT NULL, route_sequence1 INTEGER NOT NULL,
             route_sequence2 INTEGER NOT NULL,
             customer_id INTEGER NOT NULL REFERENCES customer (customer_id),
             status TEXT, CHECK (route_sequence1 <= route_sequence2)))",
        "CREATE INDEX seat_matrix_seat ON seat_matrix (instance_id, seat_no)",
        "CREATE INDEX seat_matrix_customer ON seat_matrix (customer_id)",
        // the seat rule: one seat of one run is held at most once on any segment
        R"(CREATE TRIGGER seat_matrix_taken BEFORE INSERT ON seat_matrix
             WHEN EXISTS (SELECT 1 FROM seat_matrix s WHERE s.instance_id = NEW.instance_id
                          AND s.seat_no = NEW.seat_no
                          AND s.route_sequence1 <= NEW.route_sequence2
                          AND s.route_sequence2 >= NEW.route_sequence1)
           BEGIN SELECT RAISE(ABORT, 'ORA-20001: seat already held on this stretch'); END)",
        R"(CREATE TRIGGER seat_matrix_taken_update BEFORE UPDATE ON seat_matrix
             WHEN EXISTS (SELECT 1 FROM seat_matrix s WHERE s.rowid <> OLD.rowid
                          AND s.instance_id = NEW.instance_id AND s.seat_no = NEW.seat_no
                          AND s.route_sequence1 <= NEW.route_sequence2
                          AND s.route_sequence2 >= NEW.route_sequence1)
           BEGIN SELECT RAISE(ABORT, 'ORA-20001: seat already held on this stretch'); END)",
        "CREATE TABLE tempbusroute (seat_no INTEGER, line TEXT)",
        "CREATE TABLE test1 (c_id INTEGER, c_name TEXT)",

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
    s += embeddedRulesStatements();
    for (const SequenceStart &seq : kSequences)
        s << QStringLiteral("INSERT INTO nbk_sequence (name, value) VALUES ('%1', %2)")
                 .arg(QLatin1String(seq.name))
                 .arg(seq.start - 1);
    return s;
}

}  // namespace nbk::data::schema
