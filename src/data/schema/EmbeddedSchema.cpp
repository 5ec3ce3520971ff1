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

// A customer row this transaction made: the trail holds its insert under the
// transaction's number. Only such a row is a booking still being made.
QString madeHere(const QString &customerId)
{
    return QStringLiteral("EXISTS (SELECT 1 FROM nbk_audit a WHERE a.customer_id = %1 AND a.txid = nbk_txid() "
                          "AND a.table_name = 'customer' AND a.action = 'INSERT')")
        .arg(customerId);
}

// The seat and stretch of a seat row: a seat of the run's vehicle, segments of its route.
const char *const kSeatPlace = R"(
  SELECT RAISE(ABORT, 'ORA-20005: the seat number is not a seat of the run''s vehicle')
   WHERE typeof(NEW.seat_no) <> 'integer'
      OR NOT coalesce((SELECT NEW.seat_no BETWEEN 1 AND b.total_seats FROM bus_instance bi
                         JOIN bus_info b ON b.registration = bi.registration
                        WHERE bi.instance_id = NEW.instance_id), 0);
  SELECT RAISE(ABORT, 'ORA-20005: the stretch is not within the stops of the run''s route')
   WHERE NOT EXISTS (SELECT 1 FROM bus_instance bi
                       JOIN path_order p1 ON p1.route_id = bi.bus_id AND p1.sequence_no = NEW.route_sequence1
                       JOIN path_order p2 ON p2.route_id = bi.bus_id AND p2.sequence_no = NEW.route_sequence2
                      WHERE bi.instance_id = NEW.instance_id);)";

// The value rules of one table as statements of a trigger's body; on an update only the
// columns changed are checked.
QString valueChecks(const Table &t, bool update)
{
    QString body;
    for (const ValueRule &r : valueRules(t)) {
        const QString v = QStringLiteral("NEW.%1").arg(QLatin1String(r.column));
        const QString where = update ? QStringLiteral("%1 IS NOT OLD.%2 AND ").arg(v, QLatin1String(r.column)) : QString();
        const QString name = QStringLiteral("%1.%2").arg(QLatin1String(t.name), QLatin1String(r.column));
        if (r.type == Type::Text) {
            body += QStringLiteral(" SELECT RAISE(ABORT, 'ORA-12899: value too large for column %1 (at most %2 "
                                   "characters)') WHERE %3(typeof(%4) = 'blob' OR length(%4) > %2);")
                        .arg(name)
                        .arg(r.maxChars)
                        .arg(where, v);
            body += QStringLiteral(" SELECT RAISE(ABORT, 'ORA-02290: check constraint violated - %1 holds a control "
                                   "character') WHERE %2%3;")
                        .arg(name, where, holdsControlCharacter(v, EngineKind::Sqlite));
        } else {
            body += QStringLiteral(" SELECT RAISE(ABORT, 'ORA-02290: check constraint violated - %1 must be a "
                                   "number from %2 to %3') WHERE %4%5 IS NOT NULL AND (typeof(%5) NOT IN "
                                   "('integer', 'real') OR NOT (%5 BETWEEN %2 AND %3));")
                        .arg(name)
                        .arg(r.min, 0, 'g', 17)
                        .arg(r.max, 0, 'g', 17)
                        .arg(where, v);
        }
    }
    return body;
}

QString keyOf(const Table &t, const QString &row)
{
    QStringList parts;
    for (const char *k : t.auditKey)
        parts << QStringLiteral("coalesce(%1.%2, '')").arg(row, QLatin1String(k));
    return parts.join(QStringLiteral(" || '/' || "));
}

// The file's clock as the corporation's wall clock (its zone is nbk_settings'), the clock
// its departures are written in, in the file's days: the machine's own zone moves no
// hour before a departure.
const char *const kNow = "nbk_trail_now()";

// The share of the fare a cancellation of booking `cid` retains now: the slab of the
// schedule sold with it whose hours before the departure have been reached, all of it
// below the lowest slab, 0 when the booking was sold without charges.
QString chargeShare(const QString &cid)
{
    return QStringLiteral("coalesce((SELECT CASE WHEN st.slabs_from IS NULL THEN 0 ELSE coalesce((SELECT s.retained_share "
                          "FROM cancel_slab s WHERE s.effective_from = st.slabs_from AND s.hours_before <= "
                          "(c.journey_date - %2) * 24 ORDER BY s.hours_before DESC LIMIT 1), 1) END "
                          "FROM sale_terms st JOIN customer c ON c.customer_id = st.customer_id "
                          "WHERE st.customer_id = %1), 0)")
        .arg(cid, QLatin1String(kNow));
}

// Whether the fare of `cid` may go from OLD.fare to `after` in this transaction: a booking
// sold without charges, or being made, or with the charge row of that change recorded.
QString refundAllowed(const QString &after)
{
    return QStringLiteral("(nbk_role() = 'owner' OR NOT EXISTS (SELECT 1 FROM sale_terms st WHERE st.customer_id = "
                          "OLD.customer_id AND st.slabs_from IS NOT NULL) OR %1 OR EXISTS (SELECT 1 FROM nbk_audit a "
                          "WHERE a.customer_id = OLD.customer_id AND a.txid = nbk_txid() AND a.table_name = "
                          "'cancel_charge' AND a.action = 'INSERT' AND abs(json_extract(a.new_values, '$.fare_before') "
                          "- OLD.fare) <= 0.001 AND abs(json_extract(a.new_values, '$.fare_after') - (%2)) <= 0.001))")
        .arg(madeHere(QStringLiteral("OLD.customer_id")), after);
}

QStringList chargeTriggerStatements()
{
    const QString now = QLatin1String(kNow);
    const char *const refused = "SELECT RAISE(ABORT, 'ORA-20008: the fare is given back without the charge of its "
                                "slab recorded');";
    return {
        // a customer row made is a sale: the schedule of charges then in force goes with it
        QStringLiteral("CREATE TRIGGER customer_sale_terms AFTER INSERT ON customer BEGIN "
                       "INSERT OR REPLACE INTO sale_terms (customer_id, sold_at, slabs_from) VALUES (NEW.customer_id, "
                       "%1, (SELECT max(effective_from) FROM cancel_slab WHERE effective_from <= %1)); END")
            .arg(now),
        // a charge row states the cancellation it goes with, before the fare and seats
        // change, and refunds no more than the slab allows
        QStringLiteral("CREATE TRIGGER cancel_charge_row BEFORE INSERT ON cancel_charge WHEN nbk_role() <> 'owner' "
                       "BEGIN SELECT RAISE(ABORT, 'ORA-20008: no such cancellation of the customer''s seats and fare') "
                       "WHERE NOT coalesce((SELECT n > 0 AND NEW.seats BETWEEN 1 AND n AND abs(NEW.fare_before - f) "
                       "<= 0.001 AND (abs(NEW.fare_after - (f - NEW.seats * (f * 1.0 / n))) <= 0.001 "
                       // concession seats: the fares of the seats cancelled, checked at the commit
                       "OR (EXISTS (SELECT 1 FROM seat_category sc WHERE sc.customer_id = NEW.customer_id) "
                       "AND NEW.fare_after BETWEEN 0 AND f)) FROM (SELECT "
                       "c.fare AS f, (SELECT count(*) FROM seat_matrix sm WHERE sm.customer_id = c.customer_id) AS n "
                       "FROM customer c WHERE c.customer_id = NEW.customer_id)), 0); "
                       "SELECT RAISE(ABORT, 'ORA-20008: the charge retained is not the charge of the slab') "
                       "FROM (SELECT %1 AS sh, NEW.fare_before - NEW.fare_after AS r) "
                       "WHERE abs(NEW.retained_share - sh) > 1e-9 OR NEW.retained < r * sh - 0.005 "
                       "OR NEW.retained > r + 0.005 OR abs(NEW.refunded - (r - NEW.retained)) > 0.005; END")
            .arg(chargeShare(QStringLiteral("NEW.customer_id"))),
        QStringLiteral("CREATE TRIGGER cancel_charge_kept BEFORE UPDATE ON cancel_charge WHEN nbk_role() <> 'owner' "
                       "BEGIN SELECT RAISE(ABORT, 'ORA-20008: a cancellation''s charge is kept as it was recorded'); END"),
        QStringLiteral("CREATE TRIGGER cancel_charge_kept_delete BEFORE DELETE ON cancel_charge WHEN nbk_role() <> "
                       "'owner' BEGIN SELECT RAISE(ABORT, 'ORA-20008: a cancellation''s charge is kept as it was "
                       "recorded'); END"),
        // a booking sold with charges gives back fare only with its charge recorded
        QStringLiteral("CREATE TRIGGER customer_refund BEFORE UPDATE OF fare ON customer WHEN NEW.fare < OLD.fare "
                       "AND NOT %1 BEGIN %2 END")
            .arg(refundAllowed(QStringLiteral("NEW.fare")), QLatin1String(refused)),
        QStringLiteral("CREATE TRIGGER customer_refund_delete BEFORE DELETE ON customer WHEN NOT %1 BEGIN %2 END")
            .arg(refundAllowed(QStringLiteral("0")), QLatin1String(refused)),
        // a shift's close is the login's own, and stays as it was written
        QStringLiteral("CREATE TRIGGER shift_close_own BEFORE INSERT ON shift_close WHEN nbk_role() <> 'owner' "
                       "AND lower(NEW.login) <> lower(nbk_login()) BEGIN SELECT RAISE(ABORT, 'ORA-20009: a shift is "
                       "closed by its own login, once, and never changed'); END"),
        QStringLiteral("CREATE TRIGGER shift_close_kept BEFORE UPDATE ON shift_close WHEN nbk_role() <> 'owner' "
                       "BEGIN SELECT RAISE(ABORT, 'ORA-20009: a shift is closed by its own login, once, and never "
                       "changed'); END"),
        QStringLiteral("CREATE TRIGGER shift_close_kept_delete BEFORE DELETE ON shift_close WHEN nbk_role() <> "
                       "'owner' BEGIN SELECT RAISE(ABORT, 'ORA-20009: a shift is closed by its own login, once, and "
                       "never changed'); END"),
        // a schedule in force stays as it is: bookings sold under it keep its charges
        QStringLiteral("CREATE TRIGGER cancel_slab_kept BEFORE INSERT ON cancel_slab WHEN nbk_role() <> 'owner' "
                       "AND NEW.effective_from <= %1 BEGIN SELECT RAISE(ABORT, 'ORA-20008: the cancellation charges "
                       "of that date are in force and kept as they are'); END")
            .arg(now),
        QStringLiteral("CREATE TRIGGER cancel_slab_kept_update BEFORE UPDATE ON cancel_slab WHEN nbk_role() <> 'owner' "
                       "AND (OLD.effective_from <= %1 OR NEW.effective_from <= %1) BEGIN SELECT RAISE(ABORT, "
                       "'ORA-20008: the cancellation charges of that date are in force and kept as they are'); END")
            .arg(now),
        QStringLiteral("CREATE TRIGGER cancel_slab_kept_delete BEFORE DELETE ON cancel_slab WHEN nbk_role() <> 'owner' "
                       "AND OLD.effective_from <= %1 BEGIN SELECT RAISE(ABORT, 'ORA-20008: the cancellation charges "
                       "of that date are in force and kept as they are'); END")
            .arg(now),
    };
}

}  // namespace

QStringList embeddedAuditTableStatements()
{
    QStringList s = {
        // the audit trail, as on the server; the session's login and program come from the
        // functions every connection registers, its time is the engine's own clock in UTC
        // (nbk_trail_local reads it in the corporation's zone)
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
    // Seat rows: a seat of the vehicle on a stretch of the route, for everyone. A session
    // adds seats only to the booking it is making, and never rewrites one: seats are given
    // back by a cancellation (the file's owner repairs).
    s << QStringLiteral("CREATE TRIGGER seat_matrix_place BEFORE INSERT ON seat_matrix BEGIN %1 "
                        "SELECT RAISE(ABORT, 'ORA-20006: a booking takes no seats after its commit') "
                        "WHERE nbk_role() <> 'owner' AND NOT %2; END")
             .arg(QLatin1String(kSeatPlace), madeHere(QStringLiteral("NEW.customer_id")))
      << QStringLiteral("CREATE TRIGGER seat_matrix_place_update BEFORE UPDATE ON seat_matrix BEGIN "
                        "SELECT RAISE(ABORT, 'ORA-20006: seat rows are given back by a cancellation, never rewritten') "
                        "WHERE nbk_role() <> 'owner'; %1 END")
             .arg(QLatin1String(kSeatPlace));
    // A booking keeps its run, journey date and stretch after its commit, and its passenger
    // too but for the supervisor's correction of name, phone, age and gender (the trail
    // keeps both values); a row is not replaced under its key either (REPLACE, whose
    // deletion fires no trigger).
    s << QStringLiteral("CREATE TRIGGER customer_booked BEFORE UPDATE ON customer "
                        "WHEN nbk_role() <> 'owner' "
                        "AND (NEW.customer_id IS NOT OLD.customer_id OR NEW.instance_id IS NOT OLD.instance_id "
                        "OR NEW.journey_date IS NOT OLD.journey_date OR NEW.origin IS NOT OLD.origin "
                        "OR NEW.destin IS NOT OLD.destin OR (nbk_role() <> 'supervisor' AND (NEW.name IS NOT OLD.name "
                        "OR NEW.age IS NOT OLD.age OR NEW.phone IS NOT OLD.phone OR NEW.gender IS NOT OLD.gender))) "
                        "AND NOT %1 BEGIN SELECT RAISE(ABORT, 'ORA-20006: a booking keeps its journey and passenger "
                        "after its commit; only a cancellation changes it'); END")
             .arg(madeHere(QStringLiteral("OLD.customer_id")))
      << QStringLiteral("CREATE TRIGGER customer_booked_insert BEFORE INSERT ON customer "
                        "WHEN EXISTS (SELECT 1 FROM customer c WHERE c.customer_id = NEW.customer_id) "
                        "BEGIN SELECT RAISE(ABORT, 'ORA-00001: unique constraint (CUSTOMER.CUSTOMER_ID) violated'); END");
    // Ids: no session takes an id its sequence has not given out (see kDrawnIds).
    for (const auto &[table, column, sequence] : kDrawnIds)
        s << QStringLiteral("CREATE TRIGGER %1_drawn BEFORE INSERT ON %1 WHEN nbk_role() <> 'owner' "
                            "AND NOT NEW.%2 <= (SELECT value FROM nbk_sequence WHERE name = '%3') "
                            "BEGIN SELECT RAISE(ABORT, 'ORA-20008: a new %1 row takes an id drawn from %3'); END")
                 .arg(QLatin1String(table), QLatin1String(column), QLatin1String(sequence));
    // A concession seat is sold with its booking, for a seat of it, at its category's share
    // and for an age the category takes; the fare rule checks its fare at the commit.
    s << QStringLiteral("CREATE TRIGGER seat_category_sold BEFORE INSERT ON seat_category WHEN nbk_role() <> 'owner' "
                        "BEGIN SELECT RAISE(ABORT, 'ORA-20004: a concession is sold with its booking, not after it') "
                        "WHERE NOT %1; "
                        "SELECT RAISE(ABORT, 'ORA-20004: a concession is for a seat of the booking') "
                        "WHERE NOT EXISTS (SELECT 1 FROM seat_matrix sm WHERE sm.customer_id = NEW.customer_id "
                        "AND sm.seat_no = NEW.seat_no); "
                        "SELECT RAISE(ABORT, 'ORA-20004: the category does not give that share to a passenger of "
                        "that age') WHERE NOT EXISTS (SELECT 1 FROM fare_category fc WHERE fc.category = NEW.category "
                        "AND abs(fc.share - NEW.share) <= 1e-9 AND NEW.age BETWEEN fc.min_age AND fc.max_age); END")
             .arg(madeHere(QStringLiteral("NEW.customer_id")))
      << QStringLiteral("CREATE TRIGGER seat_category_kept BEFORE UPDATE ON seat_category WHEN nbk_role() <> 'owner' "
                        "BEGIN SELECT RAISE(ABORT, 'ORA-20004: a concession seat is kept as it was sold'); END");
    s += chargeTriggerStatements();
    // the corporation's zone is one the engine knows, whoever writes it (nbk_trail_local)
    for (const char *when : {"INSERT", "UPDATE OF zone"})
        s << QStringLiteral("CREATE TRIGGER settings_zone_known%1 BEFORE %2 ON nbk_settings WHEN NOT nbk_zone_known(NEW.zone) "
                            "BEGIN SELECT RAISE(ABORT, 'ORA-20012: that is no time zone the database knows (a name "
                            "such as Asia/Kolkata)'); END")
                 .arg(qstrcmp(when, "INSERT") == 0 ? QString() : QStringLiteral("_update"), QLatin1String(when));
    for (const Table &t : tables()) {
        if (valueRules(t).empty())
            continue;
        s << QStringLiteral("CREATE TRIGGER %1_values_insert BEFORE INSERT ON %1 BEGIN%2 END")
                 .arg(QLatin1String(t.name), valueChecks(t, false))
          << QStringLiteral("CREATE TRIGGER %1_values_update BEFORE UPDATE ON %1 BEGIN%2 END")
                 .arg(QLatin1String(t.name), valueChecks(t, true));
    }
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
                                "julianday(strftime('%Y-%m-%d %H:%M:%S', 'now')) - 2415018.5, "
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
    s << QStringLiteral("INSERT INTO nbk_lock VALUES (0)") << QLatin1String(kSettingsRow);
    s += embeddedAuditTableStatements() + embeddedTriggerStatements();
    for (const SequenceStart &seq : kSequences)
        s << QStringLiteral("INSERT INTO nbk_sequence (name, value) VALUES ('%1', %2)")
                 .arg(QLatin1String(seq.name))
                 .arg(seq.start - 1);
    return s;
}

}  // namespace nbk::data::schema
