#pragma once
#include "data/engines/AdminConnectionBase.h"
#include "data/engines/PostgresEngine.h"
#include "data/dialect/SqlText.h"

#include <QSqlError>
#include <QSqlQuery>

namespace nbk::data::schema {

inline QString quoteIdent(const QString &name)
{
    QString n = name;
    n.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

inline QString quoteLiteral(const QString &value) { return QLatin1Char('\'') + sqlText(value) + QLatin1Char('\''); }

// A QPSQL connection as the URI's own user, for the work that comes before any clerk.
class ServerAdmin : public AdminConnectionBase {
public:
    ServerAdmin(const PostgresUri &uri, bool setup)
        : AdminConnectionBase(QStringLiteral("QPSQL"), QStringLiteral("nbk_server_admin_"))
    {
        QSqlDatabase db = this->db();
        DbError err;
        ok_ = openPostgres(db, uri, QString(), QString(), 10, setup, err);
        if (!ok_)
            error_ = err.description;
    }

    // secret: the statement carries a password verifier, and its text stays out of error()
    bool run(const QString &sql, bool secret = false)
    {
        QSqlQuery q(db());
        if (q.exec(sql))
            return true;
        error_ = q.lastError().databaseText().trimmed();
        if (!secret)
            error_ += QStringLiteral(" in: ") + sql.simplified();
        lastState_ = q.lastError().nativeErrorCode();
        return false;
    }
    bool exists(const QString &sql)
    {
        QSqlQuery q(db());
        return q.exec(sql) && q.next();
    }
    QString scalar(const QString &sql)
    {
        QSqlQuery q(db());
        return q.exec(sql) && q.next() ? q.value(0).toString() : QString();
    }
    void setError(const QString &e) { error_ = e; }
    const QString &lastState() const { return lastState_; }

private:
    QString lastState_;
};

}  // namespace nbk::data::schema
