#include "data/OdbcEngine.h"

namespace nbk::data {

bool OdbcEngine::open(const QString &connectionName, const ConnectionString &cs, int timeoutSeconds,
                      DbError &err)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), connectionName);
    if (!db.isValid()) {
        err = {12541, oraText(12541, QStringLiteral("TNS:no listener (ODBC driver manager not available)"))};
        return false;
    }
    db.setDatabaseName(cs.text());
    db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1;SQL_ATTR_CONNECTION_TIMEOUT=%1")
                             .arg(timeoutSeconds));
    if (!db.open()) {
        err = mapError(db.lastError(), nullptr);
        if (err.nativeError == 0)
            err.nativeError = 12541;
        return false;
    }
    return true;
}

QString OdbcEngine::translate(const QString &oracleSql, bool *lockNowait) const
{
    if (lockNowait)
        *lockNowait = false;
    return oracleSql;
}

DbError OdbcEngine::mapError(const QSqlError &e, const QSqlQuery *) const
{
    const QString text = e.databaseText().isEmpty() ? e.text() : e.databaseText();
    int n = oraNumberIn(text);
    if (n == 0)
        n = e.nativeErrorCode().toInt();
    if (n == ora::ResourceBusy)
        return {n, QString::fromLatin1(kResourceBusyText), e.nativeErrorCode()};
    return {n, text, e.nativeErrorCode()};
}

}  // namespace nbk::data
