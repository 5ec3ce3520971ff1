#include "BenchNetwork.h"

#include "data/dialect/OracleDate.h"
#include "data/engines/SqliteEngine.h"
#include "data/schema/PostgresSchema.h"
#include "data/schema/Schema.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <memory>

namespace nbk::bench {

namespace {
const QString kEmbedded = QStringLiteral("generate");
const QString kServer = QStringLiteral("generate_server");
}  // namespace

bool run(QSqlQuery &query, const QString &sql)
{
    if (!query.exec(sql)) {
        std::fprintf(stderr, "%s\n%s\n", qPrintable(sql), qPrintable(query.lastError().text()));
        return false;
    }
    return true;
}

bool put(const QList<Sink *> &sinks, const char *table, const QVariantList &values)
{
    for (Sink *s : sinks)
        if (!s->row(table, values))
            return false;
    return true;
}

// ---- the embedded file -----------------------------------------------------------------

EmbeddedSink::~EmbeddedSink()
{
    statements_.clear();
    {
        QSqlDatabase db = QSqlDatabase::database(kEmbedded, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(kEmbedded);
}

bool EmbeddedSink::open(const QString &path, bool quietRules)
{
    data::schema::InitOptions o;
    o.kdfIterations = 1000;
    QString error;
    if (!data::schema::createEmbeddedDatabase(path, o, &error)) {
        std::fprintf(stderr, "cannot create the database: %s\n", qPrintable(error));
        return false;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kEmbedded);
    db.setDatabaseName(path);
    // the schema's triggers call the functions every connection to the file registers
    QString problem;
    if (!db.open() || !data::SqliteEngine::configure(db, &problem)) {
        std::fprintf(stderr, "cannot open the database: %s\n", qPrintable(problem));
        return false;
    }
    QSqlQuery sq(db);
    run(sq, QStringLiteral("PRAGMA foreign_keys=ON"));
    if (!db.transaction())
        return false;
    quiet_ = quietRules;
    if (quiet_) {
        QStringList names;
        if (!sq.exec(QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = 'trigger'")))
            return false;
        while (sq.next()) {
            names << sq.value(0).toString();
            triggers_ << sq.value(1).toString();
        }
        for (const QString &t : names)
            if (!run(sq, QStringLiteral("DROP TRIGGER %1").arg(t)))
                return false;
    }
    return true;
}

bool EmbeddedSink::row(const char *table, const QVariantList &values)
{
    auto it = statements_.find(QLatin1String(table));
    if (it == statements_.end()) {
        QStringList marks;
        for (qsizetype i = 0; i < values.size(); ++i)
            marks << QStringLiteral("?");
        auto q = std::make_shared<QSqlQuery>(QSqlDatabase::database(kEmbedded, false));
        q->prepare(QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(QLatin1String(table), marks.join(QLatin1String(", "))));
        it = statements_.insert(QLatin1String(table), q);
    }
    QSqlQuery &q = **it;
    for (const QVariant &v : values)
        q.addBindValue(v.typeId() == QMetaType::QDateTime ? QVariant(data::toDayNumber(v.toDateTime())) : v);
    if (!q.exec()) {
        std::fprintf(stderr, "%s row: %s\n", table, qPrintable(q.lastError().text()));
        return false;
    }
    return true;
}

bool EmbeddedSink::finish(int lastCustomer, int lastRun)
{
    statements_.clear();
    QSqlDatabase db = QSqlDatabase::database(kEmbedded, false);
    QSqlQuery sq(db);
    bool ok = !countSeats_
              || run(sq, QStringLiteral("UPDATE bus_instance SET free_seats = free_seats - (SELECT count(*) FROM seat_matrix s "
                                        "WHERE s.instance_id = bus_instance.instance_id)"));
    ok = ok && run(sq, QStringLiteral("UPDATE nbk_sequence SET value = %1 WHERE name = 'c_seq'").arg(lastCustomer))
         && run(sq, QStringLiteral("UPDATE nbk_sequence SET value = %1 WHERE name = 'instance_seq'").arg(lastRun));
    for (const QString &t : std::as_const(triggers_))
        ok = ok && run(sq, t);
    ok = ok && db.commit();
    return ok && run(sq, QStringLiteral("ANALYZE"));
}

// ---- the server ------------------------------------------------------------------------

ServerSink::ServerSink(const QString &adminUri, const QString &name) : admin_(data::PostgresUri::parse(adminUri)), name_(name) {}

ServerSink::~ServerSink()
{
    {
        QSqlDatabase db = QSqlDatabase::database(kServer, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(kServer);
}

bool ServerSink::open(bool quietRules)
{
    if (!admin_.valid) {
        std::fprintf(stderr, "NBK_TEST_PG_URI is not a postgresql:// URI\n");
        return false;
    }
    database_ = QStringLiteral("nbk_bench_%1%2").arg(QCoreApplication::applicationPid()).arg(name_);
    QString error;
    data::schema::InitOptions o;
    o.kdfIterations = 1000;
    if (!adminRun(admin_.toString(), {QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(database_)}, &error)
        || !data::schema::createServerDatabase(admin_.withDatabase(database_), o, &error)) {
        std::fprintf(stderr, "cannot create the server database: %s\n", qPrintable(error));
        return false;
    }
    // a login role of its own: the server's standing accounts keep their passwords
    user_ = database_;
    if (!data::schema::createServerRole(admin_.withDatabase(database_), user_, QLatin1String(data::schema::kDefaultPassword), true,
                                        &error)) {
        std::fprintf(stderr, "cannot create the login role: %s\n", qPrintable(error));
        return false;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), kServer);
    data::PostgresUri uri = admin_;
    uri.database = database_;
    data::DbError err;
    if (!data::openPostgres(db, uri, QString(), QString(), 10, false, err)) {
        std::fprintf(stderr, "cannot open the server database: %s\n", qPrintable(err.description));
        return false;
    }
    QSqlQuery q(db);
    // a load's own session: no trigger fires (an administrator's setting)
    return run(q, QStringLiteral("BEGIN"))
           && (!quietRules || run(q, QStringLiteral("SET LOCAL session_replication_role = replica")));
}

QString ServerSink::server() const
{
    data::PostgresUri u = admin_;
    u.user.clear();
    u.password.clear();
    u.database = database_;
    return u.toString();
}

bool ServerSink::row(const char *table, const QVariantList &values)
{
    const QString name = QLatin1String(table);
    if (!buffers_.contains(name))
        order_ << name;
    QString &b = buffers_[name];
    b += b.isEmpty() ? QStringLiteral("INSERT INTO %1 VALUES (").arg(name) : QStringLiteral(", (");
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i)
            b += QLatin1Char(',');
        b += literal(values[i]);
    }
    b += QLatin1Char(')');
    // every table goes out whenever one is full, parents first, so that no row
    // arrives before the row it refers to
    return ++pending_ < kRowsPerInsert || flush();
}

bool ServerSink::finish(int lastCustomer, int lastRun)
{
    QSqlQuery q(QSqlDatabase::database(kServer, false));
    if (!flush()
        || (countSeats_
            && !run(q, QStringLiteral("UPDATE bus_instance b SET free_seats = b.free_seats - s.n FROM (SELECT instance_id, "
                                      "count(*) AS n FROM seat_matrix GROUP BY instance_id) s WHERE s.instance_id = b.instance_id")))
        || !run(q, QStringLiteral("SELECT setval('c_seq', %1)").arg(lastCustomer))
        || !run(q, QStringLiteral("SELECT setval('instance_seq', %1)").arg(lastRun)) || !run(q, QStringLiteral("COMMIT")))
        return false;
    return run(q, QStringLiteral("VACUUM ANALYZE"));
}

void ServerSink::drop()
{
    if (database_.isEmpty())
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(kServer, false);
        db.close();
    }
    QString error;
    if (!adminRun(admin_.toString(),
                  {QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(database_),
                   QStringLiteral("DROP ROLE IF EXISTS \"%1\"").arg(user_)},
                  &error))
        std::fprintf(stderr, "cannot drop %s: %s\n", qPrintable(database_), qPrintable(error));
    database_.clear();
}

QString ServerSink::literal(const QVariant &v)
{
    if (v.isNull())
        return QStringLiteral("NULL");
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
        return QString::number(v.toLongLong());
    case QMetaType::Double:
        return QString::number(v.toDouble(), 'g', 17);
    case QMetaType::QDateTime:
        return v.toDateTime().toString(QStringLiteral("''yyyy-MM-dd HH:mm:ss''"));
    default: {
        QString s = v.toString();
        s.replace(QLatin1Char('\''), QLatin1String("''"));
        return QLatin1Char('\'') + s + QLatin1Char('\'');
    }
    }
}

bool ServerSink::flush()
{
    QSqlQuery q(QSqlDatabase::database(kServer, false));
    for (const QString &table : order_) {
        QString &b = buffers_[table];
        if (!b.isEmpty() && !run(q, b))
            return false;
        b.clear();
    }
    pending_ = 0;
    return true;
}

bool ServerSink::adminRun(const QString &uri, const QStringList &statements, QString *error)
{
    const QString name = QStringLiteral("bench_admin");
    bool ok;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        data::DbError err;
        ok = data::openPostgres(db, data::PostgresUri::parse(uri), QString(), QString(), 10, false, err);
        if (!ok)
            *error = err.description;
        for (qsizetype i = 0; ok && i < statements.size(); ++i) {
            QSqlQuery q(db);
            ok = q.exec(statements[i]);
            if (!ok)
                *error = q.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

bool ServerSink::ownerRun(const QString &sql) const
{
    QString error;
    if (adminRun(admin_.withDatabase(database_), {sql}, &error))
        return true;
    std::fprintf(stderr, "%s\n%s\n", qPrintable(sql), qPrintable(error));
    return false;
}

// ---- the network -----------------------------------------------------------------------

bool generateNetwork(const QList<Sink *> &sinks, const NetworkShape &shape, std::mt19937 &rng, Network &n)
{
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto out = [&](const char *table, const QVariantList &values) { return put(sinks, table, values); };
    const int places = shape.places;

    // places: names start with a consonant and a vowel, about ten to a prefix
    const QString consonants = QStringLiteral("bcdfghjklmnprstvwz");
    const QString vowels = QStringLiteral("aeiou");
    const QStringList tails = {QStringLiteral("pur"), QStringLiteral("halli"), QStringLiteral("nagar"),
                               QStringLiteral("kere"), QStringLiteral("gudi"), QStringLiteral("pet"),
                               QStringLiteral("gere"), QStringLiteral("wadi")};
    QStringList codes, names;
    QSet<QString> used;
    while (names.size() < places - 2) {
        QString name;
        for (int s = pick(2, 3); s > 0; --s)
            name += consonants.at(pick(0, int(consonants.size()) - 1)) + QString(vowels.at(pick(0, 4)));
        name += tails.at(pick(0, int(tails.size()) - 1));
        name[0] = name[0].toUpper();
        if (used.contains(name))
            continue;
        used.insert(name);
        names << name;
        codes << QStringLiteral("P%1").arg(names.size(), 4, 10, QLatin1Char('0'));
    }
    names << QString::fromLatin1(kFromName) << QString::fromLatin1(kToName);
    codes << QString::fromLatin1(kFromCode) << QString::fromLatin1(kToCode);
    for (int i = 0; i < names.size(); ++i)
        if (!out("place", {codes[i], names[i]}))
            return false;
    for (int i = 0; i < names.size(); i += 3)
        if (!out("bus_stand", {i + 1, names[i], QStringLiteral("Bus Stand")}))
            return false;

    // routes and their elements
    QHash<QString, int> elements;
    for (int r = 1; r <= shape.routes; ++r) {
        Route route;
        const int stops = r == 1 ? 12 : pick(5, 15);
        QSet<int> in;
        while (route.places.size() < stops) {
            const int p = pick(0, places - 3);
            if (in.contains(p))
                continue;
            in.insert(p);
            route.places << codes[p];
        }
        if (r == 1) {
            route.places[kFromPos - 1] = QString::fromLatin1(kFromCode);
            route.places[kToPos] = QString::fromLatin1(kToCode);
        }
        route.stop = pick(0, 1) ? 5 : 10;
        double total = 0;
        for (int i = 0; i + 1 < stops; ++i) {
            const QString key = route.places[i] + QLatin1Char('>') + route.places[i + 1];
            double km = pick(20, 120);
            if (!elements.contains(key)) {
                const int reid = int(elements.size()) + 1;
                elements.insert(key, reid);
                if (!out("route_element", {reid, route.places[i], route.places[i + 1], km}))
                    return false;
            }
            route.reids << elements.value(key);
            route.km << km;
            total += km;
        }
        route.travel = std::nearbyint(total * 60.0 / 50.0 + (stops - 2) * route.stop);
        static const int intervals[] = {60, 90, 120, 180};
        route.interval = intervals[pick(0, 3)];
        route.hour = pick(5, 7);
        route.minute = 15 * pick(0, 3);
        QList<int> all = {0, 1, 2, 3, 4};
        std::shuffle(all.begin(), all.end(), rng);
        route.classes = all.mid(0, pick(2, 3));
        if (r == 1 && !route.classes.contains(2))
            route.classes[0] = 2;
        const int fpi = pick(1, 3);
        if (!out("route", {r, route.places.first(), route.places.last(), stops, total, fpi, route.stop, route.travel, QVariant()}))
            return false;
        for (int k = 0; k < route.reids.size(); ++k)
            if (!out("path_order", {r, k + 1, route.reids[k]}))
                return false;
        if (!out("route_frequency", {r, 8, route.interval, route.hour, route.minute}))
            return false;
        for (int c : route.classes)
            if (!out("service_class", {r, 8, c}))
                return false;
        n.routes << route;
    }

    // vehicles, five classes
    QList<QStringList> &fleet = n.fleet;
    QHash<QString, int> &seatsOf = n.seatsOf;
    fleet = QList<QStringList>(5);
    for (int v = 0; v < shape.vehicles; ++v) {
        const QString reg = QStringLiteral("KA%1").arg(v + 10000);
        const int seats = 40 + (v % 4) * 4;
        if (!out("bus_info", {reg, v % 5, seats}))
            return false;
        fleet[v % 5] << reg;
        seatsOf.insert(reg, seats);
    }

    // vehicles waiting for their first run: what on-demand runs get
    for (int v = 0; v < shape.waiting; ++v)
        if (!out("bus_info", {QStringLiteral("NEW%1").arg(v + 1000), 2, 48}))
            return false;
    return true;
}

QMap<QString, std::vector<double>> &samples()
{
    static QMap<QString, std::vector<double>> m;
    return m;
}

double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1000.0 + double(t.tv_nsec) / 1e6;
}

double median(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    return ms.empty() ? 0 : ms[ms.size() / 2];
}

}  // namespace nbk::bench
