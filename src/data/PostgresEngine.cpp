#include "data/PostgresEngine.h"

namespace nbk::data {

// Not served yet: a server URI fails as an unreachable server does.
bool PostgresEngine::open(const QString &, const ConnectionString &, int, DbError &err)
{
    err = {12541, oraText(12541, QStringLiteral("TNS:no listener (PostgreSQL server not supported yet)"))};
    return false;
}

QString PostgresEngine::translate(const QString &oracleSql, bool *lockNowait) const
{
    if (lockNowait)
        *lockNowait = false;
    return oracleSql;
}

DbError PostgresEngine::mapError(const QSqlError &e, const QSqlQuery *) const
{
    return {ora::InvalidSql, e.text(), e.nativeErrorCode()};
}

}  // namespace nbk::data
