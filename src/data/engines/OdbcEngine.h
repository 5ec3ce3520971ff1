#pragma once
#include "data/engines/Engine.h"
#include "data/dialect/PostgresDialect.h"

namespace nbk::data {

// Pass-through to unixODBC: the connection string goes to the driver manager as built.
// Statements go to the server as the client writes them, unless the database behind the
// driver says it is PostgreSQL: then they get the PostgreSQL dialect. A driver that needs
// more than the host (psqlODBC: PORT and DATABASE) gets it from the Server box, for
// example "dbhost;PORT=5432;DATABASE=nbk", which the string carries unchanged.
class OdbcEngine : public Engine {
public:
    QString name() const override { return QStringLiteral("odbc"); }
    bool open(const QString &connectionName, const ConnectionString &cs, int timeoutSeconds,
              DbError &err) override;
    QString translate(const QString &oracleSql, bool *lockNowait = nullptr,
                      std::vector<int> *paramOrder = nullptr) const override;
    DbError mapError(const QSqlError &e, const QSqlQuery *q) const override;
    QStringList columnNames(const QSqlQuery &q) const override;
    std::optional<bool> backslashEscapes(QSqlDatabase &db) override;
    bool readOnly(QSqlDatabase &db) override;
    bool begin(QSqlDatabase &db) override;
    bool commit(QSqlDatabase &db) override;
    bool rollback(QSqlDatabase &db) override;
    void statementStarting(QSqlDatabase &db, const QString &sql) override;
    void statementFinished(QSqlDatabase &db, bool ok) override;

    bool speaksPostgres() const { return postgres_; }

private:
    bool postgres_ = false;
    PostgresDialect dialect_;
};

}  // namespace nbk::data
