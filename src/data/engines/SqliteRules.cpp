#include "data/engines/SqliteRules.h"
#include "data/definition/Definition.h"
#include "data/dialect/OracleDate.h"

#include <QCoreApplication>
#include <QHash>
#include <QMutex>
#include <QDateTime>
#include <QFile>
#include <QTimeZone>
#include <cmath>
#include <sqlite3.h>

namespace nbk::data::sqliterules {

namespace {

struct Session {
    QByteArray login = "owner";
    QByteArray application;
    qint64 txid = 0;
    bool loggedIn = false;
    bool supervisor = false;
    bool trusted = false;  // the engine's own bookkeeping statements
    // The rules' own statements, compiled once per connection (by their text's address:
    // each is a constant) instead of at every commit, draw and trail row; finalized
    // before the connection closes (release()).
    QHash<const char *, sqlite3_stmt *> statements;
};

QMutex sessionsMutex;
QHash<sqlite3 *, Session *> sessions;

Session *stateOf(sqlite3 *db)
{
    QMutexLocker lock(&sessionsMutex);
    return sessions.value(db);
}

void finalizeAll(Session *s)
{
    for (sqlite3_stmt *st : std::as_const(s->statements))
        sqlite3_finalize(st);
    s->statements.clear();
}

void dropState(void *p)
{
    auto *s = static_cast<Session *>(p);
    finalizeAll(s);
    QMutexLocker lock(&sessionsMutex);
    for (auto it = sessions.begin(); it != sessions.end();) {
        if (it.value() == s)
            it = sessions.erase(it);
        else
            ++it;
    }
    delete s;
}

// Runs the engine's own statements past the authorizer.
struct Trusted {
    explicit Trusted(Session *s) : s_(s), was_(s->trusted) { s_->trusted = true; }
    ~Trusted() { s_->trusted = was_; }
    Session *s_;
    bool was_;
};

// A rules' statement of constant text: the connection's compiled one when it is free,
// reset and unbound again when done; else compiled for this use alone.
class Stmt {
public:
    Stmt(sqlite3 *db, const char *sql)
    {
        // a logged-in session's connection only: it is closed by the engine, which releases them
        Session *s = stateOf(db);
        if (s && s->loggedIn) {
            sqlite3_stmt *kept = s->statements.value(sql);
            if (kept && !sqlite3_stmt_busy(kept)) {
                st_ = kept;
                kept_ = true;
                ok_ = true;
                return;
            }
            if (!kept) {
                ok_ = sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &st_, nullptr) == SQLITE_OK && st_;
                if (ok_) {
                    s->statements.insert(sql, st_);
                    kept_ = true;
                }
                return;
            }
        }
        ok_ = sqlite3_prepare_v2(db, sql, -1, &st_, nullptr) == SQLITE_OK;
    }
    ~Stmt()
    {
        if (kept_) {
            sqlite3_reset(st_);
            sqlite3_clear_bindings(st_);
        } else {
            sqlite3_finalize(st_);
        }
    }
    Stmt(const Stmt &) = delete;
    Stmt &operator=(const Stmt &) = delete;
    Stmt &bind(int i, qint64 v)
    {
        sqlite3_bind_int64(st_, i, v);
        return *this;
    }
    Stmt &bindText(int i, const QByteArray &v)
    {
        sqlite3_bind_text(st_, i, v.constData(), int(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    bool row() { return ok_ && sqlite3_step(st_) == SQLITE_ROW; }
    bool isNull(int i) const { return sqlite3_column_type(st_, i) == SQLITE_NULL; }
    QString text(int i) const
    {
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st_, i)),
                                 sqlite3_column_bytes(st_, i));
    }
    qint64 integer(int i) const { return sqlite3_column_int64(st_, i); }
    double real(int i) const { return sqlite3_column_double(st_, i); }
    bool ok() const { return ok_; }

private:
    sqlite3_stmt *st_ = nullptr;
    bool ok_ = false;
    bool kept_ = false;
};

void resultBytes(sqlite3_context *ctx, const QByteArray &b)
{
    sqlite3_result_text(ctx, b.constData(), int(b.size()), SQLITE_TRANSIENT);
}

void fnLogin(sqlite3_context *ctx, int, sqlite3_value **)
{
    resultBytes(ctx, static_cast<Session *>(sqlite3_user_data(ctx))->login);
}

// 1 for a supervisor's session or the file's owner (no login): who may read every login's
// rows where a statement asks.
void fnSupervisor(sqlite3_context *ctx, int, sqlite3_value **)
{
    const auto *s = static_cast<const Session *>(sqlite3_user_data(ctx));
    sqlite3_result_int(ctx, !s->loggedIn || s->supervisor ? 1 : 0);
}

// Who the session is, for the rules that tell the supervisor's correction and the owner's
// repair from a clerk's change.
void fnRole(sqlite3_context *ctx, int, sqlite3_value **)
{
    const auto *s = static_cast<const Session *>(sqlite3_user_data(ctx));
    sqlite3_result_text(ctx, !s->loggedIn ? "owner" : s->supervisor ? "supervisor" : "clerk", -1, SQLITE_STATIC);
}

void fnApplication(sqlite3_context *ctx, int, sqlite3_value **)
{
    resultBytes(ctx, static_cast<Session *>(sqlite3_user_data(ctx))->application);
}

// One number per transaction: the next after the trail's highest, taken under the write
// lock that the audited change already holds.
void fnTxid(sqlite3_context *ctx, int, sqlite3_value **)
{
    auto *s = static_cast<Session *>(sqlite3_user_data(ctx));
    if (s->txid == 0) {
        Stmt next(sqlite3_context_db_handle(ctx), "SELECT coalesce(max(txid), 0) + 1 FROM nbk_audit");
        if (next.row())
            s->txid = next.integer(0);
    }
    sqlite3_result_int64(ctx, s->txid);
}

// Whether the zone named is one of the zones nbk_trail_local turns times with: Qt reads a
// name it finds no zone data for as a POSIX rule ("Nowhere" is UTC under another name),
// so a name must be one of its zones or a file of the zone data (an alias such as
// Etc/GMT-14 or Asia/Calcutta).
bool zoneKnown(const QByteArray &name)
{
    if (name.isEmpty() || !QTimeZone(name).isValid())
        return false;
    if (QTimeZone::isTimeZoneIdAvailable(name))
        return true;
    if (name.startsWith('/') || name.contains("..") || name.contains('\\'))
        return false;
    for (const QString &dir : {qEnvironmentVariable("TZDIR"), QStringLiteral("/usr/share/zoneinfo"),
                               QStringLiteral("/usr/lib/zoneinfo"), QStringLiteral("/usr/share/lib/zoneinfo")}) {
        QFile f(dir + QLatin1Char('/') + QString::fromUtf8(name));
        if (!dir.isEmpty() && f.open(QIODevice::ReadOnly) && f.read(4) == "TZif")
            return true;
    }
    return false;
}

// The corporation's zone (nbk_settings), read for the trail's day; empty when the file has
// no settings or names a zone this machine does not know.
QTimeZone corporationZone(sqlite3 *db)
{
    Trusted own(stateOf(db));
    Stmt zone(db, "SELECT zone FROM main.nbk_settings");
    if (!zone.row())
        return QTimeZone();
    const QByteArray name = zone.text(0).toUtf8();
    // every trigger's clock asks: the zone data is read and the name checked once per name
    thread_local QByteArray lastName;
    thread_local QTimeZone lastZone;
    thread_local bool looked = false;
    if (!looked || name != lastName) {
        lastZone = zoneKnown(name) ? QTimeZone(name) : QTimeZone();
        lastName = name;
        looked = true;
    }
    return lastZone;
}

// The trail keeps the engine's own time (UTC, in the file's days); the day statement and
// the trail's tool read it as the corporation's wall clock. toLocal: UTC to the zone's
// wall clock; else a wall-clock time of the zone to UTC.
void trailTime(sqlite3_context *ctx, double days, bool toLocal)
{
    const QTimeZone zone = corporationZone(sqlite3_context_db_handle(ctx));
    if (!zone.isValid()) {
        sqlite3_result_error(ctx, "ORA-20010: the database names no time zone this program knows (nbk_settings)", -1);
        return;
    }
    const QDateTime t = fromDayNumber(days);
    const QDateTime out = toLocal ? QDateTime(t.date(), t.time(), QTimeZone::utc()).toTimeZone(zone)
                                  : QDateTime(t.date(), t.time(), zone).toUTC();
    sqlite3_result_double(ctx, toDayNumber(QDateTime(out.date(), out.time())));
}

void trailValue(sqlite3_context *ctx, sqlite3_value *v, bool toLocal)
{
    if (sqlite3_value_type(v) == SQLITE_NULL)
        sqlite3_result_null(ctx);
    else
        trailTime(ctx, sqlite3_value_double(v), toLocal);
}

void fnTrailLocal(sqlite3_context *ctx, int, sqlite3_value **argv) { trailValue(ctx, argv[0], true); }
void fnTrailFrom(sqlite3_context *ctx, int, sqlite3_value **argv) { trailValue(ctx, argv[0], false); }

// The corporation's wall clock now, to the second (its "today").
void fnTrailNow(sqlite3_context *ctx, int, sqlite3_value **)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    trailTime(ctx, toDayNumber(QDateTime(now.date(), QTime(now.time().hour(), now.time().minute(), now.time().second()))),
              true);
}

void fnZoneKnown(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const auto *name = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    sqlite3_result_int(ctx, name && zoneKnown(QByteArray(name)) ? 1 : 0);
}

double seatFare(double km, double fuel, double classMultiplier, double base)
{
    const double a = std::nearbyint(km * fuel);
    const double b = std::nearbyint(km * classMultiplier + a);
    return std::nearbyint(b + base);
}

int endOfTransaction(void *p)
{
    static_cast<Session *>(p)->txid = 0;
    return 0;
}

void rolledBack(void *p) { static_cast<Session *>(p)->txid = 0; }

bool named(const char *value, const char *name) { return value && qstricmp(value, name) == 0; }

int authorize(void *p, int action, const char *a1, const char *a2, const char *, const char *trigger)
{
    const auto *s = static_cast<const Session *>(p);
    if (s->trusted)
        return SQLITE_OK;
    switch (action) {
    case SQLITE_READ:
        return named(a1, "nbk_account") ? SQLITE_DENY : SQLITE_OK;
    case SQLITE_INSERT:
    case SQLITE_UPDATE:
    case SQLITE_DELETE: {
        if (named(a1, "nbk_account"))
            return SQLITE_DENY;
        // written by the schema's triggers and the session's own bookkeeping only
        if (named(a1, "nbk_audit") || named(a1, "sale_terms") || named(a1, "nbk_touched_run") || named(a1, "nbk_touched_customer"))
            return trigger ? SQLITE_OK : SQLITE_DENY;
        // the file's own bookkeeping: written by the draw of an id and the lock of FOR
        // UPDATE only, which run as the engine's own (trusted) statements
        if (named(a1, "nbk_sequence") || named(a1, "nbk_lock") || named(a1, "nbk_draws"))
            return SQLITE_DENY;
        // The file's supervisor is also the one who sets it up (vehicles, stands, the load
        // driver's network), which on the server is the owner's work.
        if (s->supervisor)
            return SQLITE_OK;
        // a clerk: the same rights the server grants the clerks, from the one definition
        const schema::Group group = schema::Group::Clerk;
        const QString table = QString::fromUtf8(a1);
        const QString privilege = action == SQLITE_INSERT   ? QStringLiteral("INSERT")
                                  : action == SQLITE_UPDATE ? QStringLiteral("UPDATE")
                                                            : QStringLiteral("DELETE");
        if (schema::allows(group, privilege, table, a2 ? QString::fromUtf8(a2) : QString()))
            return SQLITE_OK;
        // The server's cascades run with the owner's rights; here the authorizer cannot tell
        // a key's cascade (a route deleted with its runs) from a delete of its own, so the
        // rows a cascade may reach may be deleted (the supervisor's runs and their seats).
        return action == SQLITE_DELETE && schema::reachedByCascade(group, table) ? SQLITE_OK : SQLITE_DENY;
    }
    case SQLITE_CREATE_INDEX:
    case SQLITE_CREATE_TABLE:
    case SQLITE_CREATE_TEMP_INDEX:
    case SQLITE_CREATE_TEMP_TABLE:
    case SQLITE_CREATE_TEMP_TRIGGER:
    case SQLITE_CREATE_TEMP_VIEW:
    case SQLITE_CREATE_TRIGGER:
    case SQLITE_CREATE_VIEW:
    case SQLITE_CREATE_VTABLE:
    case SQLITE_DROP_INDEX:
    case SQLITE_DROP_TABLE:
    case SQLITE_DROP_TEMP_INDEX:
    case SQLITE_DROP_TEMP_TABLE:
    case SQLITE_DROP_TEMP_TRIGGER:
    case SQLITE_DROP_TEMP_VIEW:
    case SQLITE_DROP_TRIGGER:
    case SQLITE_DROP_VIEW:
    case SQLITE_DROP_VTABLE:
    case SQLITE_ALTER_TABLE:
    case SQLITE_ATTACH:
    case SQLITE_DETACH:
    // what SQLite is asked to do, whatever the words: the session's transactions are
    // opened and ended by the engine alone, which checks every commit
    case SQLITE_TRANSACTION:
    case SQLITE_SAVEPOINT:
        return SQLITE_DENY;
    case SQLITE_PRAGMA:
        // looking is harmless, and so is a session capping its own file growth; a pragma
        // that changes how the file keeps its rules (foreign_keys, writable_schema, ...) is not
        for (const char *name : {"page_count", "page_size", "freelist_count", "integrity_check", "quick_check",
                                 "table_info", "table_xinfo", "index_list", "index_info", "foreign_key_list",
                                 "database_list", "data_version", "compile_options"})
            if (named(a1, name))
                return a2 ? SQLITE_DENY : SQLITE_OK;
        return named(a1, "max_page_count") ? SQLITE_OK : SQLITE_DENY;
    default:
        return SQLITE_OK;
    }
}

const char *const kBookkeeping[] = {
    "CREATE TEMP TABLE nbk_touched_run (id INTEGER PRIMARY KEY)",
    "CREATE TEMP TABLE nbk_touched_customer (id INTEGER PRIMARY KEY)",
    "CREATE TEMP TRIGGER nbk_touch_seat_insert AFTER INSERT ON main.seat_matrix BEGIN "
    "INSERT OR IGNORE INTO nbk_touched_run VALUES (NEW.instance_id); "
    "INSERT OR IGNORE INTO nbk_touched_customer VALUES (NEW.customer_id); END",
    "CREATE TEMP TRIGGER nbk_touch_seat_delete AFTER DELETE ON main.seat_matrix BEGIN "
    "INSERT OR IGNORE INTO nbk_touched_run VALUES (OLD.instance_id); "
    "INSERT OR IGNORE INTO nbk_touched_customer VALUES (OLD.customer_id); END",
    "CREATE TEMP TRIGGER nbk_touch_seat_update AFTER UPDATE ON main.seat_matrix BEGIN "
    "INSERT OR IGNORE INTO nbk_touched_run VALUES (OLD.instance_id), (NEW.instance_id); "
    "INSERT OR IGNORE INTO nbk_touched_customer VALUES (OLD.customer_id), (NEW.customer_id); END",
    "CREATE TEMP TRIGGER nbk_touch_run_insert AFTER INSERT ON main.bus_instance BEGIN "
    "INSERT OR IGNORE INTO nbk_touched_run VALUES (NEW.instance_id); END",
    "CREATE TEMP TRIGGER nbk_touch_run_update AFTER UPDATE ON main.bus_instance BEGIN "
    "INSERT OR IGNORE INTO nbk_touched_run VALUES (NEW.instance_id); END",
    "CREATE TEMP TRIGGER nbk_touch_customer_insert AFTER INSERT ON main.customer BEGIN "
    "INSERT OR IGNORE INTO nbk_touched_customer VALUES (NEW.customer_id); END",
    "CREATE TEMP TRIGGER nbk_touch_customer_update AFTER UPDATE ON main.customer BEGIN "
    "INSERT OR IGNORE INTO nbk_touched_customer VALUES (OLD.customer_id), (NEW.customer_id); END",
};

// A concession seat written or given back changes the fare its booking owes.
const char *const kCategoryBookkeeping[] = {
    "CREATE TEMP TRIGGER nbk_touch_category_insert AFTER INSERT ON main.seat_category BEGIN "
    "INSERT OR IGNORE INTO nbk_touched_customer VALUES (NEW.customer_id); END",
    "CREATE TEMP TRIGGER nbk_touch_category_delete AFTER DELETE ON main.seat_category BEGIN "
    "INSERT OR IGNORE INTO nbk_touched_customer VALUES (OLD.customer_id); END",
};

// The file's clock as its triggers read it: the corporation's wall clock, in the file's
// days.
const char *const kNow = "nbk_trail_now()";

DbError breach(const QString &text) { return {oraNumberIn(text), text, QString()}; }

// The fare rule over one customer's seats; empty when it holds.
QString fareBreach(sqlite3 *db, qint64 cid)
{
    Stmt c(db, "SELECT c.fare, c.instance_id, count(s.seat_no), min(s.route_sequence1), max(s.route_sequence2), "
               "sum(s.instance_id <> c.instance_id) FROM customer c LEFT JOIN seat_matrix s "
               "ON s.customer_id = c.customer_id WHERE c.customer_id = ?1 GROUP BY c.customer_id");
    if (!c.bind(1, cid).row())
        return QString();  // deleted with its seats
    const double fare = c.real(0);
    const qint64 run = c.integer(1), seats = c.integer(2);
    if (seats == 0)
        return fare == 0.0 || c.isNull(0)
                   ? QString()
                   : QStringLiteral("ORA-20004: customer %1 holds no seat but owes %2").arg(cid).arg(fare);
    if (c.integer(5) != 0)
        return QStringLiteral("ORA-20004: customer %1 holds seats of another run than its own").arg(cid);
    Stmt d(db, "SELECT sum(re.km) FROM route_element re WHERE re.reid IN (SELECT po.reid FROM bus_instance bi "
               "JOIN path_order po ON po.route_id = bi.bus_id WHERE bi.instance_id = ?1 "
               "AND po.sequence_no BETWEEN ?2 AND ?3)");
    Stmt f(db, "SELECT f.multiplier, ct.multiplier, ct.base FROM bus_instance bi JOIN class_type ct "
               "ON ct.class = bi.class JOIN route r ON r.route_id = bi.bus_id JOIN fuel_index f ON f.fpi = r.fpi "
               "WHERE bi.instance_id = ?1");
    const bool known = d.bind(1, run).bind(2, c.integer(3)).bind(3, c.integer(4)).row() && !d.isNull(0)
                       && f.bind(1, run).row();
    const double seatFareNow = known ? seatFare(std::nearbyint(d.real(0)), f.real(0), f.real(1), f.real(2)) : -1.0;
    // concession seats pay their share of the adult fare, each rounded as sold
    qint64 concessions = 0;
    double concessionFares = 0;
    if (known) {
        Stmt sc(db, "SELECT sc.seat_no, sc.share, sc.fare FROM seat_category sc JOIN seat_matrix sm "
                    "ON sm.customer_id = sc.customer_id AND sm.seat_no = sc.seat_no WHERE sc.customer_id = ?1");
        sc.bind(1, cid);
        while (sc.row()) {
            const double seatWant = std::nearbyint(seatFareNow * sc.real(1));
            if (std::fabs(sc.real(2) - seatWant) > 0.001)
                return QStringLiteral("ORA-20004: fare %1 of seat %2 of customer %3 is not its share %4 of %5")
                    .arg(sc.real(2))
                    .arg(sc.integer(0))
                    .arg(cid)
                    .arg(sc.real(1))
                    .arg(seatFareNow);
            ++concessions;
            concessionFares += sc.real(2);
        }
    }
    const double want = known ? seatFareNow * double(seats - concessions) + concessionFares : -1.0;
    if (c.isNull(0) || !known || std::fabs(fare - want) > 0.001)
        return QStringLiteral("ORA-20004: fare %1 of customer %2 is not the fare %3 of its %4 seats")
            .arg(fare)
            .arg(cid)
            .arg(want)
            .arg(seats);
    return QString();
}

// A booking made in this transaction travels where its seats are: one stretch for all of
// them, the stretch's first and last stops as origin and destination, and a journey date
// on its run, from the departure to the arrival at the last stop (the route's travel time
// and halts, a day when the route has neither; two minutes for roundings). A booking made
// earlier is fixed, so only new ones are read.
QString journeyBreach(sqlite3 *db, qint64 cid)
{
    // by the customer's few trail rows (+txid: not by the transaction's, which the planner
    // cannot size)
    Stmt made(db, "SELECT 1 FROM nbk_audit WHERE customer_id = ?1 AND +txid = nbk_txid() AND table_name = 'customer' "
                  "AND action = 'INSERT'");
    if (!made.bind(1, cid).row())
        return QString();
    Stmt c(db, "WITH st AS (SELECT count(*) AS n, min(route_sequence1) AS a1, max(route_sequence1) AS b1, "
               "min(route_sequence2) AS a2, max(route_sequence2) AS b2 FROM seat_matrix WHERE customer_id = ?1) "
               "SELECT st.n, st.a1, st.b1, st.a2, st.b2, c.origin, c.destin, c.journey_date, "
               "(SELECT re.place1 FROM path_order po JOIN route_element re ON re.reid = po.reid "
               " WHERE po.route_id = bi.bus_id AND po.sequence_no = st.a1), "
               "(SELECT re.place2 FROM path_order po JOIN route_element re ON re.reid = po.reid "
               " WHERE po.route_id = bi.bus_id AND po.sequence_no = st.b2), "
               "bi.dep_date, bi.dep_date + (coalesce(CASE WHEN r.travelmins > 0 THEN r.travelmins "
               " WHEN r.km > 0 THEN r.km / 0.83334 END, 1440) + coalesce(r.stops, 0) * coalesce(r.stoptime, 0) + 2) "
               " / 1440.0 "
               "FROM st, customer c LEFT JOIN bus_instance bi ON bi.instance_id = c.instance_id "
               "LEFT JOIN route r ON r.route_id = bi.bus_id WHERE c.customer_id = ?1");
    if (!c.bind(1, cid).row() || c.integer(0) == 0)
        return QString();  // no seats: a placeholder, or a booking cancelled whole
    if (c.integer(1) != c.integer(2) || c.integer(3) != c.integer(4))
        return QStringLiteral("ORA-20007: the seats of customer %1 hold different stretches").arg(cid);
    if (c.isNull(8) || c.isNull(9) || c.text(5) != c.text(8) || c.text(6) != c.text(9))
        return QStringLiteral("ORA-20007: customer %1 travels from %2 to %3, but its seats hold %4 to %5")
            .arg(cid)
            .arg(c.text(5), c.text(6), c.text(8), c.text(9));
    if (c.isNull(7) || c.isNull(10) || c.real(7) < c.real(10) || c.real(7) > c.real(11))
        return QStringLiteral("ORA-20007: the journey date of customer %1 is not on its run (from its departure to "
                              "its arrival)")
            .arg(cid);
    return QString();
}

// A seat kept for women or senior citizens and taken in this transaction before its
// release holds a passenger it is kept for: a woman, or a senior by the customer's age or
// by the seat's concession. A file without layouts has nothing to check.
QString reservedBreach(sqlite3 *db, qint64 cid)
{
    // one text for the connection's compiled statement
    static const QByteArray sql =
        QStringLiteral(
            "SELECT sm.seat_no, m.mark FROM seat_matrix sm JOIN customer c ON c.customer_id = sm.customer_id "
            "JOIN bus_instance bi ON bi.instance_id = sm.instance_id JOIN seat_layout l ON l.class = bi.class "
            "JOIN seat_mark m ON m.class = l.class AND m.seat_no = sm.seat_no "
            "WHERE sm.customer_id = ?1 AND %1 < bi.dep_date - l.release_minutes / 1440.0 "
            "AND EXISTS (SELECT 1 FROM nbk_audit a WHERE a.customer_id = sm.customer_id AND a.txid = nbk_txid() "
            "AND a.table_name = 'seat_matrix' AND a.action = 'INSERT' AND json_extract(a.new_values, '$.seat_no') = "
            "sm.seat_no) "
            "AND NOT coalesce(CASE m.mark WHEN 'women' THEN upper(trim(c.gender)) = 'F' "
            "ELSE c.age >= l.senior_age OR EXISTS (SELECT 1 FROM seat_category sc WHERE sc.customer_id = sm.customer_id "
            "AND sc.seat_no = sm.seat_no AND (sc.age >= l.senior_age OR lower(sc.category) = 'senior')) END, 0) "
            "LIMIT 1")
            .arg(QLatin1String(kNow))
            .toUtf8();
    Stmt r(db, sql.constData());
    if (!r.bind(1, cid).row())
        return QString();
    return QStringLiteral("ORA-20010: seat %1 is kept for %2 until its release before the departure; customer %3 "
                          "is not")
        .arg(r.integer(0))
        .arg(r.text(1) == QLatin1String("women") ? QStringLiteral("women") : QStringLiteral("senior citizens"))
        .arg(cid);
}

}  // namespace

void install(sqlite3 *db)
{
    auto *s = new Session;
    s->application = QCoreApplication::applicationName().toUtf8();
    {
        QMutexLocker lock(&sessionsMutex);
        sessions.insert(db, s);
    }
    const int flags = SQLITE_UTF8;
    sqlite3_create_function_v2(db, "nbk_login", 0, flags, s, fnLogin, nullptr, nullptr, dropState);
    sqlite3_create_function_v2(db, "nbk_application", 0, flags, s, fnApplication, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "nbk_supervisor", 0, flags, s, fnSupervisor, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "nbk_txid", 0, flags, s, fnTxid, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "nbk_role", 0, flags, s, fnRole, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "nbk_trail_local", 1, flags, s, fnTrailLocal, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "nbk_trail_from", 1, flags, s, fnTrailFrom, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "nbk_trail_now", 0, flags, s, fnTrailNow, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "nbk_zone_known", 1, flags | SQLITE_DETERMINISTIC, s, fnZoneKnown, nullptr, nullptr,
                               nullptr);
    sqlite3_commit_hook(db, endOfTransaction, s);
    sqlite3_rollback_hook(db, rolledBack, s);
}

bool startSession(sqlite3 *db, const QString &login, bool supervisor, QString *error)
{
    Session *s = stateOf(db);
    if (!s) {
        if (error)
            *error = QStringLiteral("the connection was not prepared");
        return false;
    }
    for (const char *sql : kBookkeeping) {
        char *message = nullptr;
        if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
            if (error)
                *error = QString::fromUtf8(message);
            sqlite3_free(message);
            return false;
        }
    }
    // a file of an earlier version has no categories yet (its login is refused later on)
    sqlite3_stmt *probe = nullptr;
    const bool categories =
        sqlite3_prepare_v2(db, "SELECT 1 FROM main.sqlite_master WHERE type = 'table' AND name = 'seat_category'", -1,
                           &probe, nullptr)
            == SQLITE_OK
        && sqlite3_step(probe) == SQLITE_ROW;
    sqlite3_finalize(probe);
    if (categories)
        for (const char *sql : kCategoryBookkeeping) {
            char *message = nullptr;
            if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
                if (error)
                    *error = QString::fromUtf8(message);
                sqlite3_free(message);
                return false;
            }
        }
    s->login = login.toUtf8();
    s->supervisor = supervisor;
    s->loggedIn = true;
    sqlite3_set_authorizer(db, authorize, s);
    return true;
}

Owned::Owned(sqlite3 *db) : session_(stateOf(db)), was_(false)
{
    if (auto *s = static_cast<Session *>(session_)) {
        was_ = s->trusted;
        s->trusted = true;
    }
}

Owned::~Owned()
{
    if (auto *s = static_cast<Session *>(session_))
        s->trusted = was_;
}

namespace {
// Draws per file, login and hour in this process: a rolled-back draw still raises the
// next id this process hands out, so it counts here although the file forgets it.
QMutex drawsMutex;
QHash<QString, QPair<qint64, qint64>> processDraws;
}  // namespace

QString countDraw(sqlite3 *db, const QString &sequence)
{
    Session *s = stateOf(db);
    if (!s || !s->loggedIn || (sequence != QLatin1String("c_seq") && sequence != QLatin1String("instance_seq")))
        return QString();
    const qint64 hour = QDateTime::currentSecsSinceEpoch() / 3600;
    const QByteArray login = s->login.toLower();
    Trusted own(s);
    Stmt limit(db, "SELECT draws_per_hour FROM main.nbk_settings");
    const qint64 allowed = limit.row() ? limit.integer(0) : 0;
    Stmt count(db, "INSERT INTO main.nbk_draws (login, hour, n) VALUES (?1, ?2, 1) ON CONFLICT (login) DO UPDATE "
                   "SET n = CASE WHEN hour = excluded.hour THEN n + 1 ELSE 1 END, hour = excluded.hour RETURNING n");
    count.bindText(1, login).bind(2, hour);
    if (!count.row())
        return QStringLiteral("the draws of login %1 cannot be counted: %2")
            .arg(QString::fromUtf8(login), QString::fromUtf8(sqlite3_errmsg(db)));
    qint64 n = count.integer(0);
    {
        QMutexLocker lock(&drawsMutex);
        auto &mine = processDraws[QString::fromUtf8(sqlite3_db_filename(db, "main")) + QLatin1Char('\n')
                                  + QString::fromUtf8(login)];
        if (mine.first != hour)
            mine = {hour, 0};
        n = std::max(n, ++mine.second);
    }
    if (n > allowed)
        return QStringLiteral("login %1 has drawn the %2 ids an hour it may draw; it may draw again next hour")
            .arg(QString::fromUtf8(login))
            .arg(allowed);
    return QString();
}

bool isSession(sqlite3 *db)
{
    const Session *s = stateOf(db);
    return s && s->loggedIn;
}

bool checkTouched(sqlite3 *db, DbError &err)
{
    Session *s = stateOf(db);
    if (!s || !s->loggedIn)
        return true;
    Trusted trusted(s);
    {
        // CROSS JOIN keeps the few runs touched outside: the planner, knowing no sizes, would
        // otherwise read every run ever made and look each up among them
        Stmt runs(db, "SELECT bi.instance_id, bi.free_seats, b.total_seats, (SELECT count(*) FROM seat_matrix sm "
                      "WHERE sm.instance_id = bi.instance_id) FROM temp.nbk_touched_run t "
                      "CROSS JOIN bus_instance bi ON bi.instance_id = t.id "
                      "LEFT JOIN bus_info b ON b.registration = bi.registration "
                      "WHERE b.total_seats IS NULL OR bi.free_seats IS NOT b.total_seats - "
                      "(SELECT count(*) FROM seat_matrix sm WHERE sm.instance_id = bi.instance_id)");
        if (runs.row()) {
            err = breach(QStringLiteral("ORA-20002: free seats of run %1 do not match its seats held "
                                        "(%2 free, %3 of %4 held)")
                             .arg(runs.integer(0))
                             .arg(runs.integer(1))
                             .arg(runs.integer(3))
                             .arg(runs.isNull(2) ? QStringLiteral("?") : QString::number(runs.integer(2))));
            return false;
        }
    }
    QList<qint64> customers;
    {
        Stmt touched(db, "SELECT id FROM temp.nbk_touched_customer");
        while (touched.row())
            customers << touched.integer(0);
    }
    for (qint64 cid : customers) {
        QString problem = fareBreach(db, cid);
        if (problem.isEmpty())
            problem = journeyBreach(db, cid);
        if (problem.isEmpty())
            problem = reservedBreach(db, cid);
        if (!problem.isEmpty()) {
            err = breach(problem);
            return false;
        }
    }
    forgetTouched(db);
    return true;
}

void release(sqlite3 *db)
{
    if (Session *s = stateOf(db))
        finalizeAll(s);
}

void forgetTouched(sqlite3 *db)
{
    Session *s = stateOf(db);
    if (!s || !s->loggedIn)
        return;
    Trusted trusted(s);
    sqlite3_exec(db, "DELETE FROM temp.nbk_touched_run; DELETE FROM temp.nbk_touched_customer", nullptr, nullptr,
                 nullptr);
}

}  // namespace nbk::data::sqliterules
