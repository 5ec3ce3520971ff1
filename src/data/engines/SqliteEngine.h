#pragma once
#include "data/engines/Engine.h"
#include "data/dialect/SqlRewriter.h"

#include <QHash>

#include <chrono>
#include <vector>

namespace nbk::data {

// The embedded database: one SQLite file, WAL journal, full synchronous commits.
class SqliteEngine : public Engine {
public:
    SqliteEngine();
    QString name() const override { return QStringLiteral("embedded"); }
    bool open(const QString &connectionName, const ConnectionString &cs, int timeoutSeconds,
              DbError &err) override;
    QString translate(const QString &oracleSql, bool *lockNowait = nullptr,
                      std::vector<int> *paramOrder = nullptr) const override;
    DbError mapError(const QSqlError &e, const QSqlQuery *q) const override;
    QStringList columnNames(const QSqlQuery &q) const override;
    QVariantList rowValues(const QSqlQuery &q, int columns) const override;
    bool lockForUpdate(QSqlDatabase &db, DbError &err) override;
    QVariant bindValue(const QVariant &v) const override;
    void statementStarting(QSqlDatabase &db, const QString &sql) override;
    void statementFinished(QSqlDatabase &db, bool ok) override;
    bool statementCompleted(QSqlDatabase &db, DbError &err) override;
    bool checkBeforeCommit(QSqlDatabase &db, DbError &err) override;
    bool begin(QSqlDatabase &db) override;
    bool commit(QSqlDatabase &db) override;
    bool rollback(QSqlDatabase &db) override;
    // Before the connection closes: the rules' compiled statements go.
    void closing(QSqlDatabase &db);
    // A write whose values are written into its text (an INSERT, UPDATE or DELETE), with
    // its whole numbers and quoted texts as parameters, put into `values`: one compiled
    // statement with its triggers then serves every such write of the same shape. Empty
    // when the text is not one (a read, a text with parameters, an ORDER BY or GROUP BY,
    // whose numbers name columns).
    static QString withParameters(const QString &sql, QVariantList &values);

    // Prepares a freshly opened handle: pragmas and the Oracle functions.
    static bool configure(QSqlDatabase &db, QString *error);

    // How long one statement of a clerk may run before it is stopped (ORA-01013), as the
    // server's statement time-out: a long query would otherwise hold the file's lock and
    // stop every other counter. Zero: no limit (the supervisor's sessions).
    void setStatementLimit(std::chrono::milliseconds limit) { statementLimit_ = limit; }
    std::chrono::milliseconds statementLimit() const { return statementLimit_; }

private:
    static int overTime(void *engine);
    std::chrono::milliseconds statementLimit_{0};
    // set while a statement runs or its rows are read; commits and checks run unlimited
    bool statementRunning_ = false;
    std::chrono::steady_clock::time_point statementStart_;
    OracleRewriteRules rules_;
    // The rewritten texts by the text as written: the commands' texts run again and again,
    // and rewriting one costs more than the statement it names does on the file.
    static constexpr int kMaxTranslated = 256;
    mutable QHash<QString, RewriteResult> translated_;
    mutable std::vector<bool> dateColumns_;
    bool ownWriteTransaction_ = false;
    bool checkOwnTransaction_ = false;
};

}  // namespace nbk::data
