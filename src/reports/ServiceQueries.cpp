#include "reports/ServiceQueries.h"

#include "data/session/Class1.h"
#include "data/dialect/DbError.h"
#include "ui/prompt/Prompt.h"
#include "data/dialect/Numbers.h"
#include "data/dialect/SqlText.h"
#include "routes/DescribeRoute.h"
#include "routes/LoadRouteForChange.h"

namespace nbk::reports {

namespace {

const char *const MSG_NOT_SERVICED = "RouteID not is not yet serviced by any instance.Or it does not exist ";
const char *const MSG_NO_VEHICLE = "This vehicle was not found in our database";

const char *const SQL_ROUTE_SERVICE = "SELECT instance_id,dep_date,km from routeserviceview where route_id = ";
const char *const SQL_ACCIDENT_1 = "SELECT * from accidentview where registration = '";
const char *const SQL_ACCIDENT_2 = "'";
const char *const SQL_PASSENGERS = "Select * from customer c,seat_matrix s where c.customer_id = s.customer_id";
const char *const SQL_TIME_TABLE = "select * from bTimeTable";

Message information(const char *text)
{
    return {QString::fromLatin1(text), mb::Information | mb::OKOnly, QStringLiteral("Information")};
}

FixedReportOutcome fixedReport(data::Class1 &s, const char *sql)
{
    FixedReportOutcome out;
    try {
        out.rows = s.GetCurrentConnection().query(QString::fromLatin1(sql));
    } catch (const data::DbException &e) {
        out.message = databaseFailure(e);
    }
    return out;
}

}  // namespace

RouteServiceOutcome routeService(data::Class1 &s, const QString &typed)
{
    RouteServiceOutcome out;
    const routes::RouteDescription stops = routes::DescribeRoute(s, typed, QStringLiteral("-"), QStringLiteral("Route"));
    out.notices = stops.notices;
    // the description tells the clerk that the number is not one; no query can use it
    if (!IsNumeric(typed)) {
        out.told = true;
        return out;
    }
    try {
        // the same whole number the description read the route by
        data::ResultSet r = s.GetCurrentConnection().query(QString::fromLatin1(SQL_ROUTE_SERVICE)
                                                           + QString::number(CLng(Val(typed.trimmed()))));
        if (r.eof()) {
            out.message = information(MSG_NOT_SERVICED);
            return out;
        }
        const qint64 routeId = CLng(Val(typed.trimmed()));
        out.service = RouteService{typed, stops.text, r, routes::storedRouteName(s, routeId)};
    } catch (const data::DbException &e) {
        out.message = databaseFailure(e);
    }
    return out;
}

AccidentOutcome accidentPassengers(data::Class1 &s, const QString &typed)
{
    AccidentOutcome out;
    try {
        data::ResultSet r = s.GetCurrentConnection().query(QString::fromLatin1(SQL_ACCIDENT_1) + data::sqlText(typed)
                                                           + QString::fromLatin1(SQL_ACCIDENT_2));
        if (r.eof()) {
            out.message = information(MSG_NO_VEHICLE);
            return out;
        }
        const QVariant instance = r.value(QStringLiteral("Instance"));
        out.passengers = AccidentPassengers{typed, instance.isNull() ? QString() : shortestDecimal(instance.toDouble()), r};
    } catch (const data::DbException &e) {
        out.message = databaseFailure(e);
    }
    return out;
}

FixedReportOutcome passengerList(data::Class1 &s) { return fixedReport(s, SQL_PASSENGERS); }
FixedReportOutcome timeTable(data::Class1 &s) { return fixedReport(s, SQL_TIME_TABLE); }

}  // namespace nbk::reports
