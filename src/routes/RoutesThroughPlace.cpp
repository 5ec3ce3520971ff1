#include "routes/RoutesThroughPlace.h"

#include "data/session/Class1.h"
#include "data/dialect/SqlText.h"

namespace nbk::routes {

namespace {
// the place as typed, in any capitals
const char *const SQL_PLACE_1 = "Select place from place where UPPER(full_name) = UPPER('";
const char *const SQL_PLACE_2 = "')";
const char *const SQL_ROUTES_1 =
    " Select distinct po.route_id from path_order po where reid in ( Select reid from route_element where place1= '";
const char *const SQL_ROUTES_2 = "' OR place2 = '";
const char *const SQL_ROUTES_3 = "') ";
}  // namespace

RoutesThroughPlace routesThroughPlace(data::Class1 &s, const QString &fullName)
{
    RoutesThroughPlace out;
    data::RowTable rows;
    try {
        data::Connection &cn = s.GetCurrentConnection();
        data::ResultSet place =
            cn.query(QString::fromLatin1(SQL_PLACE_1) + data::sqlText(fullName) + QString::fromLatin1(SQL_PLACE_2));
        if (place.eof()) {
            out.notices.push_back({QStringLiteral("Error in name entry"), mb::Critical | mb::OKOnly, {}});
            out.focus = Focus::SearchPlace;
            return out;
        }
        const QString code = data::sqlText(place.value(QStringLiteral("place")).toString().trimmed());
        rows = cn.query(QString::fromLatin1(SQL_ROUTES_1) + code + QString::fromLatin1(SQL_ROUTES_2) + code
                        + QString::fromLatin1(SQL_ROUTES_3))
                   .getRows();
    } catch (const std::exception &e) {
        out.notices.push_back({QStringLiteral("The routes could not be searched.\r\n") + QString::fromUtf8(e.what()),
                               mb::Critical | mb::OKOnly, QStringLiteral("Error")});
        return out;
    }
    if (rows.isEmpty()) {
        out.notices.push_back({QStringLiteral("None of the available routes contain ") + fullName,
                               mb::Information | mb::OKOnly, QStringLiteral("Information")});
        out.focus = Focus::SearchPlace;
        return out;
    }
    for (int r = 0; r < rows.rowCount(); ++r)
        out.routes << qint64(rows.at(0, r).toDouble());
    return out;
}

}  // namespace nbk::routes
