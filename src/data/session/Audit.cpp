#include "data/session/Audit.h"

#include "data/session/Connection.h"
#include "data/dialect/Numbers.h"

#include <QHash>
#include <cmath>

namespace nbk::data {

namespace {
// Two rows of one seat on one run whose stretches share a segment (both ends included).
const char *const SQL_OVERLAPS =
    "SELECT count(*) FROM seat_matrix a, seat_matrix b WHERE a.instance_id = b.instance_id "
    "AND a.seat_no = b.seat_no AND a.route_sequence1 <= b.route_sequence2 "
    "AND b.route_sequence1 <= a.route_sequence2 AND (a.customer_id < b.customer_id "
    "OR (a.customer_id = b.customer_id AND (a.route_sequence1 < b.route_sequence1 "
    "OR (a.route_sequence1 = b.route_sequence1 AND a.route_sequence2 < b.route_sequence2))))";
// A booking lowers the counter by its seats and a cancellation raises it by the seats it
// frees, whatever the stretch: the counter is the capacity minus the seat rows.
const char *const SQL_COUNTERS =
    "SELECT count(*) FROM bus_instance bi, bus_info b WHERE b.registration = bi.registration "
    "AND bi.free_seats <> b.total_seats - (SELECT count(*) FROM seat_matrix s "
    "WHERE s.instance_id = bi.instance_id)";
const char *const SQL_TEMP = "SELECT count(*) FROM customer WHERE name = '**TEMP**'";
const char *const SQL_FARES =
    "SELECT c.customer_id, c.fare, count(*), min(s.route_sequence1), max(s.route_sequence2), "
    "ct.base, ct.multiplier, f.multiplier, bi.bus_id, "
    "(SELECT count(*) FROM seat_category sc WHERE sc.customer_id = c.customer_id), "
    "(SELECT coalesce(sum(sc.fare), 0) FROM seat_category sc WHERE sc.customer_id = c.customer_id) "
    "FROM customer c, seat_matrix s, "
    "bus_instance bi, class_type ct, route r, fuel_index f WHERE s.customer_id = c.customer_id "
    "AND bi.instance_id = c.instance_id AND ct.class = bi.class AND r.route_id = bi.bus_id "
    "AND f.fpi = r.fpi AND c.name <> '**TEMP**' "
    "GROUP BY c.customer_id, c.fare, ct.base, ct.multiplier, f.multiplier, bi.bus_id";
// customers without a seat hold nothing and owe nothing
const char *const SQL_SEATLESS =
    "SELECT count(*) FROM customer c WHERE c.name <> '**TEMP**' AND c.fare <> 0 AND NOT EXISTS "
    "(SELECT 1 FROM seat_matrix s WHERE s.customer_id = c.customer_id)";
// each concession seat with the share it was sold at and its fare
const char *const SQL_CONCESSIONS = "SELECT customer_id, share, fare FROM seat_category";
// each charge with the shares of the schedule sold with its booking (none: sold without)
const char *const SQL_CHARGES =
    "SELECT cc.fare_before - cc.fare_after, cc.retained_share, cc.retained, cc.refunded, "
    "(SELECT count(*) FROM sale_terms st JOIN cancel_slab s ON s.effective_from = st.slabs_from "
    "WHERE st.customer_id = cc.customer_id AND abs(s.retained_share - cc.retained_share) < 1e-9) "
    "FROM cancel_charge cc";
const char *const SQL_DISTANCE =
    "SELECT SUM(KM) from route_element WHERE REID IN ( SELECT REID From PATH_ORDER "
    "WHERE ROUTE_ID = ? AND Sequence_no >= ? And sequence_no <= ? )";

int count(Connection &cn, const char *sql) { return cn.query(QString::fromLatin1(sql)).value(0).toInt(); }
}  // namespace

qint16 seatFare(double km, double fuelMultiplier, double classMultiplier, double classBase)
{
    const qint16 a = CInt(km * fuelMultiplier);
    const qint16 b = CInt(km * classMultiplier + a);
    return CInt(double(b) + classBase);
}

QString AuditFigures::summary() const
{
    return QStringLiteral("overlaps %1, counter mismatches %2, temporary rows %3, fare mismatches %4, "
                          "concession mismatches %5, charge mismatches %6")
        .arg(overlaps)
        .arg(counterMismatches)
        .arg(tempRows)
        .arg(fareMismatches)
        .arg(concessionMismatches)
        .arg(chargeMismatches);
}

AuditFigures auditDatabase(Connection &cn)
{
    AuditFigures a;
    a.overlaps = count(cn, SQL_OVERLAPS);
    a.counterMismatches = count(cn, SQL_COUNTERS);
    a.tempRows = count(cn, SQL_TEMP);
    a.fareMismatches = count(cn, SQL_SEATLESS);
    QMultiHash<qint64, std::pair<double, double>> concessions;  // customer -> share, fare
    for (ResultSet c = cn.query(QString::fromLatin1(SQL_CONCESSIONS)); !c.eof(); c.moveNext())
        concessions.insert(c.value(0).toLongLong(), {c.value(1).toDouble(), c.value(2).toDouble()});
    for (ResultSet c = cn.query(QString::fromLatin1(SQL_CHARGES)); !c.eof(); c.moveNext()) {
        const double returned = c.value(0).toDouble(), share = c.value(1).toDouble(), retained = c.value(2).toDouble();
        // the charge is its slab's share of what was given back, up to the next paisa; all of
        // it past the last slab
        const bool ofSlab = c.value(4).toInt() > 0 || std::fabs(share - 1) < 1e-9;
        if (!ofSlab || retained < returned * share - 0.005 || retained > returned * share + 0.01
            || std::fabs(c.value(3).toDouble() - (returned - retained)) > 0.005)
            ++a.chargeMismatches;
    }
    QHash<QString, double> distances;
    ResultSet rs = cn.query(QString::fromLatin1(SQL_FARES));
    for (; !rs.eof(); rs.moveNext()) {
        const int route = rs.value(8).toInt(), s1 = rs.value(3).toInt(), s2 = rs.value(4).toInt();
        const QString key = QStringLiteral("%1/%2/%3").arg(route).arg(s1).arg(s2);
        auto it = distances.find(key);
        if (it == distances.end()) {
            ResultSet d = cn.query(QString::fromLatin1(SQL_DISTANCE), {route, s1, s2});
            it = distances.insert(key, d.eof() ? 0.0 : d.value(0).toDouble());
        }
        // the booking takes whole kilometres
        const double km = double(CLng(*it));
        const double perSeat = seatFare(km, rs.value(7).toDouble(), rs.value(6).toDouble(), rs.value(5).toDouble());
        const double atCategories = rs.value(10).toDouble();
        const int adults = rs.value(2).toInt() - rs.value(9).toInt();
        if (std::fabs(rs.value(1).toDouble() - (perSeat * adults + atCategories)) > 0.001)
            ++a.fareMismatches;
        for (const auto &[share, fare] : concessions.values(rs.value(0).toLongLong()))
            if (std::fabs(fare - double(CInt(perSeat * share))) > 0.001)
                ++a.concessionMismatches;
    }
    return a;
}

}  // namespace nbk::data
