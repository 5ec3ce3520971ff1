#pragma once
#include "data/Engine.h"

namespace nbk::data {

// Pass-through to unixODBC: the connection string goes to the driver manager as built,
// and statements go to the server as the client writes them.
class OdbcEngine : public Engine {
public:
    QString name() const override { return QStringLiteral("odbc"); }
    bool open(const QString &connectionName, const ConnectionString &cs, int timeoutSeconds,
              DbError &err) override;
    QString translate(const QString &oracleSql, bool *lockNowait = nullptr) const override;
    DbError mapError(const QSqlError &e, const QSqlQuery *q) const override;
};

}  // namespace nbk::data
