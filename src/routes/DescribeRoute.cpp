#include "routes/DescribeRoute.h"

#include "data/Class1.h"
#include "data/DbError.h"
#include "data/Numbers.h"
#include "data/MessageHook.h"

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

void tell(const char *text)
{
    nbk::data::showMessage(QString::fromLatin1(text), nbk::mb::Critical | nbk::mb::OKOnly, QStringLiteral("Error"));
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

QString DescribeRoute(const QString &routeIdText, const QString &separator, const QString &kind)
{
    const std::optional<qint32> id = routeNumber(routeIdText);
    if (!id) {
        tell(MSG_INVALID);
        return QString();
    }
    nbk::data::Class1 &s = *DbSession;
    try {
        s.SetupGetPath(*id);
        const nbk::data::RowTable path = s.SQLcmdGetPath().execute().getRows();
        if (path.isEmpty()) {
            tell(MSG_NOT_FOUND);
            return QString();
        }
        if (kind == QLatin1String("KM")) {
            QStringList kms;
            for (int r = 0; r < path.rowCount(); ++r)
                kms << nbk::shortestDecimal(path.at(3, r).toDouble());
            return kms.join(separator);
        }
        QStringList names;
        for (int r = 0; r < path.rowCount(); ++r)
            names << path.at(0, r).toString();
        const QString lastReid = nbk::shortestDecimal(path.at(2, path.lastRow()).toDouble());
        const nbk::data::ResultSet last = s.GetCurrentConnection().query(
            QString::fromLatin1(SQL_LAST_1) + QString::fromLatin1(SQL_LAST_2) + QString::number(*id)
            + QString::fromLatin1(SQL_LAST_3) + QString::fromLatin1(SQL_LAST_4) + lastReid
            + QString::fromLatin1(SQL_LAST_5) + QString::fromLatin1(SQL_LAST_6) + QString::fromLatin1(SQL_LAST_7));
        if (!last.eof())
            names << last.value(0).toString();
        QString text;
        for (const QString &n : names)
            text += separator + n.trimmed();
        return text.mid(1);
    } catch (const nbk::data::DbException &e) {
        nbk::data::showMessage(QStringLiteral("The route could not be read from the database: ")
                            + e.error().description.trimmed(),
                        nbk::mb::Critical | nbk::mb::OKOnly, QStringLiteral("Error"));
        return QString();
    }
}
