#include "data/schema/Schema.h"
#include "data/definition/Definition.h"

namespace nbk::data::schema {

namespace {

// Dates are kept as days since 30 December 1899 (see OracleDate); SQLite's date functions
// count Julian days.
const char *const kJulianOfDayZero = "2415018.5";

// The row as JSON text with dates as the server writes them (2003-03-05T23:50:00).
QString jsonOf(const Table &t, const QString &row)
{
    QStringList pairs;
    for (const Column &column : t.columns) {
        const bool date = column.type == Type::Date;
        const QString c = QLatin1String(column.name);
        pairs << QStringLiteral("'%1'").arg(c)
              << (date ? QStringLiteral("strftime('%Y-%m-%dT%H:%M:%S', %1.%2 + %3)").arg(row, c, QLatin1String(kJulianOfDayZero))
                       : QStringLiteral("%1.%2").arg(row, c));
    }
    return QStringLiteral("json_object(%1)").arg(pairs.join(QStringLiteral(", ")));
}

QString keyOf(const Table &t, const QString &row)
{
    QStringList parts;
    for (const char *k : t.auditKey)
        parts << QStringLiteral("coalesce(%1.%2, '')").arg(row, QLatin1String(k));
    return parts.join(QStringLiteral(" || '/' || "));
}

}  // namespace

QStringList embeddedAuditTableStatements()
{
    QStringList s = {
        // the audit trail, as on the server; the session's login and program come from the
        // functions every connection registers
        R"(CREATE TABLE nbk_audit (audit_id INTEGER PRIMARY KEY, changed_at DATE NOT NULL,
             txid INTEGER NOT NULL, login TEXT NOT NULL, table_name TEXT NOT NULL, action TEXT NOT NULL,
             row_key TEXT NOT NULL, customer_id INTEGER, old_values TEXT, new_values TEXT,
             client_addr TEXT, application_name TEXT))",
    };
    for (const Index &i : indexes())
        if (QLatin1String(i.table) == QLatin1String("nbk_audit") && carries(i.on, EngineKind::Sqlite))
            s << createIndex(i, EngineKind::Sqlite);
    return s;
}

QStringList embeddedTriggerStatements()
{
    QStringList s = {
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
    };
    for (const Table &t : tables()) {
        if (t.auditKey.empty())
            continue;
        bool customer = false;
        for (const Column &c : t.columns)
            customer = customer || qstrcmp(c.name, "customer_id") == 0;
        for (const char *action : {"INSERT", "UPDATE", "DELETE"}) {
            const bool insert = qstrcmp(action, "INSERT") == 0, del = qstrcmp(action, "DELETE") == 0;
            const QString row = del ? QStringLiteral("OLD") : QStringLiteral("NEW");
            s << QStringLiteral("CREATE TRIGGER %1_audit_%2 AFTER %3 ON %1 BEGIN "
                                "INSERT INTO nbk_audit (changed_at, txid, login, table_name, action, row_key, "
                                "customer_id, old_values, new_values, client_addr, application_name) VALUES ("
                                "julianday(strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime')) - 2415018.5, "
                                "nbk_txid(), "
                                "nbk_login(), '%1', '%3', %4, %5, %6, %7, NULL, nbk_application()); END")
                     .arg(QLatin1String(t.name), QString::fromLatin1(action).toLower(), QLatin1String(action),
                          keyOf(t, row), customer ? row + QStringLiteral(".customer_id") : QStringLiteral("NULL"),
                          insert ? QStringLiteral("NULL") : jsonOf(t, QStringLiteral("OLD")),
                          del ? QStringLiteral("NULL") : jsonOf(t, QStringLiteral("NEW")));
        }
    }
    return s;
}

QStringList embeddedSchemaStatements()
{
    QStringList s = tableStatements(EngineKind::Sqlite) + indexStatements(EngineKind::Sqlite)
                    + viewStatements(EngineKind::Sqlite);
    s << QStringLiteral("INSERT INTO nbk_lock VALUES (0)");
    s += embeddedAuditTableStatements() + embeddedTriggerStatements();
    for (const SequenceStart &seq : kSequences)
        s << QStringLiteral("INSERT INTO nbk_sequence (name, value) VALUES ('%1', %2)")
                 .arg(QLatin1String(seq.name))
                 .arg(seq.start - 1);
    return s;
}

}  // namespace nbk::data::schema
