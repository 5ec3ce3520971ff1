#include "routes/LoadRouteForChange.h"

#include "data/session/Class1.h"
#include "data/dialect/Numbers.h"
#include "data/dialect/SqlText.h"
#include "routes/StoreSchedule.h"

namespace {

const char *const SQL_ROUTE_1 = "SELECT FPI,StopTime,Travelmins from route ";
const char *const SQL_ROUTE_2 = "Where route_id=";
const char *const SQL_ROUTE_NAME = "SELECT route_name FROM route WHERE route_id = ";
const char *const SQL_FREQUENCY_1 = "SELECT * from ";
const char *const SQL_FREQUENCY_2 = "route_frequency rf Where ";
const char *const SQL_FREQUENCY_3 = "rf.route_id = ";
const char *const SQL_CLASSES_1 = "SELECT * from ";
const char *const SQL_CLASSES_2 = "service_class sc Where ";
const char *const SQL_CLASSES_3 = "sc.route_id = ";

using nbk::data::L;

}  // namespace

namespace nbk::routes {

RouteForChange LoadRouteForChange(data::Class1 &s, qint16 routeId, const QString &names)
{
    RouteForChange out;
    const QString id = QString::number(routeId);
    const RouteDescription kms = DescribeRoute(s, id, QStringLiteral(", "), QStringLiteral("KM"));
    out.notices = kms.notices;
    try {
        data::Connection &cn = s.GetCurrentConnection();
        data::ResultSet route = cn.query(L(SQL_ROUTE_1) + L(SQL_ROUTE_2) + id);
        if (!route.eof()) {
            out.timed = true;
            out.stopTime = shortestDecimal(route.value(1).toDouble());
            out.travelMins = shortestDecimal(route.value(2).toDouble());
            out.fpiIndex = CInt(route.value(0)) - 1;
        }
        route.close();
        out.name = storedRouteName(s, routeId);

        const data::RowTable days = cn.query(L(SQL_FREQUENCY_1) + L(SQL_FREQUENCY_2) + L(SQL_FREQUENCY_3) + id).getRows();
        for (int r = 0; r < days.rowCount(); ++r) {
            const int day = CInt(days.at(1, r));
            if (day >= 1 && day <= 8)
                out.days.push_back({day, shortestDecimal(days.at(2, r).toDouble()), CInt(days.at(3, r)),
                                    CInt(days.at(4, r))});
        }

        const data::RowTable rows = cn.query(L(SQL_CLASSES_1) + L(SQL_CLASSES_2) + L(SQL_CLASSES_3) + id).getRows();
        for (int r = 0; r < rows.rowCount(); ++r) {
            const int day = CInt(rows.at(1, r));
            const int c = CInt(rows.at(2, r));
            if (day >= 1 && day <= 8 && c >= 0 && c <= 4)
                out.classBoxes.push_back(classBox(c, day));
        }
    } catch (const std::exception &e) {
        out.notices.push_back({QStringLiteral("The route could not be read from the database.\r\n")
                                   + QString::fromUtf8(e.what()).trimmed(),
                               mb::Critical | mb::OKOnly, QStringLiteral("Error")});
        return out;
    }
    out.names = names;
    out.kms = kms.text;
    out.loaded = true;
    return out;
}

QString storedRouteName(data::Class1 &s, qint64 routeId)
{
    const data::RowTable name =
        s.GetCurrentConnection().query(L(SQL_ROUTE_NAME) + QString::number(routeId)).getRows();
    return name.isEmpty() || name.at(0, 0).isNull() ? QString() : name.at(0, 0).toString();
}

}  // namespace nbk::routes
