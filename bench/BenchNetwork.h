// What the database benchmarks share: the sinks that write generated rows into each engine
// through its bulk path, a generated network of places, routes and vehicles, and the
// hand timing whose medians they print.
#pragma once
#include "data/engines/PostgresEngine.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <benchmark/benchmark.h>
#include <chrono>
#include <random>
#include <vector>

namespace nbk::bench {

// The journey every benchmark asks for: two places with names of their own on route 1.
inline const char *const kFromName = "Xylopolis";
inline const char *const kToName = "Quorra";
inline const char *const kFromCode = "XYLO";
inline const char *const kToCode = "QUOR";
constexpr int kFromPos = 3;  // route 1: boarding element
constexpr int kToPos = 9;    // alighting element

bool run(QSqlQuery &query, const QString &sql);

// Where the generated rows go: one database per engine, all fed from the same pass so that
// every engine holds the same network.
class Sink {
public:
    virtual ~Sink() = default;
    // Values of every column in the table's order; date-times as QDateTime. `table` may
    // carry a column list ("nbk_audit (changed_at, ...)") for the columns given.
    virtual bool row(const char *table, const QVariantList &values) = 0;
    // Free seats, sequences past the generated ids, statistics.
    virtual bool finish(int lastCustomer, int lastRun) = 0;
    // Off: the generator wrote the runs' free seats itself.
    void setCountSeats(bool on) { countSeats_ = on; }

protected:
    bool countSeats_ = true;
};

// The embedded file, written with prepared statements in one transaction. With quiet
// rules the triggers (seat rule, booked runs, audit) are dropped for the load and created
// again before the commit: the generator writes rows that keep the rules and writes the
// audit rows itself.
class EmbeddedSink : public Sink {
public:
    ~EmbeddedSink() override;
    bool open(const QString &path, bool quietRules = false);
    bool row(const char *table, const QVariantList &values) override;
    bool finish(int lastCustomer, int lastRun) override;

private:
    QHash<QString, std::shared_ptr<QSqlQuery>> statements_;
    bool quiet_ = false;
    QStringList triggers_;  // dropped for the load: created again before the commit
};

// A fresh database on the PostgreSQL server, written with multi-row INSERTs in one
// transaction. The URI is an administrator's; the bench database is dropped at the end.
// With quiet rules the load runs with session_replication_role = replica (no trigger
// fires: no commit-time check, no audit row) and the generator writes the audit rows.
class ServerSink : public Sink {
public:
    // `name` tells the database apart from another the same process makes
    explicit ServerSink(const QString &adminUri, const QString &name = QString());
    ~ServerSink() override;

    bool open(bool quietRules = false);
    const QString &user() const { return user_; }
    // What the clerk types into the Server box: the server and the database, no user.
    QString server() const;
    bool row(const char *table, const QVariantList &values) override;
    bool finish(int lastCustomer, int lastRun) override;
    // Drops the bench database; the sessions on it are closed first.
    void drop();
    static QString literal(const QVariant &v);
    // The database's owner runs what no login may (clearing the benchmark's own runs).
    bool ownerRun(const QString &sql) const;

private:
    static constexpr int kRowsPerInsert = 2000;
    bool flush();
    static bool adminRun(const QString &uri, const QStringList &statements, QString *error);

    data::PostgresUri admin_;
    QString name_;
    QString database_;
    QString user_;
    QStringList order_;
    QHash<QString, QString> buffers_;
    int pending_ = 0;
};

struct Route {
    QStringList places;
    QList<int> reids;
    QList<double> km;
    double stop = 5;
    double travel = 0;
    int interval = 60, hour = 6, minute = 0;
    QList<int> classes;
};

struct NetworkShape {
    int places = 1000;
    int routes = 500;
    int vehicles = 3000;  // in five classes, in turn
    int waiting = 1000;   // class 2 vehicles that have never run: what on-demand runs get
};

struct Network {
    QList<Route> routes;      // index = route id - 1
    QList<QStringList> fleet;  // registrations per class
    QHash<QString, int> seatsOf;
};

// Places (about ten names to a prefix; the journey's two places last), bus stands, routes
// of 5 to 15 stops (route 1 of 12 carries the journey), their plans and classes, and the
// vehicles, written into every sink.
bool generateNetwork(const QList<Sink *> &sinks, const NetworkShape &shape, std::mt19937 &rng, Network &n);

// Writes one row into every sink.
bool put(const QList<Sink *> &sinks, const char *table, const QVariantList &values);

// Every iteration's time of every repetition, per figure.
QMap<QString, std::vector<double>> &samples();
double median(std::vector<double> ms);
// Prefix of the figures' names of the engine being measured: empty for the embedded file.
inline QString engineTag;

// The process's CPU time so far, in ms.
double cpuMs();

// Called as each timed pass starts and ends (a statement profile listens); none unless set.
inline void (*onIteration)(const char *name, bool starting) = nullptr;

// Runs body once per iteration, timed by hand so that set-up between iterations stays out.
// The wall times go under the name, the process's CPU times under name + "/cpu".
template <class Body>
void timed(benchmark::State &state, const char *name, Body body)
{
    std::vector<double> ms, cpu;
    for (auto _ : state) {
        if (onIteration)
            onIteration(name, true);
        const double c0 = cpuMs();
        const auto t0 = std::chrono::steady_clock::now();
        body();
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        if (onIteration)
            onIteration(name, false);
        cpu.push_back(cpuMs() - c0);
        state.SetIterationTime(s);
        ms.push_back(s * 1000.0);
    }
    state.counters["median_ms"] = median(ms);
    const QString key = engineTag + QString::fromLatin1(name);
    std::vector<double> &all = samples()[key];
    all.insert(all.end(), ms.begin(), ms.end());
    std::vector<double> &allCpu = samples()[key + QStringLiteral("/cpu")];
    allCpu.insert(allCpu.end(), cpu.begin(), cpu.end());
}

}  // namespace nbk::bench
