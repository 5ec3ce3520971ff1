#include "routes/DescribeRoute.h"

#include "data/session/Class1.h"
#include "data/dialect/DbError.h"
#include "data/dialect/Numbers.h"
#include "ui/prompt/Prompt.h"

#include <cmath>
#include <optional>

namespace {

const char *const MSG_INVALID = "Invalid Route ID";
const char *const MSG_NOT_FOUND = " Route Id not found in database";
const char *const SQL_LAST_1 = " select full_name from place , ";
const char *const SQL_LAST_2 = " (Select * from path_order where route_id = ";
const char *const SQL_LAST_3 = ") po ";
const char *const SQL_LAST_4 = " Where po.reid = ";
const char *const SQL_LAST_5 = " AND ";
const char *const SQL_LAST_6 = "place in (select place2 from route_element where reid in po.reid) ";
const char *const SQL_LAST_7 = "order by po.sequence_no";

nbk::Notice error(const QString &text)
{
    return {text, nbk::mb::Critical | nbk::mb::OKOnly, QStringLiteral("Error")};
}

// The route number as it enters the statements: a whole number formatted from the typed
// value, so the path and its last place are read for the same route.
std::optional<qint32> routeNumber(const QString &typed)
{
    if (!nbk::IsNumeric(typed))
        return std::nullopt;
    const double v = nbk::Val(typed);
    if (!std::isfinite(v) || std::fabs(v) > 2147483647.0)
        return std::nullopt;
    return nbk::CLng(v);
}

}  // namespace

namespace nbk::routes {

RouteDescription DescribeRoute(data::Class1 &s, const QString &routeIdText, const QString &separator,
                               const QString &kind)
{
    RouteDescription out;
    const std::optional<qint32> id = routeNumber(routeIdText);
    if (!id) {
        out.notices.push_back(error(QString::fromLatin1(MSG_INVALID)));
        return out;
    }
    try {
        s.SetupGetPath(*id);
        const data::RowTable path = s.SQLcmdGetPath().execute().getRows();
        if (path.isEmpty()) {
            out.notices.push_back(error(QString::fromLatin1(MSG_NOT_FOUND)));
            return out;
        }
        out.found = true;
        if (kind == QLatin1String("KM")) {
            QStringList kms;
            for (int r = 0; r < path.rowCount(); ++r)
                kms << shortestDecimal(path.at(3, r).toDouble());
            out.text = kms.join(separator);
            return out;
        }
        QStringList names;
        for (int r = 0; r < path.rowCount(); ++r)
            names << path.at(0, r).toString();
        const QString lastReid = shortestDecimal(path.at(2, path.lastRow()).toDouble());
        const data::ResultSet last = s.GetCurrentConnection().query(
            QString::fromLatin1(SQL_LAST_1) + QString::fromLatin1(SQL_LAST_2) + QString::number(*id)
            + QString::fromLatin1(SQL_LAST_3) + QString::fromLatin1(SQL_LAST_4) + lastReid
            + QString::fromLatin1(SQL_LAST_5) + QString::fromLatin1(SQL_LAST_6) + QString::fromLatin1(SQL_LAST_7));
        if (!last.eof())
            names << last.value(0).toString();
        QString text;
        for (const QString &n : names)
            text += separator + n.trimmed();
        out.text = text.mid(1);
    } catch (const data::DbException &e) {
        out = {};
        out.notices.push_back(error(QStringLiteral("The route could not be read from the database: ")
                                    + e.error().description.trimmed()));
    }
    return out;
}

}  // namespace nbk::routes
