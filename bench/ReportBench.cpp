// A 10,000-line passenger list (customer joined with its seat rows, in a fresh embedded
// database) from the database to a PDF file: through the data layer and the report engine,
// and as the floor, the same query straight on the engine with the same lines drawn by a
// plain QPainter loop into a QPdfWriter. Peak memory of each path is taken in a child
// process of its own, so that one path's peak does not hide the other's.
#include "data/session/Class1.h"
#include "data/engines/Engine.h"
#include "data/dialect/Numbers.h"
#include "data/schema/Schema.h"
#include "data/engines/SqliteEngine.h"
#include "reports/engine/Renderer.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>

using namespace nbk;
using namespace nbk::report;

namespace {

// NBK_BENCH_TINY=1: a few lines, one pass each (a smoke test, timing nothing)
const bool kTiny = !qEnvironmentVariableIsEmpty("NBK_BENCH_TINY");
const int kLines = kTiny ? 100 : 10000;
constexpr int kSeatsPerCustomer = 4;
const char *const kQuery = "Select * from customer c,seat_matrix s where c.customer_id = s.customer_id";

long peakKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// The peak of this program image alone: ru_maxrss survives fork and exec, so a child
// would otherwise start with its parent's peak.
long imagePeakKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

bool generate(const QString &path)
{
    data::schema::InitOptions o;
    o.kdfIterations = 1000;
    QString error;
    if (!data::schema::createEmbeddedDatabase(path, o, &error)) {
        std::fprintf(stderr, "cannot create the database: %s\n", qPrintable(error));
        return false;
    }
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("generate"));
        db.setDatabaseName(path);
        // the schema's triggers call the functions every connection to the file registers
        QString problem;
        ok = db.open() && data::SqliteEngine::configure(db, &problem) && db.transaction();
        QSqlQuery q(db);
        auto run = [&](const QString &sql) {
            if (ok && !q.exec(sql)) {
                std::fprintf(stderr, "%s\n%s\n", qPrintable(sql), qPrintable(q.lastError().text()));
                ok = false;
            }
        };
        run(QStringLiteral("INSERT INTO place VALUES ('MYS', 'Mysore')"));
        run(QStringLiteral("INSERT INTO place VALUES ('BLR', 'Bangalore')"));
        run(QStringLiteral("INSERT INTO route_element VALUES (1, 'MYS', 'BLR', 140)"));
        run(QStringLiteral("INSERT INTO route VALUES (1, 'MYS', 'BLR', 2, 140, 1, 5, 180, NULL)"));
        run(QStringLiteral("INSERT INTO path_order VALUES (1, 1, 1)"));
        run(QStringLiteral("INSERT INTO bus_info VALUES ('KA-01-F-1', 2, 50)"));
        QSqlQuery run1(db), cust(db), seat(db);
        run1.prepare(QStringLiteral("INSERT INTO bus_instance VALUES (?, 1, ?, 'tt', 0, 'KA-01-F-1', 2, 0)"));
        cust.prepare(QStringLiteral("INSERT INTO customer VALUES (?, ?, ?, ?, ?, ?, ?, 'MYS', 'BLR', ?)"));
        seat.prepare(QStringLiteral("INSERT INTO seat_matrix VALUES (?, ?, 1, 1, ?, 'R')"));
        const int customers = kLines / kSeatsPerCustomer;
        const int runs = (customers + 12) / 12;  // twelve customers of four seats fill a bus
        for (int r = 1; ok && r <= runs; ++r) {
            run1.addBindValue(r);
            run1.addBindValue(37681.25 + r);  // day numbers from 28 February 2003
            ok = run1.exec();
        }
        for (int c = 1; ok && c <= customers; ++c) {
            const int instance = (c - 1) / 12 + 1;
            cust.addBindValue(c);
            cust.addBindValue(instance);
            cust.addBindValue(37681.25 + instance);
            cust.addBindValue(QStringLiteral("Passenger %1").arg(c));
            cust.addBindValue(20 + c % 50);
            cust.addBindValue(9845000000LL + c);
            cust.addBindValue(c % 2 ? QStringLiteral("M") : QStringLiteral("F"));
            cust.addBindValue(kSeatsPerCustomer * 112.5);
            ok = cust.exec();
            for (int s = 1; ok && s <= kSeatsPerCustomer; ++s) {
                seat.addBindValue(instance);
                seat.addBindValue(((c - 1) % 12) * kSeatsPerCustomer + s);
                seat.addBindValue(c);
                ok = seat.exec();
            }
        }
        if (!ok)
            std::fprintf(stderr, "generation failed: %s\n", qPrintable(db.lastError().text()));
        ok = ok && db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("generate"));
    return ok;
}

// The passenger list as the report menu shows it.
ReportLayout passengerList()
{
    ReportLayout l(QStringLiteral("DataReport1"), QStringLiteral("DataReport1"));
    l.addSection(QStringLiteral("ReportHeader"), SectionKind::ReportHeader, 1275)
        .addLabel(QStringLiteral("Label1"), QStringLiteral("Passenger List"), {2160, 576, 2880, 435})
        .setAlign(Align::Centre)
        .setFont({QStringLiteral("DejaVu Sans"), 14.0, true});
    auto &ph = l.addSection(QStringLiteral("PageHeader"), SectionKind::PageHeader, 432);
    ph.addLabel(QStringLiteral("Label3"), QStringLiteral("Customer Id"), {144, 0, 1155, 285});
    ph.addLabel(QStringLiteral("Label2"), QStringLiteral("Name"), {2016, 0, 1440, 285});
    ph.addLabel(QStringLiteral("Label4"), QStringLiteral("Origin"), {5616, 0, 576, 285});
    ph.addLabel(QStringLiteral("Label6"), QStringLiteral("Destin"), {6624, 0, 1005, 285});
    auto &d = l.addSection(QStringLiteral("GetPassengerList_Detail"), SectionKind::Detail, 672);
    d.addTextBox(QStringLiteral("txtCUSTOMER_ID"), QStringLiteral("CUSTOMER_ID"), {144, 144, 1440, 285});
    d.addTextBox(QStringLiteral("txtNAME"), QStringLiteral("NAME"), {2016, 144, 1440, 285});
    d.addLabel(QStringLiteral("Label5"), QStringLiteral("SEAT_NO:"), {3744, 144, 855, 285});
    d.addTextBox(QStringLiteral("txtSEAT_NO"), QStringLiteral("SEAT_NO"), {4608, 144, 864, 285});
    d.addTextBox(QStringLiteral("txtORIGIN"), QStringLiteral("ORIGIN"), {5616, 144, 864, 285});
    d.addTextBox(QStringLiteral("Text1"), QStringLiteral("DESTIN"), {6624, 144, 864, 285});
    l.addSection(QStringLiteral("PageFooter"), SectionKind::PageFooter, 360);
    l.addSection(QStringLiteral("ReportFooter"), SectionKind::ReportFooter, 360);
    return l;
}

struct Paths {
    QString database;
    QString engineOut;
    QString floorOut;
    std::unique_ptr<data::Class1> session;
};

Paths &paths()
{
    static Paths p;
    return p;
}

bool login()
{
    data::setEmbeddedDatabasePath(paths().database);
    paths().session = std::make_unique<data::Class1>();
    return paths().session->ConnectToDataBase(QString::fromLatin1(data::schema::kSupervisor),
                                              QString::fromLatin1(data::schema::kDefaultPassword),
                                              QString())
           == 2;
}

struct Phases {
    double query = 0, layout = 0, pdf = 0;
    int pages = 0;
};

double since(std::chrono::steady_clock::time_point t)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

// Through the client: the data layer's result set, the engine's pagination and renderer.
Phases engineOnce()
{
    Phases p;
    auto t = std::chrono::steady_clock::now();
    const ReportData rows = ReportData::fromResultSet(
        paths().session->GetCurrentConnection().query(QString::fromLatin1(kQuery)));
    p.query = since(t);
    t = std::chrono::steady_clock::now();
    const PagedReport report = paginate(passengerList(), rows);
    p.layout = since(t);
    t = std::chrono::steady_clock::now();
    QString error;
    if (!writePdf(report, paths().engineOut, &error))
        std::fprintf(stderr, "%s\n", qPrintable(error));
    p.pdf = since(t);
    p.pages = report.pageCount();
    return p;
}

// The floor: the same statement on the file with QSqlQuery, the same lines at the same
// places drawn one by one, the page header repeated, nothing kept in between.
Phases floorOnce()
{
    Phases p;
    const auto t = std::chrono::steady_clock::now();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("floor"));
        db.setDatabaseName(paths().database);
        db.open();
        QSqlQuery q(db);
        q.setForwardOnly(true);
        q.exec(QString::fromLatin1(kQuery));
        QPdfWriter w(paths().floorOut);
        w.setResolution(1200);
        w.setPageSize(QPageSize(QPageSize::A4));
        w.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&w);
        const double k = 1200.0 / 1440.0;
        auto text = [&](int left, int top, int width, const QString &s, int flags = Qt::AlignLeft) {
            painter.drawText(QRectF(left * k, top * k, width * k, 285 * k),
                             flags | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, s);
        };
        QFont body(QStringLiteral("DejaVu Sans"));
        body.setPixelSize(133);
        QFont title = body;
        title.setPixelSize(233);
        title.setBold(true);
        auto pageHeader = [&](int y) {
            text(1584, y, 1155, QStringLiteral("Customer Id"));
            text(3456, y, 1440, QStringLiteral("Name"));
            text(7056, y, 576, QStringLiteral("Origin"));
            text(8064, y, 1005, QStringLiteral("Destin"));
            return y + 432;
        };
        painter.setFont(title);
        text(3600, 1440 + 576, 2880, QStringLiteral("Passenger List"), Qt::AlignHCenter);
        painter.setFont(body);
        int y = pageHeader(1440 + 1275);
        const int footerTop = 16838 - 1440 - 360;
        const int id = q.record().indexOf(QStringLiteral("customer_id"));
        const int name = q.record().indexOf(QStringLiteral("name"));
        const int seat = q.record().indexOf(QStringLiteral("seat_no"));
        const int origin = q.record().indexOf(QStringLiteral("origin"));
        const int destin = q.record().indexOf(QStringLiteral("destin"));
        p.pages = 1;
        while (q.next()) {
            if (y + 672 > footerTop) {
                w.newPage();
                ++p.pages;
                y = pageHeader(1440);
            }
            text(1584, y + 144, 1440, q.value(id).toString());
            text(3456, y + 144, 1440, q.value(name).toString());
            text(5184, y + 144, 855, QStringLiteral("SEAT_NO:"));
            text(6048, y + 144, 864, q.value(seat).toString());
            text(7056, y + 144, 864, q.value(origin).toString());
            text(8064, y + 144, 864, q.value(destin).toString());
            y += 672;
        }
        painter.end();
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("floor"));
    p.pdf = since(t);
    return p;
}

std::vector<double> engineTimes, floorTimes;
Phases lastEngine, lastFloor;

void BM_EngineToPdf(benchmark::State &state)
{
    for (auto _ : state) {
        const auto t = std::chrono::steady_clock::now();
        lastEngine = engineOnce();
        const double s = since(t);
        engineTimes.push_back(s);
        state.SetIterationTime(s);
    }
    state.counters["pages"] = lastEngine.pages;
}

void BM_PlainPainterToPdf(benchmark::State &state)
{
    for (auto _ : state) {
        const auto t = std::chrono::steady_clock::now();
        lastFloor = floorOnce();
        const double s = since(t);
        floorTimes.push_back(s);
        state.SetIterationTime(s);
    }
    state.counters["pages"] = lastFloor.pages;
}

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// One pass of one path in a child process: its peak resident size, before and after.
QString peakOf(const char *which)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("NBK_REPORT_BENCH_CHILD"), QLatin1String(which));
    env.insert(QStringLiteral("NBK_REPORT_BENCH_DB"), paths().database);
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {});
    child.waitForFinished(120000);
    return QString::fromUtf8(child.readAllStandardOutput()).trimmed();
}

int childMain(const QByteArray &which)
{
    paths().database = qEnvironmentVariable("NBK_REPORT_BENCH_DB");
    QTemporaryDir dir;
    paths().engineOut = dir.filePath(QStringLiteral("engine.pdf"));
    paths().floorOut = dir.filePath(QStringLiteral("floor.pdf"));
    if (which == "engine" && !login()) {
        std::printf("cannot log in\n");
        return 1;
    }
    const long before = imagePeakKb();
    const long inherited = peakKb();
    const Phases p = which == "engine" ? engineOnce() : floorOnce();
    std::printf("%ld %ld %ld %ld %d\n", before, imagePeakKb(), inherited, peakKb(), p.pages);
    std::fflush(stdout);
    paths().session.reset();  // before the application and the SQL drivers go
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QByteArray child = qgetenv("NBK_REPORT_BENCH_CHILD");
    if (!child.isEmpty())
        return childMain(child);

    benchmark::Initialize(&argc, argv);
    QTemporaryDir dir;
    // NBK_BENCH_DIR keeps the database there (for example on a memory file system)
    const QString where = qEnvironmentVariable("NBK_BENCH_DIR");
    paths().database = QDir(where.isEmpty() ? dir.path() : where).filePath(QStringLiteral("passengers.db"));
    QFile::remove(paths().database);
    paths().engineOut = dir.filePath(QStringLiteral("engine.pdf"));
    paths().floorOut = dir.filePath(QStringLiteral("floor.pdf"));
    if (!generate(paths().database) || !login()) {
        std::fprintf(stderr, "cannot set up the database\n");
        return 1;
    }
    // the two paths in turns, so that a change of the machine's load falls on both alike
    for (int turn = 0; turn < (kTiny ? 1 : 7); ++turn) {
        benchmark::RegisterBenchmark("PassengerList/engine", BM_EngineToPdf)
            ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
        benchmark::RegisterBenchmark("PassengerList/plainPainter", BM_PlainPainterToPdf)
            ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const double e = median(engineTimes), f = median(floorTimes);
    std::printf("\n%d lines, %d pages (floor %d pages)\n", kLines, lastEngine.pages, lastFloor.pages);
    std::printf("median engine %.0f ms (last pass: query and rows %.0f, pagination %.0f, PDF %.0f), floor %.0f ms, ratio %.2f\n",
                e * 1000, lastEngine.query * 1000, lastEngine.layout * 1000, lastEngine.pdf * 1000, f * 1000,
                f > 0 ? e / f : 0.0);
    std::printf("PDF size engine %lld KB, floor %lld KB\n", QFileInfo(paths().engineOut).size() / 1024,
                QFileInfo(paths().floorOut).size() / 1024);
    for (const char *which : {"engine", "floor"}) {
        const QStringList v = peakOf(which).split(QLatin1Char('\n')).last().split(QLatin1Char(' '));
        if (v.size() == 5)
            std::printf("peak memory %-6s %ld MB (%ld MB before the pass; ru_maxrss %ld MB, %ld MB inherited)\n",
                        which, v[1].toLong() / 1024, v[0].toLong() / 1024, v[3].toLong() / 1024,
                        v[2].toLong() / 1024);
        else
            std::printf("peak memory %s: child failed (%s)\n", which, qPrintable(v.join(QLatin1Char(' '))));
    }
    paths().session.reset();
    return 0;
}
