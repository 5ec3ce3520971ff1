#pragma once
#include "data/engines/Engine.h"
#include "data/dialect/PostgresDialect.h"
#include "data/engines/PostgresStatements.h"

#include <QMap>

namespace nbk::data {

// The parts of a libpq URI postgresql://[user[:password]@][host][:port][/dbname][?k=v&...].
struct PostgresUri {
    bool valid = false;
    QString user;
    QString password;
    QString host;  // may list several hosts, comma-separated
    QString port;  // as written, may list several
    QString database;
    QMap<QString, QString> params;  // other libpq parameters (service, sslmode, ...)

    static PostgresUri parse(const QString &uri);
    // The same server and parameters, another database.
    QString withDatabase(const QString &database) const;
    QString toString() const;
};

// Opens a QPSQL connection for a libpq URI. user/password, when not empty, take the place
// of the URI's own. Runs the session set-up when setup is true. On failure fills err
// (Oracle numbers: 1017 for a wrong password).
bool openPostgres(QSqlDatabase &db, const PostgresUri &uri, const QString &user,
                  const QString &password, int timeoutSeconds, bool setup, DbError &err);

// The central PostgreSQL server, reached with a libpq URI in the Server box.
class PostgresEngine : public Engine {
public:
    QString name() const override { return QStringLiteral("postgresql"); }
    bool open(const QString &connectionName, const ConnectionString &cs, int timeoutSeconds,
              DbError &err) override;
    QString translate(const QString &oracleSql, bool *lockNowait = nullptr,
                      std::vector<int> *paramOrder = nullptr) const override;
    DbError mapError(const QSqlError &e, const QSqlQuery *q) const override;
    QVariant bindValue(const QVariant &v) const override;
    QStringList columnNames(const QSqlQuery &q) const override;
    bool connectionBroken(const QSqlDatabase &db) const override;
    std::optional<bool> backslashEscapes(QSqlDatabase &db) override;
    bool readOnly(QSqlDatabase &db) override;
    bool begin(QSqlDatabase &db) override;
    bool commit(QSqlDatabase &db) override;
    bool rollback(QSqlDatabase &db) override;
    bool runsStatements() const override { return true; }
    StatementResult runStatement(QSqlDatabase &db, const QString &sql, const QVariantList &params) override;
    DbError transactionError(QSqlDatabase &) const override { return transactionError_; }
    // Whether a pooler stands between the client and the server.
    bool pooled() const { return statements_.pooled(); }

private:
    PostgresDialect dialect_;
    PostgresStatements statements_;
    DbError transactionError_;
};

// Column names as Oracle gives them: unquoted (lower-case) names in upper case.
QStringList oracleColumnNames(const QStringList &names);
// A date-time bound as the wall-clock text a timestamp column takes, without time zone.
QVariant postgresBindValue(const QVariant &v);

}  // namespace nbk::data
