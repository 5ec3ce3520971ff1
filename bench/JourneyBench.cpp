// Median database time of place resolution, the run search, a booking commit and an
// on-demand bus run on a generated network (about 1,000 places, 500 routes of 5 to 15
// stops, 60 days of runs, 200,000 seat rows), each through the client's data layer and
// as the same statements run straight on the engine with QSqlQuery.
#include "BenchNetwork.h"
#include "BenchRoad.h"
#include "reservation/screens/Screens.h"
#include "ui/Notices.h"
#include "ui/ScreenRegistry.h"
#include "common/SharedRoutines.h"
#include "data/session/Audit.h"
#include "data/session/Class1.h"
#include "data/session/Transaction.h"
#include "data/engines/Engine.h"
#include "data/dialect/Numbers.h"
#include "data/dialect/OracleDate.h"
#include "data/engines/PostgresEngine.h"
#include "data/schema/PostgresSchema.h"
#include "data/schema/Schema.h"
#include "data/engines/SqliteEngine.h"
#include "operations/scheduling/CreateBusInstance.h"
#include "reservation/BookSeats.h"
#include "reservation/FindBusInstances.h"
#include "reservation/ResolvePlace.h"
#include "reservation/SaveCustomer.h"
#include "reservation/screens/SearchFlow.h"
#include "reservation/screens/frmCustomer.h"
#include "common/ReservationState.h"
#include "ui/MsgBox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>
#include <cstdio>
#include <random>

using namespace nbk;
using nbk::data::Class1;

namespace {

// NBK_BENCH_TINY=1 makes a network of a few routes and runs each case once: a smoke test
// that the benchmark still builds and runs, timing nothing.
const bool kTiny = !qEnvironmentVariableIsEmpty("NBK_BENCH_TINY");
const int kPlaces = kTiny ? 60 : 1000;
const int kRoutes = kTiny ? 20 : 500;
const int kDays = kTiny ? 4 : 60;
const int kSeatRows = kTiny ? 200 : 200000;
const int kVehicles = kTiny ? 200 : 3000;
const QDate kFirstDay(2030, 3, 1);

using namespace nbk::bench;

// The network with its runs, and the runs that take one more seat each (route 1 and others).
struct Large : Network {
    QTemporaryDir dir;
    QString path;
    QList<int> bookingRuns;
};

Large &net()
{
    static Large n;
    return n;
}

// Generates the network once, with its runs and seat rows, and writes every row into each sink.
bool generate(const QList<Sink *> &sinks)
{
    Large &n = net();
    std::mt19937 rng(42);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto put = [&](const char *table, const QVariantList &values) { return nbk::bench::put(sinks, table, values); };
    NetworkShape shape;
    shape.places = kPlaces;
    shape.routes = kRoutes;
    shape.vehicles = kVehicles;
    if (!generateNetwork(sinks, shape, rng, n))
        return false;
    const QList<QStringList> &fleet = n.fleet;
    const QHash<QString, int> &seatsOf = n.seatsOf;

    // runs: two a day on every route, in its first two classes
    struct RunRow {
        int id, route, seats;
    };
    QList<RunRow> runs;
    QList<int> nextVehicle(5, 0);
    for (int d = 0; d < kDays; ++d)
        for (int r = 1; r <= kRoutes; ++r) {
            const Route &route = n.routes[r - 1];
            for (int k = 0; k < 2; ++k) {
                const int cls = route.classes[k % route.classes.size()];
                const QDateTime dep(kFirstDay.addDays(d), QTime(route.hour, route.minute));
                const QString reg = fleet[cls][nextVehicle[cls]++ % fleet[cls].size()];
                const int id = int(runs.size()) + 1;
                if (!put("bus_instance", {id, r, dep.addSecs(qint64(k) * 6 * route.interval * 60), QStringLiteral("tt"), 0,
                                          reg, cls, seatsOf.value(reg)}))
                    return false;
                runs << RunRow{id, r, seatsOf.value(reg)};
            }
        }

    // seat rows: one customer each, spread over every run
    QHash<int, int> taken;
    const QDateTime booked(kFirstDay, QTime(9, 0));
    for (int j = 0; j < kSeatRows; ++j) {
        const RunRow &rr = runs[j % runs.size()];
        const Route &route = n.routes[rr.route - 1];
        const int elementsOnRoute = int(route.reids.size());
        const int s1 = pick(1, elementsOnRoute), s2 = pick(s1, elementsOnRoute);
        const int seat = ++taken[rr.id];
        if (!put("customer", {j + 1, rr.id, booked, QStringLiteral("Passenger %1").arg(j + 1), 30, qint64(9800000000),
                              QStringLiteral("M"), route.places[s1 - 1], route.places[s2], 100})
            || !put("seat_matrix", {rr.id, seat, s1, s2, j + 1, QStringLiteral("r")}))
            return false;
    }
    for (Sink *s : sinks)
        if (!s->finish(kSeatRows + 1000, int(runs.size()) + 1000))
            return false;
    for (const RunRow &rr : runs)
        if (rr.route % 7 == 1)
            n.bookingRuns << rr.id;
    return true;
}

// The session the running benchmark measures: one per engine, all on the same network.
Class1 *session = nullptr;
bool onServer = false;
const ServerSink *serverOwner = nullptr;

data::Connection &cn() { return session->GetCurrentConnection(); }
// The statement as the engine runs it, with its parameters in the order it takes them.
QString translated(const QString &oracle, QVariantList *params = nullptr)
{
    std::vector<int> order;
    const QString sql = cn().engine()->translate(oracle, nullptr, &order);
    if (params && !order.empty()) {
        QVariantList ordered;
        for (int k : order)
            ordered << params->value(k);
        *params = ordered;
    }
    return sql;
}

// The statement with its '?' marks replaced by the values as literals (PostgreSQL cannot
// prepare an EXPLAIN).
QString withLiterals(const QString &sql, const QVariantList &params)
{
    QString out;
    bool quoted = false;
    qsizetype next = 0;
    for (const QChar c : sql) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (c == QLatin1Char('?') && !quoted && next < params.size())
            out += ServerSink::literal(params[next++]);
        else
            out += c;
    }
    return out;
}

// NBK_BENCH_PLANS=1: how the engine runs each statement of the raw versions.
void explain(const QString &sql, const QVariantList &params)
{
    static QSet<QString> seen;
    if (qEnvironmentVariableIsEmpty("NBK_BENCH_PLANS"))
        return;
    // once per statement: the same text with other numbers in it is the same statement
    QString shape = sql;
    shape.remove(QRegularExpression(QStringLiteral("[0-9]")));
    if (seen.contains(engineTag + shape))
        return;
    seen.insert(engineTag + shape);
    QSqlQuery query(cn().database());
    if (onServer) {
        if (!query.exec(QStringLiteral("EXPLAIN ") + withLiterals(sql, params)))
            return;
    } else {
        query.prepare(QStringLiteral("EXPLAIN QUERY PLAN ") + sql);
        for (const QVariant &p : params)
            query.addBindValue(p);
        if (!query.exec())
            return;
    }
    std::fprintf(stderr, "\n%s%s\n", qPrintable(engineTag), qPrintable(sql.left(160)));
    while (query.next())
        std::fprintf(stderr, "   %s\n", qPrintable(query.value(onServer ? 0 : 3).toString()));
}

// Straight on the engine: prepare, bind, run and fetch every row, as the layer does.
QList<QVariantList> raw(const QString &oracleSql, QVariantList params = {})
{
    QSqlQuery query(cn().database());
    query.setForwardOnly(true);
    const QString sql = translated(oracleSql, &params);
    explain(sql, params);
    bool ok;
    if (params.isEmpty()) {
        ok = query.exec(sql);
    } else {
        ok = query.prepare(sql);
        for (const QVariant &p : params)
            query.addBindValue(p);
        ok = ok && query.exec();
    }
    if (!ok)
        std::fprintf(stderr, "raw: %s\n%s\n", qPrintable(sql), qPrintable(query.lastError().text()));
    QList<QVariantList> rows;
    const int columns = query.record().count();
    while (query.next()) {
        QVariantList row;
        for (int c = 0; c < columns; ++c)
            row << query.value(c);
        rows << row;
    }
    return rows;
}

// ---- place resolution ----------------------------------------------------------------

void PlaceResolution_Layer(benchmark::State &state)
{
    timed(state, "PlaceResolution/layer", [] {
        if (ResolvePlace(QString::fromLatin1(kFromName), QString::fromLatin1(kToName)).result != 3)
            std::abort();
    });
}

void PlaceResolution_Raw(benchmark::State &state)
{
    // the statement ResolvePlace runs (places in any letter case), not the older
    // case-sensitive command slot, which an index on the name serves
    const QString text =
        QStringLiteral("SELECT place, Full_Name FROM place where UPPER(Full_Name) LIKE UPPER(?) ORDER BY Full_Name ");
    timed(state, "PlaceResolution/raw", [&] {
        benchmark::DoNotOptimize(raw(text, {QStringLiteral("Xy%")}));
        benchmark::DoNotOptimize(raw(text, {QStringLiteral("Qu%")}));
    });
}

// ---- run search ----------------------------------------------------------------------

// the journey every run-search and booking benchmark asks for
nbk::reservation::ReservationState benchRequest;

void requestFirstRoute(int day)
{
    benchRequest.OriginPlace = QString::fromLatin1(kFromCode);
    benchRequest.DestinationPlace = QString::fromLatin1(kToCode);
    benchRequest.ClassIndex = 2;
    benchRequest.SeatsRequested = 1;
    const QDate d = kFirstDay.addDays(day);
    benchRequest.JourneyDateText = QStringLiteral("%1-%2-%3 10:0:00").arg(d.month()).arg(d.day()).arg(d.year());
    benchRequest.JourneyDateTime = QDateTime(d, QTime(10, 0));
}

// The client's run search for that request, through the session's commands: the runs
// land in benchRequest.SearchRows and the distance command is ready for the boarding offsets.
void searchFirstRoute(int day)
{
    requestFirstRoute(day);
    session->SetupInstanceDetails();
    data::Command &c = session->SQLcmdGetInstanceDetails();
    c.setValue(0, benchRequest.OriginPlace);
    c.setValue(1, benchRequest.DestinationPlace);
    c.setValue(2, benchRequest.ClassIndex);
    c.setValue(3, benchRequest.JourneyDateText);
    benchRequest.SearchRows = c.execute().getRows();
    session->SetupGetDistance();
}

void RunSearch_Layer(benchmark::State &state)
{
    int day = 0;
    timed(state, "RunSearch/layer", [&] {
        searchFirstRoute(1 + day++ % (kDays - 2));
        for (int i = 0; i < benchRequest.SearchRows.rowCount(); ++i)
            benchmark::DoNotOptimize(BoardingOffsetFor(benchRequest.SearchRows, i));
        if (benchRequest.SearchRows.rowCount() == 0)
            std::abort();
    });
}

void RunSearch_Raw(benchmark::State &state)
{
    session->SetupInstanceDetails();
    const QString text = session->SQLcmdGetInstanceDetails().commandText();
    session->SetupGetDistance();
    const QString distance = session->SQLcmdGetDistance().commandText();
    int day = 0;
    timed(state, "RunSearch/raw", [&] {
        requestFirstRoute(1 + day++ % (kDays - 2));
        const QList<QVariantList> rows = raw(text, {benchRequest.OriginPlace, benchRequest.DestinationPlace, int(benchRequest.ClassIndex), benchRequest.JourneyDateText});
        for (const QVariantList &r : rows)
            benchmark::DoNotOptimize(raw(distance, {r[1], 1, r[3].toInt() - 1}));
        if (rows.isEmpty())
            std::abort();
    });
}

// ---- booking commit ------------------------------------------------------------------

struct Booking {
    int instance, route, s1, s2;
    QString registration;
    int fare;  // of one seat over s1..s2, as the fare rule the database checks gives it
};

Booking bookingFor(int k)
{
    const QList<int> &runs = net().bookingRuns;
    const int id = runs[k % runs.size()];
    data::ResultSet rs = cn().query(QStringLiteral("SELECT bi.bus_id, bi.registration, f.multiplier, ct.multiplier, ct.base "
                                                   "FROM bus_instance bi JOIN route r ON r.route_id = bi.bus_id "
                                                   "JOIN fuel_index f ON f.fpi = r.fpi JOIN class_type ct ON ct.class = bi.class "
                                                   "WHERE bi.instance_id = %1")
                                        .arg(id));
    const int route = rs.value(0).toInt();
    const int elements = int(net().routes[route - 1].reids.size());
    const int last = std::min(elements, 3);
    data::ResultSet km = cn().query(QStringLiteral("SELECT sum(re.km) FROM path_order po JOIN route_element re ON re.reid = po.reid "
                                                   "WHERE po.route_id = %1 AND po.sequence_no BETWEEN 1 AND %2")
                                        .arg(route)
                                        .arg(last));
    const int fare = data::seatFare(std::nearbyint(km.value(0).toDouble()), rs.value(2).toDouble(), rs.value(3).toDouble(),
                                    rs.value(4).toDouble());
    return {id, route, 1, last, rs.value(1).toString(), fare};
}

QString customerUpdate(qint32 cid, const Booking &b)
{
    return QStringLiteral("UPDATE Customer set customer_id= ") + QString::number(cid) + QStringLiteral(", Instance_ID =")
           + QString::number(b.instance)
           // where its seats are, as the database checks: the run's departure, the stretch's stops
           + QStringLiteral(", Journey_date=(SELECT dep_date FROM bus_instance WHERE instance_id = %1)").arg(b.instance)
           + QStringLiteral(", Name = 'Bench Mark' , age=35, phone=9845012345, gender='M' , origin=(SELECT re.place1 "
                            "FROM path_order po, route_element re WHERE po.route_id = %1 AND po.sequence_no = %2 AND "
                            "re.reid = po.reid), destin=(SELECT re.place2 FROM path_order po, route_element re WHERE "
                            "po.route_id = %1 AND po.sequence_no = %3 AND re.reid = po.reid), fare=")
                 .arg(b.route)
                 .arg(b.s1)
                 .arg(b.s2)
           + QString::number(b.fare)
           + QStringLiteral(" where customer_ID = ") + QString::number(cid);
}

QString tempCustomer(qint32 cid)
{
    return QStringLiteral("Insert INTO Customer values ( ") + QString::number(cid)
           + QStringLiteral(",-1,SYSDATE,'**TEMP**',-1,-1,'x','Unkn','Unkn',0)");
}

QString lowerFreeSeats(int instance)
{
    return QStringLiteral("UPDATE BUS_INSTANCE set free_seats=free_seats-1 Where instance_id=") + QString::number(instance);
}

int lowestFree(const QSet<int> &taken)
{
    int s = 1;
    while (taken.contains(s))
        ++s;
    return s;
}

// The statements of a one-seat booking and its customer details, through the session.
void BookingCommit_Layer(benchmark::State &state)
{
    int k = 0;
    timed(state, "BookingCommit/layer", [&] {
        const Booking b = bookingFor(k++);
        Class1 &s = *session;
        s.SetupMaxSeats();
        s.setupGetUniqueCID();
        s.SetupGetDistance();
        const qint32 cid = CLng(s.SQLcmdGetUniqueCID().execute().value(0));
        data::Command &d = s.SQLcmdGetDistance();
        d.setValue(0, b.route);
        d.setValue(1, b.s1);
        d.setValue(2, b.s2);
        benchmark::DoNotOptimize(d.execute().value(0));
        s.SQLcmdGetMaxSeats().setValue(0, b.registration);
        benchmark::DoNotOptimize(s.SQLcmdGetMaxSeats().execute().value(0));
        s.SetupGetFullSeats(b.s1, b.s2, b.instance);
        data::ResultSet taken = s.SQLcmdGetFullSeats().execute();
        QSet<int> held;
        for (; !taken.eof(); taken.moveNext())
            held.insert(taken.value(0).toInt());
        data::Transaction tx(s, QStringLiteral("the benchmark's booking"));
        s.exec(tempCustomer(cid));
        s.SetupSetSeatMatrix();
        data::Command &m = s.SQLcmdSetSeatMatrix();
        m.setValue(0, b.instance);
        m.setValue(1, lowestFree(held));
        m.setValue(2, b.s1);
        m.setValue(3, b.s2);
        m.setValue(4, cid);
        m.execute();
        s.exec(lowerFreeSeats(b.instance));
        if (s.exec(customerUpdate(cid, b)) != nbk::data::kExecOk)
            std::abort();
        tx.commit();
    });
}

void BookingCommit_Raw(benchmark::State &state)
{
    Class1 &s = *session;
    s.SetupMaxSeats();
    s.setupGetUniqueCID();
    s.SetupGetDistance();
    s.SetupSetSeatMatrix();
    const QString cidText = s.SQLcmdGetUniqueCID().commandText(), distance = s.SQLcmdGetDistance().commandText(),
                  maxSeats = s.SQLcmdGetMaxSeats().commandText(), seatRow = s.SQLcmdSetSeatMatrix().commandText();
    int k = 1 << 20;
    timed(state, "BookingCommit/raw", [&] {
        const Booking b = bookingFor(k++);
        QSqlDatabase db = cn().database();
        const qint32 cid = raw(cidText).first().first().toInt();
        benchmark::DoNotOptimize(raw(distance, {b.route, b.s1, b.s2}));
        benchmark::DoNotOptimize(raw(maxSeats, {b.registration}));
        s.SetupGetFullSeats(b.s1, b.s2, b.instance);
        QSet<int> held;
        for (const QVariantList &r : raw(s.SQLcmdGetFullSeats().commandText()))
            held.insert(r[0].toInt());
        // the engine's own begin and commit: a session's BEGIN is refused on the file
        cn().engine()->begin(db);
        raw(tempCustomer(cid));
        raw(seatRow, {b.instance, lowestFree(held), b.s1, b.s2, cid});
        raw(lowerFreeSeats(b.instance));
        raw(customerUpdate(cid, b));
        cn().engine()->commit(db);
    });
}

// The client's own road from a found run to "Update complete.": BookSeats and the
// customer details screen's Ok (window creation included).
void BookingCommit_Client(benchmark::State &state)
{
    int day = 0;
    timed(state, "BookingCommit/client", [&] {
        searchFirstRoute(1 + day++ % (kDays - 2));
        benchRequest.BoardingOffsetMinutes = BoardingOffsetFor(benchRequest.SearchRows, 0);
        BookingOutcome booked = BookSeats(benchRequest, 0);
        reservation::showBookingOutcome(booked);
        auto *f = findScreenAs<frmCustomer>(QStringLiteral("frmCustomer"));
        if (!f)
            std::abort();
        f->txtname->setText(QStringLiteral("Bench Mark"));
        f->phone->setText(QStringLiteral("9845012345"));
        f->txtage->setText(QStringLiteral("35"));
        f->Command1->click();
        if (session->IsInTransaction())
            std::abort();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    });
}

// The whole road through the procedures the screens call, without a window: place
// resolution, the run search, the booking and the customer details' save.
void BookingRoad_Layer(benchmark::State &state)
{
    int day = 0;
    timed(state, "BookingRoad/layer", [&] {
        requestFirstRoute(1 + day++ % (kDays - 2));
        if (!bookingRoad(benchRequest))
            std::abort();
    });
}

// ---- on-demand creation --------------------------------------------------------------

// When the plan's first bus of day k reaches the boarding place of route 1.
QDateTime creationWanted(int k)
{
    const Route &r = net().routes[0];
    double km = 0, total = 0;
    for (int i = 0; i < r.km.size(); ++i) {
        total += r.km[i];
        if (i < kFromPos - 1)
            km += r.km[i];
    }
    const double offset = r.stop * (kFromPos - 1) + km / (total / r.travel);
    return QDateTime(kFirstDay.addDays(k % kDays), QTime(r.hour, r.minute)).addSecs(qint64(offset * 60));
}

// Repetitions start from the generated network: the runs made on demand before are
// removed, or the vehicles waiting for a first run would run out.
void removeOnDemandRuns()
{
    const QString sql = QStringLiteral("DELETE FROM bus_instance WHERE instance_id > %1").arg(kDays * kRoutes * 2);
    // on the server no login deletes runs: the owner does
    if (onServer && serverOwner)
        serverOwner->ownerRun(sql);
    else
        cn().execute(sql);
}

void OnDemandCreation_Layer(benchmark::State &state)
{
    removeOnDemandRuns();
    int k = 0;
    timed(state, "OnDemandCreation/layer", [&] {
        QString route;
        Notices notices;
        if (CreateBusInstance(route, QString::fromLatin1(kFromCode), QString::fromLatin1(kToCode), 2, creationWanted(k++),
                              10, notices, confirmByMessageBox())
            != 1)
            std::abort();
    });
}

// The statements CreateBusInstance sends for the same journey, in its order.
void OnDemandCreation_Raw(benchmark::State &state)
{
    const QString from = QString::fromLatin1(kFromCode), to = QString::fromLatin1(kToCode);
    const QString routes =
        QStringLiteral("select r.route_Id, r.place1 , r.place2 ,r.km,(r.km / r.travelmins), alpha.sequence_no, "
                       "beta.sequence_no,r.stoptime FROM route r, (SELECT route_ID, sequence_no from path_order where "
                       "reid in (SELECT REID FROM ROUTE_ELEMENT WHERE place1 = '")
        + from
        + QStringLiteral("' )  ) alpha, (SELECT route_ID, sequence_no from path_order where reid in  (SELECT REID FROM "
                         "ROUTE_ELEMENT WHERE place2 = '")
        + to
        + QStringLiteral("' )   ) beta WHERE alpha.sequence_no<=beta.sequence_no AND alpha.route_ID=beta.route_id AND "
                         "r.route_id = alpha.route_id");
    session->SetupGetDistance();
    const QString distance = session->SQLcmdGetDistance().commandText();
    session->setupGetUniqueID(QStringLiteral("instance_seq"));
    const QString nextval = session->SQLcmdGetUniqueID().commandText();
    const Route &r1 = net().routes[0];
    removeOnDemandRuns();
    int k = 1000;
    timed(state, "OnDemandCreation/raw", [&] {
        const QList<QVariantList> found = raw(routes);
        const QVariantList &r = found.first();
        const double km = raw(distance, {r[0], 1, r[5].toInt() - 1}).first().first().toDouble();
        const double offset = r[7].toDouble() * (r[5].toInt() - 1) + km / r[4].toDouble();
        const QDateTime start = creationWanted(k++).addSecs(qint64(-offset * 60));
        const int day = start.date().dayOfWeek();
        raw(QStringLiteral(" SELECT * from service_class where route_id = 1 AND class = 2 And (day = %1 OR day =8 )").arg(day));
        raw(QStringLiteral("SELECT * from route_frequency where route_id = 1 AND ( Day = %1 or day = 8)").arg(day));
        const QDateTime dep(start.date(), QTime(r1.hour, r1.minute));
        QList<QVariantList> vehicles = raw(ComposeVehicleQuery(from, 10, dep, 2));
        QString reg = vehicles.isEmpty() ? QString() : vehicles.first().first().toString();
        if (reg.isEmpty()) {
            vehicles = raw(QStringLiteral("select registration from bus_info where type = 2 AND registration not in "
                                          "(select registration from bus_instance) "));
            reg = vehicles.isEmpty() ? QStringLiteral("KA10002") : vehicles.first().first().toString();
        }
        const int id = raw(nextval).first().first().toInt();
        raw(QStringLiteral("SELECT Stand_ID from bus_stand bs where bs.city in ( SELECT full_name from place where "
                           "place in (select place1  from route where route_id = 1 ) )"));
        const int seats = raw(QStringLiteral(" SELECT total_seats from bus_info where registration = '") + reg
                              + QLatin1Char('\''))
                              .first()
                              .first()
                              .toInt();
        raw(QStringLiteral("Insert into bus_instance values( %1, 1, %2 , 'tt' , 0 , '%3' , 2 , %4 ) ")
                .arg(id)
                .arg(OracleDateLiteral(dep), reg)
                .arg(seats));
    });
}

struct Case {
    const char *name;
    void (*body)(benchmark::State &);
    int iterations;
};
const Case kCases[] = {
    {"PlaceResolution_Layer", PlaceResolution_Layer, 2000}, {"PlaceResolution_Raw", PlaceResolution_Raw, 2000},
    {"RunSearch_Layer", RunSearch_Layer, 1000},             {"RunSearch_Raw", RunSearch_Raw, 1000},
    {"BookingCommit_Layer", BookingCommit_Layer, 500},      {"BookingCommit_Raw", BookingCommit_Raw, 500},
    {"BookingCommit_Client", BookingCommit_Client, 200},    {"BookingRoad_Layer", BookingRoad_Layer, 200},    {"OnDemandCreation_Layer", OnDemandCreation_Layer, 300},
    {"OnDemandCreation_Raw", OnDemandCreation_Raw, 300},
};

struct Measured {
    const char *title;
    QString tag;
    std::unique_ptr<Class1> session;
    bool server;
};

void printFigures(const Measured &m)
{
    QStringList lines;
    // the process's CPU time beside the wall time: a loaded machine moves the wall time most
    const auto cpuOf = [](const QString &key) { return median(samples().value(key + QStringLiteral("/cpu"))); };
    for (const char *op : {"PlaceResolution", "RunSearch", "BookingCommit", "OnDemandCreation"}) {
        const QString layerKey = m.tag + QString::fromLatin1(op) + QStringLiteral("/layer");
        const QString rawKey = m.tag + QString::fromLatin1(op) + QStringLiteral("/raw");
        const double layer = median(samples().value(layerKey));
        const double rawMs = median(samples().value(rawKey));
        if (layer > 0 && rawMs > 0)
            lines << QString::asprintf("%-18s %12.3f %12.3f %8.2f %12.3f %12.3f %8.2f", op, layer, rawMs, layer / rawMs,
                                       cpuOf(layerKey), cpuOf(rawKey), cpuOf(rawKey) > 0 ? cpuOf(layerKey) / cpuOf(rawKey) : 0.0);
    }
    const QString road = m.tag + QStringLiteral("BookingRoad/layer");
    if (samples().contains(road))
        lines << QString::asprintf("%-18s %12.3f %34.3f  (resolve + search + book + customer details, no window)",
                                   "BookingRoad", median(samples().value(road)), cpuOf(road));
    const QString client = m.tag + QStringLiteral("BookingCommit/client");
    if (samples().contains(client))
        lines << QString::asprintf("%-18s %12.3f %34.3f  (BookSeats and the customer screen's Ok, windows included)",
                                   "BookingClient", median(samples().value(client)), cpuOf(client));
    if (lines.isEmpty())
        return;
    std::printf("\n%s\n%-18s %12s %12s %8s %12s %12s %8s\n", m.title, "operation", "layer ms", "engine ms", "ratio",
                "layer cpu", "engine cpu", "ratio");
    for (const QString &line : lines)
        std::printf("%s\n", qPrintable(line));
}

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // the offscreen platform's notes about window hints would bury the figures
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &msg) {
        if (type != QtWarningMsg || !msg.startsWith(QStringLiteral("This plugin does not support")))
            std::fprintf(stderr, "%s\n", qPrintable(msg));
    });
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    // NBK_TEST_PG_URI (an administrator's URI): the same network on a PostgreSQL server too
    const QString adminUri = qEnvironmentVariable("NBK_TEST_PG_URI");
    QString server;
    std::unique_ptr<ServerSink> serverDb;
    {
        QElapsedTimer t;
        t.start();
        Large &n = net();
        // NBK_BENCH_DIR puts the file elsewhere (for example on a memory file system)
        const QString where = qEnvironmentVariable("NBK_BENCH_DIR");
        n.path = where.isEmpty() ? n.dir.filePath(QStringLiteral("large.db"))
                                 : QDir(where).filePath(QStringLiteral("nbk-bench-%1.db").arg(QCoreApplication::applicationPid()));
        EmbeddedSink embedded;
        QList<Sink *> sinks = {&embedded};
        if (!embedded.open(n.path))
            return 1;
        if (!adminUri.isEmpty()) {
            serverDb = std::make_unique<ServerSink>(adminUri);
            if (!serverDb->open()) {
                serverDb->drop();
                return 1;
            }
            sinks << serverDb.get();
            server = serverDb->server();
            serverOwner = serverDb.get();
        }
        if (!generate(sinks)) {
            if (serverDb)
                serverDb->drop();
            return 1;
        }
        std::fprintf(stderr, "network generated in %.1f s\n", t.elapsed() / 1000.0);
    }
    data::setEmbeddedDatabasePath(net().path);
    // the questions are answered with their default button (Yes), nothing is shown
    struct Unattended : Prompt {
        int ask(const QString &, int style, const QString &) override { return defaultAnswer(style); }
    } unattended;
    ui::setPrompt(&unattended);

    std::vector<Measured> engines;
    engines.push_back({"embedded (SQLite)", QString(), std::make_unique<Class1>(), false});
    if (serverDb)
        engines.push_back({"PostgreSQL", QStringLiteral("postgres:"), std::make_unique<Class1>(), true});
    bool loggedIn = true;
    for (Measured &m : engines)
        loggedIn = loggedIn
                   && m.session->ConnectToDataBase(m.server ? serverDb->user() : QString::fromLatin1(data::schema::kSupervisor),
                                                   QString::fromLatin1(data::schema::kDefaultPassword),
                                                   m.server ? server : QString())
                          == 2;
    reservation::registerScreens();

    for (const Measured &m : engines)
        for (const Case &c : kCases) {
            const std::string name = (m.server ? std::string("Postgres/") : std::string()) + c.name;
            Class1 *s = m.session.get();
            const QString tag = m.tag;
            const bool isServer = m.server;
            auto *body = c.body;
            benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State &state) {
                session = s;
                DbSession = s;
                engineTag = tag;
                onServer = isServer;
                body(state);
            })->UseManualTime()->Iterations(kTiny ? 1 : c.iterations);
        }

    if (loggedIn) {
        benchmark::RunSpecifiedBenchmarks();
        for (const Measured &m : engines)
            printFigures(m);
    } else {
        std::fprintf(stderr, "cannot log in\n");
    }
    benchmark::Shutdown();

    DbSession = nullptr;
    session = nullptr;
    engines.clear();
    if (serverDb)
        serverDb->drop();
    if (!qEnvironmentVariableIsEmpty("NBK_BENCH_DIR"))
        for (const char *suffix : {"", "-wal", "-shm"})
            QFile::remove(net().path + QLatin1String(suffix));
    return loggedIn ? 0 : 1;
}
