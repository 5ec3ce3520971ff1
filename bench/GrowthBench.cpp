// What the counters' operations cost as a state's corporation keeps its history: the
// booking road, an enquiry, an on-demand run, a cancellation, the day statement, the seat
// chart, one run's manifest and the passenger list, timed through the client's
// procedures on a database holding no past, a month, a year (and three years when asked)
// of runs, seats, customers and the audit rows the rules write.
//
// NBK_BENCH_DAYS    the longest history (1 to 1095 days; 365 unless told)
// NBK_BENCH_RUNS    runs a day over the routes (100 unless told)
// NBK_BENCH_DIR     where the embedded files go (a temporary folder unless told)
// NBK_TEST_PG_URI   an administrator's URI: the same histories on a PostgreSQL server too
// NBK_BENCH_TINY=1  two days of history on a few routes, each case once: a smoke test
// NBK_BENCH_KEEP=1  the databases made are kept (their places printed), to look into later
// NBK_BENCH_PROFILE=N  the N statements that cost each operation most inside the embedded
//                   engine, by SQLite's own profile (pg_stat_statements does it on the server)
#include "BenchNetwork.h"
#include "BenchRoad.h"
#include "StatementProfile.h"
#include "data/dialect/DbError.h"
#include "data/dialect/Numbers.h"
#include "data/dialect/OracleDate.h"
#include "data/schema/Schema.h"
#include "data/session/Audit.h"
#include "data/session/Class1.h"
#include "data/session/Connection.h"
#include "operations/CancelReservation.h"
#include "operations/scheduling/CreateBusInstance.h"
#include "reports/BuildSeatChart.h"
#include "reports/DayStatementQueries.h"
#include "reports/ServiceQueries.h"
#include "reports/TicketQueries.h"
#include "data/engines/Engine.h"
#include "ui/MsgBox.h"
#include "ui/prompt/Prompt.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

using namespace nbk;
using namespace nbk::bench;
using nbk::data::Class1;

namespace {

const bool kTiny = !qEnvironmentVariableIsEmpty("NBK_BENCH_TINY");

int envInt(const char *name, int fallback, int lo, int hi)
{
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(name, &ok);
    return ok ? std::clamp(v, lo, hi) : fallback;
}

const int kMaxDays = kTiny ? 2 : envInt("NBK_BENCH_DAYS", 365, 1, 1095);
const int kRunsPerDay = kTiny ? 20 : envInt("NBK_BENCH_RUNS", 100, 1, 100000);
const int kLiveDays = kTiny ? 3 : 7;       // the days ahead the counters sell
const double kHistoryBooked = 0.6;         // share of a past run's seats sold
const double kLiveBooked = 0.2;            // ... of a coming run's, before the benchmark
const double kCancelledShare = 0.1;        // bookings given back whole
const double kConcessionShare = 0.25;      // seats sold at a fare category
// the fare categories and the cancellation charges in force since long before the history
struct Category {
    const char *name;
    double share;
    int minAge, maxAge;
};
const Category kCategories[] = {{"child", 0.5, 5, 12}, {"senior", 0.75, 60, 90}};
const std::pair<double, double> kSlabs[] = {{72, 0.1}, {24, 0.25}, {0, 0.5}};  // hours before, share retained
const QDateTime kSlabsFrom(QDate(2000, 1, 1), QTime(0, 0));
const int kClerks = 8;
// the database's calendar: the past ends two days before today, so that today's
// statement (whose window starts yesterday) reads only the benchmark's own bookings
const QDate kToday = QDate::currentDate();
const QDate kFirstLive = kToday.addDays(1);

NetworkShape shape()
{
    NetworkShape s;
    s.places = kTiny ? 60 : 1000;
    s.routes = kTiny ? 20 : 100;
    s.vehicles = kTiny ? 200 : 1500;
    s.waiting = kTiny ? 50 : 500;
    return s;
}

// The history sizes measured, in days.
QList<int> sizes()
{
    if (kTiny)
        return {0, kMaxDays};
    QList<int> out = {0};
    for (int d : {30, 365, 1095})
        if (d <= kMaxDays)
            out << d;
    if (!out.contains(kMaxDays))
        out << kMaxDays;
    return out;
}

// What a generated database holds that the benchmarks need.
struct Generated {
    Network network;
    QList<int> liveRuns;     // route 1's coming runs (seat chart, manifest)
    QList<int> cancellable;  // coming bookings, kept whole, oldest first
    int lastRun = 0, lastCustomer = 0;
    qint64 rows = 0;
};

QString json(const QJsonObject &o) { return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact)); }
QString isoDate(const QDateTime &t) { return t.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")); }

// Writes the runs, seats, customers and audit rows of each day; the audit rows are those
// the rules write for the booking road's and the cancellation's transactions.
class History {
public:
    History(const QList<Sink *> &sinks, Generated &g, std::mt19937 &rng) : sinks_(sinks), g_(g), rng_(rng) {}

    // Fares and distances as the database holds them (the network is written by now).
    bool readFareRule(const QString &connection)
    {
        QSqlQuery q(QSqlDatabase::database(connection, false));
        if (!run(q, QStringLiteral("SELECT fpi, multiplier FROM fuel_index")))
            return false;
        while (q.next())
            fuel_.insert(q.value(0).toInt(), q.value(1).toDouble());
        if (!run(q, QStringLiteral("SELECT class, base, multiplier FROM class_type")))
            return false;
        while (q.next())
            classes_.insert(q.value(0).toInt(), {q.value(1).toDouble(), q.value(2).toDouble()});
        if (!run(q, QStringLiteral("SELECT route_id, fpi FROM route")))
            return false;
        while (q.next())
            fpi_.insert(q.value(0).toInt(), q.value(1).toInt());
        if (!run(q, QStringLiteral("SELECT po.route_id, re.km FROM path_order po JOIN route_element re ON re.reid = po.reid "
                                   "ORDER BY po.route_id, po.sequence_no")))
            return false;
        while (q.next())
            km_[q.value(0).toInt()] << q.value(1).toDouble();
        return true;
    }

    // The categories and the schedule of charges every booking of the history is sold under.
    bool rules()
    {
        for (const Category &c : kCategories)
            if (!out("fare_category", {QString::fromLatin1(c.name), c.share, c.minAge, c.maxAge}))
                return false;
        for (const auto &[hours, share] : kSlabs)
            if (!out("cancel_slab", {kSlabsFrom, hours, share}))
                return false;
        return true;
    }

    bool day(const QDate &d, bool live)
    {
        const int routes = int(g_.network.routes.size());
        for (int k = 0; k < kRunsPerDay; ++k) {
            const int r = k % routes + 1, round = k / routes;
            const Route &route = g_.network.routes[r - 1];
            // route 1 carries the benchmarks' journey in class 2
            const int cls = r == 1 ? 2 : route.classes[round % route.classes.size()];
            const QStringList &fleet = g_.network.fleet[cls];
            const QString reg = fleet[nextVehicle_[cls]++ % fleet.size()];
            const int seats = g_.network.seatsOf.value(reg);
            const QDateTime dep =
                QDateTime(d, QTime(route.hour, route.minute)).addSecs(qint64(round) * 2 * route.interval * 60);
            const int id = ++g_.lastRun;
            if (live && r == 1)
                g_.liveRuns << id;
            // the run's rows go after the run, whose counter is known once its seats are
            deferred_.clear();
            defer_ = true;
            const int held = bookings(id, r, cls, dep, reg, seats, live);
            defer_ = false;
            if (held < 0 || !out("bus_instance", {id, r, dep, QStringLiteral("tt"), 0, reg, cls, seats - held}))
                return false;
            for (const auto &[table, values] : std::as_const(deferred_))
                if (!out(table, values))
                    return false;
        }
        return true;
    }

private:
    struct Run {
        int id, route, cls, free;
        QDateTime dep;
        QString reg;
    };

    bool out(const char *table, const QVariantList &values)
    {
        if (defer_) {
            deferred_.append({table, values});
            return true;
        }
        ++g_.rows;
        return put(sinks_, table, values);
    }
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    // The run's bookings (and their audit rows); the seats they hold, -1 on failure.
    int bookings(int id, int r, int cls, const QDateTime &dep, const QString &reg, int seats, bool live)
    {
        const Route &route = g_.network.routes[r - 1];
        const int elements = int(route.reids.size());
        Run run{id, r, cls, seats, dep, reg};
        const int target = int(seats * (live ? kLiveBooked : kHistoryBooked));
        int nextSeat = 1;
        while (nextSeat <= target) {
            const int n = std::min(pick(1, 3), seats - nextSeat + 1);
            const int s1 = pick(1, elements), s2 = pick(s1, elements);
            const int cid = ++g_.lastCustomer;
            // sold up to ten days ahead; the coming runs' seats two days ago
            const QDateTime sold = live ? QDateTime(kToday.addDays(-2), QTime(8, 0)).addSecs(pick(0, 36000))
                                        : dep.addDays(-pick(0, 10)).addSecs(-pick(0, 36000));
            const bool cancelled = std::uniform_real_distribution<double>(0, 1)(rng_) < kCancelledShare;
            // each seat an adult's or, now and then, a child's or a senior's at its share
            const double adult = fare(r, cls, s1, s2);
            double total = 0;
            QList<QVariantList> concessions;
            for (int i = 0; i < n; ++i) {
                if (std::uniform_real_distribution<double>(0, 1)(rng_) >= kConcessionShare) {
                    total += adult;
                    continue;
                }
                const Category &c = kCategories[pick(0, int(std::size(kCategories)) - 1)];
                const double price = CInt(adult * c.share);
                total += price;
                concessions << QVariantList{cid, nextSeat + i, QString::fromLatin1(c.name), pick(c.minAge, c.maxAge),
                                            c.share, price};
            }
            QJsonObject customer{{"customer_id", cid},
                                 {"instance_id", id},
                                 {"journey_date", isoDate(dep)},
                                 {"name", QStringLiteral("Passenger %1").arg(cid)},
                                 {"age", 20 + cid % 50},
                                 {"phone", QStringLiteral("98%1").arg(cid % 100000000, 8, 10, QLatin1Char('0'))},
                                 {"gender", cid % 2 ? "M" : "F"},
                                 {"origin", route.places[s1 - 1]},
                                 {"destin", route.places[s2]},
                                 {"fare", total}};
            QList<QJsonObject> seatRows;
            for (int i = 0; i < n; ++i)
                seatRows << QJsonObject{{"instance_id", id},     {"seat_no", nextSeat + i}, {"route_sequence1", s1},
                                        {"route_sequence2", s2}, {"customer_id", cid},      {"status", "r"}};
            const QString login = QStringLiteral("clerk%1").arg(cid % kClerks + 1);
            booked(run, customer, seatRows, sold, login);
            // the sale's terms, which the database writes with every customer row made
            out("sale_terms", {cid, sold, kSlabsFrom});
            if (cancelled) {
                givenBack(run, customer, seatRows, std::min(sold.addSecs(pick(60, 86400)), dep), login);
                continue;
            }
            const QVariantList c = {cid,
                                    id,
                                    dep,
                                    customer.value("name").toString(),
                                    customer.value("age").toInt(),
                                    customer.value("phone").toString(),
                                    customer.value("gender").toString(),
                                    customer.value("origin").toString(),
                                    customer.value("destin").toString(),
                                    customer.value("fare").toDouble()};
            out("customer", c);
            for (const QJsonObject &s : seatRows)
                out("seat_matrix", {id, s.value("seat_no").toInt(), s1, s2, cid, QStringLiteral("r")});
            for (const QVariantList &c : std::as_const(concessions))
                out("seat_category", c);
            nextSeat += n;
            if (live)
                g_.cancellable << cid;
        }
        return nextSeat - 1;
    }

    double fare(int r, int cls, int s1, int s2) const
    {
        double km = 0;
        const QList<double> &elements = km_.value(r);
        for (int i = s1; i <= s2; ++i)
            km += elements.value(i - 1);
        const auto [base, multiplier] = classes_.value(cls);
        return data::seatFare(std::nearbyint(km), fuel_.value(fpi_.value(r)), multiplier, base);
    }

    // One audit row as the rules write it.
    bool audit(const QDateTime &at, qint64 tx, const QString &login, const char *table, const char *action,
               const QString &key, const QVariant &customer, const QJsonObject &before, const QJsonObject &after)
    {
        return out("nbk_audit (changed_at, txid, login, table_name, action, row_key, customer_id, old_values, new_values, "
                   "client_addr, application_name)",
                   {at, tx, login, QString::fromLatin1(table), QString::fromLatin1(action), key, customer,
                    before.isEmpty() ? QVariant() : QVariant(json(before)),
                    after.isEmpty() ? QVariant() : QVariant(json(after)), QVariant(), QStringLiteral("nbk-reservation")});
    }

    QJsonObject runRow(const Run &r, int free) const
    {
        return {{"instance_id", r.id}, {"bus_id", r.route}, {"dep_date", isoDate(r.dep)}, {"status", "tt"},
                {"stand_id", 0},       {"registration", r.reg}, {"class", r.cls}, {"free_seats", free}};
    }

    static QString seatKey(const QJsonObject &s)
    {
        return QStringLiteral("%1/%2/%3/%4")
            .arg(s.value("instance_id").toInt())
            .arg(s.value("seat_no").toInt())
            .arg(s.value("route_sequence1").toInt())
            .arg(s.value("customer_id").toInt());
    }

    // The booking road's transaction: the placeholder customer, the seats, the counter,
    // then the customer's details.
    bool booked(Run &r, const QJsonObject &customer, const QList<QJsonObject> &seats, const QDateTime &at,
                const QString &login)
    {
        const qint64 tx = ++tx_;
        const int cid = customer.value("customer_id").toInt();
        QJsonObject temp{{"customer_id", cid}, {"instance_id", -1},   {"journey_date", isoDate(at)}, {"name", "**TEMP**"},
                         {"age", -1},          {"phone", "-1"},       {"gender", "x"},              {"origin", "Unkn"},
                         {"destin", "Unkn"},   {"fare", 0}};
        const QString key = QString::number(cid);
        if (!audit(at, tx, login, "customer", "INSERT", key, cid, {}, temp))
            return false;
        for (const QJsonObject &s : seats) {
            if (!audit(at, tx, login, "seat_matrix", "INSERT", seatKey(s), cid, {}, s)
                || !audit(at, tx, login, "bus_instance", "UPDATE", QString::number(r.id), QVariant(), runRow(r, r.free),
                          runRow(r, r.free - 1)))
                return false;
            --r.free;
        }
        return audit(at.addSecs(30), tx, login, "customer", "UPDATE", key, cid, temp, customer);
    }

    // The cancellation's transaction: the seats, the customer, the counter.
    bool givenBack(Run &r, const QJsonObject &customer, const QList<QJsonObject> &seats, const QDateTime &at,
                   const QString &login)
    {
        const qint64 tx = ++tx_;
        const int cid = customer.value("customer_id").toInt();
        for (const QJsonObject &s : seats)
            if (!audit(at, tx, login, "seat_matrix", "DELETE", seatKey(s), cid, s, {}))
                return false;
        const int n = int(seats.size());
        // the charge of the slab the hours left had reached, recorded before the rows go
        const double fare = customer.value("fare").toDouble(), hours = at.secsTo(r.dep) / 3600.0;
        double share = 1;
        for (const auto &[from, retained] : kSlabs)
            if (from <= hours) {
                share = retained;
                break;
            }
        const double retained = std::ceil(fare * share * 100 - 1e-6) / 100;
        const QVariantList charge{cid, n, fare, 0.0, share, retained, fare - retained};
        const QJsonObject chargeRow{{"customer_id", cid}, {"seats", n},          {"fare_before", fare},
                                    {"fare_after", 0},    {"retained_share", share}, {"retained", retained},
                                    {"refunded", fare - retained}};
        if (!out("cancel_charge", charge)
            || !audit(at, tx, login, "cancel_charge", "INSERT", QString::number(cid), cid, {}, chargeRow))
            return false;
        const bool ok = audit(at, tx, login, "customer", "DELETE", QString::number(cid), cid, customer, {})
                        && audit(at, tx, login, "bus_instance", "UPDATE", QString::number(r.id), QVariant(),
                                 runRow(r, r.free), runRow(r, r.free + n));
        r.free += n;
        return ok;
    }

    QList<Sink *> sinks_;
    bool defer_ = false;
    QList<std::pair<const char *, QVariantList>> deferred_;
    Generated &g_;
    std::mt19937 &rng_;
    QList<int> nextVehicle_ = QList<int>(5, 0);
    qint64 tx_ = 0;
    QHash<int, double> fuel_;
    QHash<int, std::pair<double, double>> classes_;  // base, multiplier
    QHash<int, int> fpi_;
    QHash<int, QList<double>> km_;
};

// ---- the databases of one history size ---------------------------------------------------

struct Engine {
    const char *title;
    QString tag;
    bool server;
    std::unique_ptr<Class1> session;
};

struct Current {
    int days = -1;
    std::unique_ptr<QTemporaryDir> dir;
    QString path;
    Generated generated;
    std::unique_ptr<ServerSink> server;
    std::vector<Engine> engines;
};

Current &current()
{
    static Current c;
    return c;
}

QString adminUri() { return qEnvironmentVariable("NBK_TEST_PG_URI"); }

const bool kKeep = !qEnvironmentVariableIsEmpty("NBK_BENCH_KEEP");
const int kProfileTop = qEnvironmentVariableIntValue("NBK_BENCH_PROFILE");
// Whether every database measured kept the rules (the generated history and what the
// benchmarks booked and cancelled on it): fares, concession fares, charges, seats, counters.
bool consistent = true;

void closeCurrent()
{
    Current &c = current();
    // a full audit reads every row: on the smoke run, or when asked
    if (kTiny || qEnvironmentVariableIsSet("NBK_BENCH_AUDIT"))
        for (Engine &e : c.engines) {
            try {
                data::Connection &cn = e.session->GetCurrentConnection();
                const data::AuditFigures a = data::auditDatabase(cn);
                std::fprintf(stderr, "%d days, %s: %s; %d concession seats, %d charges recorded\n", c.days, e.title,
                             qPrintable(a.summary()),
                             cn.query(QStringLiteral("SELECT count(*) FROM seat_category")).value(0).toInt(),
                             cn.query(QStringLiteral("SELECT count(*) FROM cancel_charge")).value(0).toInt());
                consistent = consistent && a.clean();
            } catch (const data::DbException &ex) {
                std::fprintf(stderr, "%d days, %s: the audit failed: %s\n", c.days, e.title, ex.what());
                consistent = false;
            }
        }
    DbSession = nullptr;
    c.engines.clear();
    if (kKeep) {
        if (!c.path.isEmpty())
            std::fprintf(stderr, "kept %s\n", qPrintable(c.path));
        if (c.server)
            std::fprintf(stderr, "kept the server's database of %s\n", qPrintable(c.server->user()));
        if (c.dir)
            c.dir->setAutoRemove(false);
    }
    if (c.server && !kKeep)
        c.server->drop();
    c.server.reset();
    if (!c.path.isEmpty() && !kKeep)
        for (const char *suffix : {"", "-wal", "-shm"})
            QFile::remove(c.path + QLatin1String(suffix));
    c.path.clear();
    c.dir.reset();
    c.days = -1;
}

// The network, `days` of past and the coming week, written into the embedded file (and
// the server), each in one transaction with the rules quiet; then a session on each.
bool prepare(int days)
{
    Current &c = current();
    if (c.days == days)
        return true;
    closeCurrent();
    QElapsedTimer t;
    t.start();
    c.generated = Generated();
    const QString where = qEnvironmentVariable("NBK_BENCH_DIR");
    if (where.isEmpty()) {
        c.dir = std::make_unique<QTemporaryDir>();
        c.path = c.dir->filePath(QStringLiteral("growth.db"));
    } else {
        c.path = QDir(where).filePath(QStringLiteral("nbk-growth-%1-%2.db").arg(QCoreApplication::applicationPid()).arg(days));
    }
    {
        EmbeddedSink embedded;
        QList<Sink *> sinks = {&embedded};
        if (!embedded.open(c.path, true))
            return false;
        embedded.setCountSeats(false);
        if (!adminUri().isEmpty()) {
            c.server = std::make_unique<ServerSink>(adminUri(), QStringLiteral("_%1").arg(days));
            if (!c.server->open(true))
                return false;
            c.server->setCountSeats(false);
            sinks << c.server.get();
        }
        std::mt19937 rng(42);
        Generated &g = c.generated;
        History history(sinks, g, rng);
        if (!generateNetwork(sinks, shape(), rng, g.network) || !history.readFareRule(QStringLiteral("generate"))
            || !history.rules())
            return false;
        for (int d = days; d >= 1; --d)
            if (!history.day(kToday.addDays(-2 - d), false))
                return false;
        for (int d = 0; d < kLiveDays; ++d)
            if (!history.day(kFirstLive.addDays(d), true))
                return false;
        for (Sink *s : sinks)
            if (!s->finish(g.lastCustomer + 1000, g.lastRun + 1000))
                return false;
    }
    std::fprintf(stderr, "%d days of history: %lld rows written in %.1f s (%.0f MB embedded)\n", days,
                 static_cast<long long>(c.generated.rows), t.elapsed() / 1000.0, QFileInfo(c.path).size() / 1e6);
    c.days = days;
    data::setEmbeddedDatabasePath(c.path);
    c.engines.push_back({"embedded (SQLite)", QString(), false, std::make_unique<Class1>()});
    if (c.server)
        c.engines.push_back({"PostgreSQL", QStringLiteral("postgres:"), true, std::make_unique<Class1>()});
    for (Engine &e : c.engines)
        if (e.session->ConnectToDataBase(e.server ? c.server->user() : QString::fromLatin1(data::schema::kSupervisor),
                                         QString::fromLatin1(data::schema::kDefaultPassword),
                                         e.server ? c.server->server() : QString())
            != 2) {
            std::fprintf(stderr, "cannot log in\n");
            return false;
        }
    if (kProfileTop > 0 && !profileStatements(c.engines.front().session->GetCurrentConnection().database()))
        std::fprintf(stderr, "the embedded engine's statements cannot be profiled\n");
    return true;
}

Class1 *session = nullptr;
const Engine *engine = nullptr;

// ---- the operations ----------------------------------------------------------------------

reservation::ReservationState requestFor(int k)
{
    reservation::ReservationState r;
    r.ClassIndex = 2;
    r.SeatsRequested = 1;
    const QDate d = kFirstLive.addDays(k % kLiveDays);
    r.JourneyDateText = QStringLiteral("%1-%2-%3 10:0:00").arg(d.month()).arg(d.day()).arg(d.year());
    r.JourneyDateTime = QDateTime(d, QTime(10, 0));
    return r;
}

void BookingRoad(benchmark::State &state)
{
    int k = 0;
    const FareCategory child{QStringLiteral("child"), 0.5, 5, 12};
    timed(state, "BookingRoad", [&] {
        reservation::ReservationState r = requestFor(k);
        // every other booking a child's seat, at half the fare
        if (!bookingRoad(r, k++ % 2 ? &child : nullptr))
            std::abort();
    });
}

void Enquiry(benchmark::State &state)
{
    int k = 0;
    timed(state, "Enquiry", [&] {
        reservation::ReservationState r = requestFor(k++);
        benchmark::DoNotOptimize(enquiry(r));
    });
}

// When the plan's first bus of coming day k reaches the boarding place of route 1.
QDateTime creationWanted(int k)
{
    const Route &r = current().generated.network.routes[0];
    double km = 0, total = 0;
    for (int i = 0; i < r.km.size(); ++i) {
        total += r.km[i];
        if (i < kFromPos - 1)
            km += r.km[i];
    }
    const double offset = r.stop * (kFromPos - 1) + km / (total / r.travel);
    return QDateTime(kFirstLive.addDays(k % kLiveDays), QTime(r.hour, r.minute)).addSecs(qint64(offset * 60));
}

// The runs made on demand go again, or the vehicles waiting for a first run would run out;
// on the server no login deletes runs: the owner does.
void removeOnDemandRuns()
{
    const QString sql = QStringLiteral("DELETE FROM bus_instance WHERE instance_id > %1").arg(current().generated.lastRun);
    if (engine->server)
        current().server->ownerRun(sql);
    else
        session->GetCurrentConnection().execute(sql);
}

void OnDemandRun(benchmark::State &state)
{
    removeOnDemandRuns();
    int k = 0;
    timed(state, "OnDemandRun", [&] {
        QString route;
        Notices notices;
        if (CreateBusInstance(route, QString::fromLatin1(kFromCode), QString::fromLatin1(kToCode), 2, creationWanted(k++), 10,
                              notices, yesToAll)
            != 1)
            std::abort();
    });
    removeOnDemandRuns();
}

void Cancellation(benchmark::State &state)
{
    // each engine gives back the same coming bookings, oldest first
    const QList<int> &pool = current().generated.cancellable;
    int k = 0;
    timed(state, "Cancellation", [&] {
        const CancelOutcome out = CancelReservation(QString::number(pool.value(k++ % pool.size())), 0, yesToAll);
        if (out.cancelled == 0)
            std::abort();
    });
}

void DayStatement(benchmark::State &state)
{
    timed(state, "DayStatement", [&] {
        const reports::DayStatementOutcome out = reports::dayStatement(*session, kToday, QString());
        if (out.message)
            std::abort();
        benchmark::DoNotOptimize(out.statement.taken);
    });
}

void SeatChart(benchmark::State &state)
{
    const QList<int> &runs = current().generated.liveRuns;
    int k = 0;
    timed(state, "SeatChart", [&] {
        const reports::SeatChartOutcome out = reports::buildSeatChart(*session, QString::number(runs.value(k++ % runs.size())));
        if (out.message)
            std::abort();
    });
}

void Manifest(benchmark::State &state)
{
    const QList<int> &runs = current().generated.liveRuns;
    int k = 0;
    timed(state, "Manifest", [&] {
        const reports::InstanceTicketsOutcome out =
            reports::instanceTickets(*session, QString::number(runs.value(k++ % runs.size())));
        if (out.message)
            std::abort();
    });
}

void PassengerList(benchmark::State &state)
{
    timed(state, "PassengerList", [&] {
        const reports::FixedReportOutcome out = reports::passengerList(*session);
        if (out.message)
            std::abort();
    });
}

struct Case {
    const char *name;
    void (*body)(benchmark::State &);
    int iterations;
    const char *what;
};
// the cancellations give back bookings the booking road did not make; the day statement
// reads the road's and the cancellations' rows of today
const Case kCases[] = {
    {"Enquiry", Enquiry, 40, "places + run search in enquiry mode"},
    {"BookingRoad", BookingRoad, 40, "places + run search + BookSeats + SaveCustomerDetails (every other a child's)"},
    {"Cancellation", Cancellation, 40, "CancelReservation of a whole booking, its slab's charge retained"},
    {"OnDemandRun", OnDemandRun, 30, "CreateBusInstance"},
    {"DayStatement", DayStatement, 30, "today's statement of the session's login"},
    {"SeatChart", SeatChart, 30, "buildSeatChart of a coming run"},
    {"Manifest", Manifest, 30, "instanceTickets of a coming run"},
    {"PassengerList", PassengerList, 3, "passengerList: every seat ever held"},
};

QString figure(const QString &tag, int days, const char *op) { return QStringLiteral("%1%2d:%3").arg(tag).arg(days).arg(QLatin1String(op)); }

void printFigures(const char *title, const QString &tag, const char *kind)
{
    const QList<int> all = sizes();
    const QString suffix = QLatin1String(kind) == QLatin1String("CPU") ? QStringLiteral("/cpu") : QString();
    std::printf("\n%s, %d runs a day, median %s ms (ratio to no history)\n%-14s", title, kRunsPerDay, kind, "operation");
    for (int d : all)
        std::printf(" %18s", qPrintable(d == 0 ? QStringLiteral("empty") : QStringLiteral("%1 days").arg(d)));
    std::printf("\n");
    for (const Case &c : kCases) {
        const double base = median(samples().value(figure(tag, 0, c.name) + suffix));
        std::printf("%-14s", c.name);
        for (int d : all) {
            const double m = median(samples().value(figure(tag, d, c.name) + suffix));
            if (d == 0)
                std::printf(" %18.3f", m);
            else
                std::printf(" %10.3f (%4.2fx)", m, base > 0 ? m / base : 0.0);
        }
        std::printf("\n");
    }
}

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    // the questions are answered with their default button (Yes), nothing is shown
    struct Unattended : Prompt {
        int ask(const QString &, int style, const QString &) override { return defaultAnswer(style); }
    } unattended;
    ui::setPrompt(&unattended);

    bool ok = true;
    const bool server = !adminUri().isEmpty();
    for (int days : sizes())
        for (bool onServer : {false, true}) {
            if (onServer && !server)
                continue;
            for (const Case &c : kCases) {
                const std::string name = QStringLiteral("%1%2d/%3")
                                             .arg(onServer ? QStringLiteral("Postgres/") : QString())
                                             .arg(days)
                                             .arg(QLatin1String(c.name))
                                             .toStdString();
                auto *body = c.body;
                benchmark::RegisterBenchmark(name.c_str(), [=, &ok](benchmark::State &state) {
                    if (!ok || !prepare(days)) {
                        ok = false;
                        state.SkipWithError("the database could not be made");
                        return;
                    }
                    engine = &current().engines[onServer ? 1 : 0];
                    session = engine->session.get();
                    DbSession = session;
                    engineTag = QStringLiteral("%1%2d:").arg(engine->tag).arg(days);
                    body(state);
                })->UseManualTime()->Iterations(kTiny ? 1 : c.iterations);
            }
        }
    if (kProfileTop > 0)
        onIteration = [](const char *name, bool starting) {
            if (!engine || !engine->server)
                profileIteration(engineTag + QLatin1String(name), starting);
        };
    benchmark::RunSpecifiedBenchmarks();
    closeCurrent();
    if (kProfileTop > 0)
        printStatementProfile(kProfileTop);
    if (ok) {
        // the wall time of a commit waits for the disk; the client's CPU time does not
        for (const char *kind : {"wall", "CPU"}) {
            printFigures("embedded (SQLite)", QString(), kind);
            if (server)
                printFigures("PostgreSQL", QStringLiteral("postgres:"), kind);
        }
        std::printf("\n");
        for (const Case &c : kCases)
            std::printf("%-14s %s\n", c.name, c.what);
    }
    benchmark::Shutdown();
    return ok && consistent ? 0 : 1;
}
