#pragma once
#include "data/Engine.h"

namespace nbk::data {

// The central PostgreSQL server, reached with a libpq URI in the Server box.
class PostgresEngine : public Engine {
public:
    QString name() const override { return QStringLiteral("postgresql"); }
    bool open(const QString &connectionName, const ConnectionString &cs, int timeoutSeconds,
              DbError &err) override;
    QString translate(const QString &oracleSql, bool *lockNowait = nullptr) const override;
    DbError mapError(const QSqlError &e, const QSqlQuery *q) const override;
};

}  // namespace nbk::data
