#include "LoadNetwork.h"

#include "data/session/Connection.h"
#include "data/dialect/Numbers.h"

#include <QSet>
#include <algorithm>

namespace nbk::load {

namespace {
constexpr int kPlaces = 240;
constexpr int kRoutes = 80;
constexpr int kDays = 16;          // runs made ahead from today
constexpr int kVehiclesPerClass = 500;
constexpr int kPopularRoutes = 4;
const char *const kMarker = "LD001";

QString code(int i) { return QStringLiteral("LD%1").arg(i + 1, 3, 10, QLatin1Char('0')); }

qint64 nextval(data::Connection &cn, const char *seq)
{
    return cn.query(QStringLiteral("SELECT %1.NEXTVAL FROM DUAL").arg(QLatin1String(seq))).value(0).toLongLong();
}

bool generate(data::Connection &cn)
{
    std::mt19937 rng(4242);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const QString consonants = QStringLiteral("bcdfghjklmnprstvwz");
    const QString vowels = QStringLiteral("aeiou");
    const QStringList tails = {QStringLiteral("pur"), QStringLiteral("halli"), QStringLiteral("nagar"),
                               QStringLiteral("kere"), QStringLiteral("gudi"), QStringLiteral("pet")};
    QStringList names;
    QSet<QString> used;
    while (names.size() < kPlaces) {
        QString n;
        for (int s = pick(2, 3); s > 0; --s)
            n += consonants.at(pick(0, int(consonants.size()) - 1)) + QString(vowels.at(pick(0, 4)));
        n += tails.at(pick(0, int(tails.size()) - 1));
        n[0] = n[0].toUpper();
        if (!used.contains(n)) {
            used.insert(n);
            names << n;
        }
    }
    const QString insPlace = QStringLiteral("INSERT INTO place VALUES (?, ?)");
    const QString insStand = QStringLiteral("INSERT INTO bus_stand VALUES (?, ?, ?)");
    for (int i = 0; i < kPlaces; ++i) {
        cn.execute(insPlace, {code(i), names[i]});
        if (i % 3 == 0)
            cn.execute(insStand, {10000 + i, names[i], QStringLiteral("Bus Stand")});
    }

    // vehicles: plenty per class, so that runs made on demand always find one
    QList<QStringList> fleet(5);
    QHash<QString, int> seatsOf;
    const QString insBus = QStringLiteral("INSERT INTO bus_info VALUES (?, ?, ?)");
    for (int c = 0; c < 5; ++c)
        for (int v = 0; v < kVehiclesPerClass; ++v) {
            const QString reg = QStringLiteral("LV%1%2").arg(c).arg(v, 4, 10, QLatin1Char('0'));
            const int seats = 40 + (v % 4) * 4;
            cn.execute(insBus, {reg, c, seats});
            fleet[c] << reg;
            seatsOf.insert(reg, seats);
        }

    QHash<QString, int> elements;
    const QString insElement = QStringLiteral("INSERT INTO route_element VALUES (?, ?, ?, ?)");
    const QString insRoute = QStringLiteral("INSERT INTO route VALUES (?, ?, ?, ?, ?, ?, ?, ?, NULL)");
    const QString insPath = QStringLiteral("INSERT INTO path_order VALUES (?, ?, ?)");
    const QString insFreq = QStringLiteral("INSERT INTO route_frequency VALUES (?, 8, ?, ?, ?)");
    const QString insClass = QStringLiteral("INSERT INTO service_class VALUES (?, 8, ?)");
    const QString insRun = QStringLiteral("INSERT INTO bus_instance VALUES (?, ?, ?, 'tt', 0, ?, ?, ?)");
    QList<int> nextVehicle(5, 0);
    const QDate today = QDate::currentDate();
    for (int r = 0; r < kRoutes; ++r) {
        const int stops = pick(5, 10);
        QStringList places;
        QSet<int> in;
        while (places.size() < stops) {
            const int p = pick(0, kPlaces - 1);
            if (!in.contains(p)) {
                in.insert(p);
                places << code(p);
            }
        }
        const double stop = pick(0, 1) ? 5 : 10;
        const int routeId = int(nextval(cn, "route_seq"));
        QList<int> reids;
        double total = 0;
        QList<double> kms;
        for (int i = 0; i + 1 < stops; ++i) {
            const QString key = places[i] + QLatin1Char('>') + places[i + 1];
            auto it = elements.find(key);
            if (it == elements.end()) {
                const int reid = int(nextval(cn, "reid_seq"));
                const double km = pick(20, 120);
                cn.execute(insElement, {reid, places[i], places[i + 1], km});
                it = elements.insert(key, reid);
                kms << km;
            } else {
                kms << cn.query(QStringLiteral("SELECT km FROM route_element WHERE reid = ?"), {*it}).value(0).toDouble();
            }
            reids << *it;
            total += kms.last();
        }
        const double travel = std::nearbyint(total * 60.0 / 50.0 + (stops - 2) * stop);
        static const int intervals[] = {60, 90, 120, 180};
        const int interval = intervals[pick(0, 3)], hour = pick(5, 7), minute = 15 * pick(0, 3);
        QList<int> classes = {0, 1, 2, 3, 4};
        std::shuffle(classes.begin(), classes.end(), rng);
        classes = classes.mid(0, 2);
        std::sort(classes.begin(), classes.end());
        cn.execute(insRoute, {routeId, places.first(), places.last(), stops, total, pick(1, 3), stop, travel});
        for (int k = 0; k < reids.size(); ++k)
            cn.execute(insPath, {routeId, k + 1, reids[k]});
        cn.execute(insFreq, {routeId, interval, hour, minute});
        for (int c : classes)
            cn.execute(insClass, {routeId, c});
        // runs made ahead: the day's first, third and fifth bus in the first class
        const int cls = classes.first();
        for (int d = 0; d < kDays; ++d)
            for (int k : {0, 2, 4}) {
                const QDateTime dep = QDateTime(today.addDays(d), QTime(hour, minute)).addSecs(qint64(k) * interval * 60);
                const QString reg = fleet[cls][nextVehicle[cls]++ % (kVehiclesPerClass / 2)];
                cn.execute(insRun, {nextval(cn, "instance_seq"), routeId, dep, reg, cls, seatsOf.value(reg)});
            }
    }
    return true;
}
}  // namespace

bool LoadNetwork::ensure(data::Connection &cn, QString *error, bool *created)
{
    *created = false;
    try {
        if (cn.query(QStringLiteral("SELECT count(*) FROM place WHERE place = ?"), {QString::fromLatin1(kMarker)})
                .value(0)
                .toInt()
            > 0)
            return true;
        if (cn.query(QStringLiteral("SELECT count(*) FROM route")).value(0).toInt() > 0) {
            *error = QStringLiteral("the database holds a route network of its own; nbk-load needs a new one "
                                    "(nbk-admin init DATABASE)");
            return false;
        }
        cn.beginTrans();
        generate(cn);
        cn.commitTrans();
        *created = true;
        return true;
    } catch (const data::DbException &e) {
        try {
            cn.rollbackTrans();
        } catch (const data::DbException &) {
        }
        *error = QStringLiteral("cannot create the network: ") + e.error().description;
        return false;
    }
}

bool LoadNetwork::load(data::Connection &cn, QString *error)
{
    try {
        routes_.clear();
        names_.clear();
        QHash<int, int> index;
        data::ResultSet rs = cn.query(QStringLiteral(
            "SELECT route_id, km, travelmins, stoptime FROM route WHERE place1 LIKE 'LD%' ORDER BY route_id"));
        for (; !rs.eof(); rs.moveNext()) {
            LoadRoute r;
            r.id = rs.value(0).toInt();
            r.totalKm = rs.value(1).toDouble();
            r.travelMins = rs.value(2).toDouble();
            r.stopMins = rs.value(3).toDouble();
            index.insert(r.id, int(routes_.size()));
            routes_ << r;
        }
        rs = cn.query(QStringLiteral("SELECT po.route_id, re.place1, re.place2, re.km FROM path_order po, "
                                     "route_element re WHERE re.reid = po.reid ORDER BY po.route_id, po.sequence_no"));
        for (; !rs.eof(); rs.moveNext()) {
            auto it = index.find(rs.value(0).toInt());
            if (it == index.end())
                continue;
            LoadRoute &r = routes_[*it];
            if (r.places.isEmpty())
                r.places << rs.value(1).toString();
            r.places << rs.value(2).toString();
            r.km << rs.value(3).toDouble();
        }
        rs = cn.query(QStringLiteral("SELECT route_id, frequency, hour, minute FROM route_frequency WHERE day = 8"));
        for (; !rs.eof(); rs.moveNext())
            if (auto it = index.find(rs.value(0).toInt()); it != index.end()) {
                routes_[*it].interval = rs.value(1).toInt();
                routes_[*it].hour = rs.value(2).toInt();
                routes_[*it].minute = rs.value(3).toInt();
            }
        rs = cn.query(QStringLiteral("SELECT route_id, class FROM service_class ORDER BY route_id, class"));
        for (; !rs.eof(); rs.moveNext())
            if (auto it = index.find(rs.value(0).toInt()); it != index.end())
                routes_[*it].classes << rs.value(1).toInt();
        rs = cn.query(QStringLiteral("SELECT place, full_name FROM place"));
        for (; !rs.eof(); rs.moveNext())
            names_.insert(rs.value(0).toString(), rs.value(1).toString());
    } catch (const data::DbException &e) {
        *error = e.error().description;
        return false;
    }
    routes_.erase(std::remove_if(routes_.begin(), routes_.end(),
                                 [](const LoadRoute &r) { return r.places.size() < 2 || r.classes.isEmpty(); }),
                  routes_.end());
    if (routes_.isEmpty()) {
        *error = QStringLiteral("no network made by nbk-load in the database");
        return false;
    }
    return true;
}

int boardingOffset(const LoadRoute &r, int position)
{
    double km = 0;
    for (int i = 0; i + 1 < position && i < r.km.size(); ++i)
        km += r.km[i];
    const double speed = r.travelMins > 0 ? r.totalKm / r.travelMins : 0;
    return CInt(km / speed + (position - 1) * r.stopMins);
}

Journey LoadNetwork::pick(std::mt19937 &rng, const QDate &today) const
{
    auto pickIn = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const bool popular = pickIn(0, 1) == 0;
    const int nRoutes = int(routes_.size());
    for (;;) {
        const LoadRoute &r = routes_[popular ? pickIn(0, std::min(kPopularRoutes, nRoutes) - 1) : pickIn(0, nRoutes - 1)];
        const int last = int(r.places.size()) - 1;
        // popular journeys share the route's middle stretch
        const int board = popular ? pickIn(0, last / 2) : pickIn(0, last - 1);
        const int alight = popular ? pickIn(std::max(board + 1, last / 2), last) : pickIn(board + 1, last);
        // the runs made ahead, mostly; now and then the day's first bus in the other class,
        // which has no run until a clerk asks for one. The search makes runs only when it
        // finds none of the class within a day, so those requests keep two days apart.
        const bool ahead = popular || pickIn(0, 9) > 0;
        const int day = popular ? pickIn(1, 2) : ahead ? pickIn(1, kDays - 2) : 2 * pickIn(1, (kDays - 2) / 2);
        const int k = popular ? pickIn(0, 1) * 2 : (ahead ? 2 * pickIn(0, 2) : 0);
        const int cls = ahead ? r.classes.first() : r.classes.last();
        const QDateTime dep = QDateTime(today.addDays(day), QTime(r.hour, r.minute)).addSecs(qint64(k) * r.interval * 60);
        const QDateTime at = dep.addSecs(qint64(boardingOffset(r, board + 1)) * 60);
        if (at.date() != dep.date())
            continue;  // a request is for one day; keep the search within it
        Journey j;
        j.from = names_.value(r.places[board]);
        j.to = names_.value(r.places[alight]);
        if (j.from.isEmpty() || j.to.isEmpty())
            continue;
        j.at = at;
        j.classIndex = cls;
        j.seats = pickIn(1, 3);
        return j;
    }
}

}  // namespace nbk::load
