#include "reports/BuildSeatChart.h"

#include "data/session/Class1.h"
#include "data/dialect/DbError.h"
#include "ui/prompt/Prompt.h"
#include "data/dialect/Numbers.h"
#include "data/dialect/SqlText.h"
#include "data/session/Transaction.h"
#include "reports/SeatChart.h"

namespace nbk::reports {

namespace {

const char *const MSG_INVALID_ID = " Invalid Instance Id";
const char *const MSG_NO_PATH = " Route Id not found in database";
const char *const MSG_NO_STOP = "Unable to get route";

const char *const SQL_ROUTE_1 =
    "select stops , rid.bus_id from route, (Select bus_id from bus_instance where instance_id =";
const char *const SQL_ROUTE_2 = ") rid where route_id = rid.bus_id";
const char *const SQL_STOPS = "select stops from route where route_id = ";
const char *const SQL_STOP_1 = "SELECT FULL_NAME from place , ";
const char *const SQL_FIRST_2 = "(Select place1 from route_element where Reid = ";
const char *const SQL_LAST_2 = "(Select place2 from route_element where Reid = ";
const char *const SQL_STOP_3 = ") p ";
const char *const SQL_FIRST_4 = " WHERE p.place1 = place.place ";
const char *const SQL_LAST_4 = " WHERE p.place2 = place.place ";
const char *const SQL_CLEAR = "Delete  from TempBusRoute where seat_no>0";
const char *const SQL_SEAT_1 = " SELECT Route_sequence1,Route_sequence2,Customer_id from seat_matrix where ";
const char *const SQL_SEAT_2 = " Instance_id = ";
const char *const SQL_SEAT_3 = " AND seat_no = ";
const char *const SQL_INSERT_1 = "Insert into TempBusRoute values( ";
const char *const SQL_INSERT_2 = ", '";
const char *const SQL_INSERT_3 = "')";
const char *const SQL_LINES = "Select * from TempBusRoute order by seat_no";
const char *const SQL_RUN = "Select * from bus_instance where instance_id =";

Message stop(const char *text) { return {QString::fromLatin1(text), mb::Critical | mb::OKOnly, QStringLiteral("Error")}; }

// Runs a change the chart depends on; a refused one would leave a partial chart.
void change(data::Class1 &s, const QString &sql)
{
    if (s.exec(sql) != nbk::data::kExecOk)
        throw data::DbException(data::DbError{0, s.LastExecError()});
}

QString number(const QVariant &v) { return shortestDecimal(v.toDouble()); }

QString stopName(data::Connection &cn, const char *placeSelect, const char *where, const QVariant &reid)
{
    const data::ResultSet r = cn.query(QString::fromLatin1(SQL_STOP_1) + QString::fromLatin1(placeSelect) + number(reid)
                                       + QString::fromLatin1(SQL_STOP_3) + QString::fromLatin1(where));
    if (r.eof())
        throw std::out_of_range("no place");
    return r.value(QStringLiteral("FULL_NAME")).toString();
}

// The scratch table's columns (read, without rows of this session, from the table
// itself) with the lines as their rows.
data::ResultSet withRows(const data::ResultSet &columns, const QStringList &lines)
{
    QStringList names;
    for (int i = 0; i < columns.fieldCount(); ++i)
        names << columns.fieldName(i);
    std::vector<QVariantList> rows;
    for (int i = 0; i < lines.size(); ++i)
        rows.push_back({QVariant(i + 1), lines[i]});
    return data::ResultSet(names, std::move(rows));
}

}  // namespace

SeatChartOutcome buildSeatChart(data::Class1 &s, const QString &typed)
{
    SeatChartOutcome out;
    const std::optional<qint32> id = wholeNumber(typed);
    if (!id) {
        out.message = stop(MSG_INVALID_ID);
        return out;
    }
    data::Connection &cn = s.GetCurrentConnection();
    try {
        const data::ResultSet route = cn.query(QString::fromLatin1(SQL_ROUTE_1) + QString::number(*id)
                                               + QString::fromLatin1(SQL_ROUTE_2));
        if (route.eof()) {
            out.message = stop(MSG_INVALID_ID);
            return out;
        }
        const qint32 routeId = CLng(route.value(1));
        s.SetupGetPath(routeId);
        const data::RowTable path = s.SQLcmdGetPath().execute().getRows();
        if (path.isEmpty()) {
            out.message = stop(MSG_NO_PATH);
            return out;
        }
        const data::ResultSet stops = cn.query(QString::fromLatin1(SQL_STOPS) + QString::number(routeId));
        const double n = stops.eof() ? 0 : stops.value(0).toDouble();
        if (!(n >= chart::kMinStops && n <= chart::kMaxStops)) {
            out.message = Message{QStringLiteral("The route of this run has %1 stops; the seat chart covers routes of "
                                                 "%2 to %3 stops. ")
                                      .arg(shortestDecimal(n))
                                      .arg(chart::kMinStops)
                                      .arg(chart::kMaxStops),
                                  mb::Critical | mb::OKOnly, QStringLiteral("Error")};
            return out;
        }
        const int stopCount = CInt(n);
        QStringList names;
        try {
            // a path shorter than the route's stops has a stop without a name
            if (path.rowCount() < stopCount - 1)
                throw std::out_of_range("short path");
            for (int k = 0; k <= stopCount - 2; ++k)
                names << stopName(cn, SQL_FIRST_2, SQL_FIRST_4, path.at(2, k));
            names << stopName(cn, SQL_LAST_2, SQL_LAST_4, path.at(2, stopCount - 2));
        } catch (const std::out_of_range &) {
            out.message = Message{QString::fromLatin1(MSG_NO_STOP), mb::OKOnly, QString()};
            return out;
        }
        out.chart.instanceId = *id;
        out.chart.headerLine = chart::headerLine(names);
        out.chart.stops = names;

        if (s.IsInTransaction()) {
            out.message = Message{data::pendingWorkMessage(s.PendingTask()), mb::Critical | mb::OKOnly,
                                  QStringLiteral("Error")};
            return out;
        }
        // a hot standby takes no writes, not even scratch rows: the same lines are kept
        // here instead of in TempBusRoute
        const bool readOnly = s.ReadOnlySession();
        data::Transaction tx;
        if (!readOnly) {
            change(s, QString::fromLatin1(SQL_CLEAR));
            tx = data::Transaction(s, QStringLiteral("the seat chart of run %1").arg(*id));
            if (!tx.isOpen()) {
                out.message = Message{tx.refusal(), mb::Critical | mb::OKOnly, QStringLiteral("Error")};
                return out;
            }
        }
        QStringList lines;
        for (int seat = 1; seat <= chart::kSeatLines; ++seat) {
            const data::RowTable rows =
                cn.query(QString::fromLatin1(SQL_SEAT_1) + QString::fromLatin1(SQL_SEAT_2) + QString::number(*id)
                         + QString::fromLatin1(SQL_SEAT_3) + QString::number(seat))
                    .getRows();
            QList<chart::Booking> bookings;
            for (int r = 0; r < rows.rowCount(); ++r) {
                const double a = rows.at(0, r).toDouble(), b = rows.at(1, r).toDouble();
                // numbers far outside the route only clip to it
                bookings << chart::Booking{int(qBound(-1.0, a, 1000.0)), int(qBound(-1.0, b, 1000.0)),
                                           rows.at(2, r).isNull() ? QString() : number(rows.at(2, r))};
            }
            lines << chart::seatLine(names, bookings);
            out.chart.seats << chart::SeatMarks{seat, chart::heldStretches(stopCount, bookings), chart::holders(bookings)};
            if (!readOnly)
                change(s, QString::fromLatin1(SQL_INSERT_1) + QString::number(seat) + QString::fromLatin1(SQL_INSERT_2)
                              + data::sqlText(lines.last()) + QString::fromLatin1(SQL_INSERT_3));
        }
        out.chart.lines = cn.query(QString::fromLatin1(SQL_LINES));
        if (readOnly)
            out.chart.lines = withRows(out.chart.lines, lines);
        out.chart.run = cn.query(QString::fromLatin1(SQL_RUN) + QString::number(*id));
        if (!readOnly) {
            change(s, QString::fromLatin1(SQL_CLEAR));
            tx.commit();
        }
    } catch (const data::DbException &e) {
        // the transaction, if open, rolled back on the way out
        out = SeatChartOutcome{};
        out.message = databaseFailure(e);
    }
    return out;
}

}  // namespace nbk::reports
