#include "data/engines/OdbcEngine.h"

#include "data/engines/PostgresEngine.h"

#include <QSqlDriver>
#include <QSqlResult>
#include <sql.h>
#include <sqlext.h>

namespace nbk::data {

namespace {

// The SQLSTATE and message of a failed statement: QODBC keeps neither in its error.
bool statementDiagnostics(const QSqlQuery &q, QString *state, QString *message)
{
    if (!q.result())
        return false;
    const QVariant h = q.result()->handle();
    if (!h.isValid() || h.metaType().sizeOf() != int(sizeof(SQLHANDLE)))
        return false;
    SQLHANDLE stmt = *static_cast<const SQLHANDLE *>(h.constData());
    if (!stmt)
        return false;
    for (SQLSMALLINT rec = 1; rec <= 8; ++rec) {
        SQLCHAR st[6] = {0};
        SQLINTEGER native = 0;
        SQLCHAR msg[2048] = {0};
        SQLSMALLINT len = 0;
        const SQLRETURN r = SQLGetDiagRec(SQL_HANDLE_STMT, stmt, rec, st, &native, msg, sizeof msg, &len);
        if (r != SQL_SUCCESS && r != SQL_SUCCESS_WITH_INFO)
            return false;
        const QString s = QString::fromLatin1(reinterpret_cast<const char *>(st));
        if (s.startsWith(QLatin1String("01")))  // a warning ahead of the error
            continue;
        *state = s;
        *message = QString::fromUtf8(reinterpret_cast<const char *>(msg));
        return true;
    }
    return false;
}

// A key the string sets twice, under its own name or another one a driver reads the
// same way (psqlODBC's Username, Password, Servername; the data source names that choose
// the driver): empty when there is none. The driver manager takes the first of two and
// psqlODBC the last, so a Server text with such a key would overrule the login's own.
QString repeatedKey(const ConnectionString &cs)
{
    static const QMap<QString, QString> same{{QStringLiteral("USERNAME"), QStringLiteral("UID")},
                                             {QStringLiteral("PASSWORD"), QStringLiteral("PWD")},
                                             {QStringLiteral("SERVERNAME"), QStringLiteral("SERVER")},
                                             {QStringLiteral("DSN"), QStringLiteral("DRIVER")},
                                             {QStringLiteral("FILEDSN"), QStringLiteral("DRIVER")}};
    QStringList seen;
    for (const QString &key : cs.keys()) {
        const QString k = same.value(key, key);
        if (seen.contains(k))
            return key;
        seen << k;
    }
    return QString();
}

}  // namespace

bool OdbcEngine::open(const QString &connectionName, const ConnectionString &cs, int timeoutSeconds,
                      DbError &err)
{
    postgres_ = false;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), connectionName);
    if (!db.isValid()) {
        err = {12541, oraText(12541, QStringLiteral("TNS:no listener (ODBC driver manager not available)"))};
        return false;
    }
    if (const QString key = repeatedKey(cs); !key.isEmpty()) {
        err = {12154, oraText(12154, QStringLiteral("TNS:could not resolve the connect identifier specified"))
                          + QStringLiteral(" (%1 is given twice)").arg(key)};
        return false;
    }
    db.setDatabaseName(cs.text());
    db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1;SQL_ATTR_CONNECTION_TIMEOUT=%1")
                             .arg(timeoutSeconds));
    const bool opened = db.open();
    // the connection is made; the clear-text password is not kept with it
    db.setDatabaseName(cs.withoutPassword());
    if (!opened) {
        const QSqlError e = db.lastError();
        const QString text = e.databaseText().isEmpty() ? e.text() : e.databaseText();
        if (isAuthenticationFailure(text)) {
            err = {ora::InvalidLogon, oraText(ora::InvalidLogon, QStringLiteral("invalid username/password; logon denied"))
                                          + QStringLiteral(" (") + text.simplified() + QLatin1Char(')')};
            return false;
        }
        err = mapError(e, nullptr);
        if (err.nativeError == 0)
            err.nativeError = 12541;
        return false;
    }
    if (db.driver()->dbmsType() == QSqlDriver::PostgreSQL) {
        postgres_ = true;
        QSqlQuery q(db);
        for (const QString &s : PostgresDialect::sessionSetup()) {
            if (!q.exec(s)) {
                err = mapError(q.lastError(), &q);
                db.close();
                return false;
            }
        }
        for (const QString &s : PostgresDialect::optionalSessionSetup())
            q.exec(s);
    }
    return true;
}

QString OdbcEngine::translate(const QString &oracleSql, bool *lockNowait, std::vector<int> *paramOrder) const
{
    if (lockNowait)
        *lockNowait = false;
    return postgres_ ? dialect_.translate(oracleSql, paramOrder) : oracleSql;
}

DbError OdbcEngine::mapError(const QSqlError &e, const QSqlQuery *q) const
{
    const QString text = e.databaseText().isEmpty() ? e.text() : e.databaseText();
    if (postgres_) {
        // through psqlODBC every error has native code 1: the SQLSTATE tells them apart
        QString state, message;
        if (q && statementDiagnostics(*q, &state, &message))
            return PostgresDialect::mapError(state, message, q->lastQuery());
        return PostgresDialect::mapError(QString(), text, q ? q->lastQuery() : QString());
    }
    int n = oraNumberIn(text);
    if (n == 0)
        n = e.nativeErrorCode().toInt();
    if (n == ora::ResourceBusy)
        return {n, QString::fromLatin1(kResourceBusyText), e.nativeErrorCode()};
    return {n, text, e.nativeErrorCode()};
}

QStringList OdbcEngine::columnNames(const QSqlQuery &q) const
{
    const QStringList names = Engine::columnNames(q);
    return postgres_ ? oracleColumnNames(names) : names;
}

namespace {
// A setting of a PostgreSQL session behind the driver, asked for when it matters.
QString showSetting(QSqlDatabase &db, const char *name)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SHOW %1").arg(QLatin1String(name))) || !q.next())
        return QString();
    return q.value(0).toString();
}
}  // namespace

std::optional<bool> OdbcEngine::backslashEscapes(QSqlDatabase &db)
{
    if (!postgres_)
        return false;
    const QString v = showSetting(db, "standard_conforming_strings");
    if (v == QLatin1String("on"))
        return false;
    if (v == QLatin1String("off"))
        return true;
    return std::nullopt;
}

bool OdbcEngine::readOnly(QSqlDatabase &db)
{
    return postgres_ && showSetting(db, "transaction_read_only") == QLatin1String("on");
}

bool OdbcEngine::begin(QSqlDatabase &db)
{
    const bool ok = db.transaction();
    if (ok && postgres_)
        dialect_.began();
    return ok;
}

bool OdbcEngine::commit(QSqlDatabase &db)
{
    const bool ok = db.commit();
    dialect_.ended();
    return ok;
}

bool OdbcEngine::rollback(QSqlDatabase &db)
{
    const bool ok = db.rollback();
    if (ok)
        dialect_.ended();
    return ok;
}

void OdbcEngine::statementStarting(QSqlDatabase &db, const QString &)
{
    if (postgres_)
        dialect_.statementStarting(db);
}

void OdbcEngine::statementFinished(QSqlDatabase &db, bool ok)
{
    if (postgres_)
        dialect_.statementFinished(db, ok);
}

}  // namespace nbk::data
