#pragma once
#include "data/engines/ConnectionString.h"
#include "data/dialect/DbError.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

namespace nbk::data {

// The longest a clerk's statement may run on either engine (the server's statement
// time-out says the same); beyond it the statement is stopped with ORA-01013.
inline constexpr int kClerkStatementSeconds = 15;

// What one statement gave back, for an engine that runs statements itself.
struct StatementResult {
    bool ok = false;
    DbError error;
    bool hasRows = false;  // a query (its columns are known even without rows)
    QStringList names;     // as the client reads them
    std::vector<QVariantList> rows;
    int affected = -1;
};

// What answers a connection: the embedded file, a PostgreSQL server or an ODBC data
// source. An engine opens the Qt SQL connection, rewrites the client's Oracle SQL into
// its own dialect and maps its failures to Oracle's native numbers.
class Engine {
public:
    virtual ~Engine() = default;
    virtual QString name() const = 0;

    // Adds a Qt SQL connection named connectionName with the engine's driver and opens
    // it. On failure fills err (the caller removes the connection).
    virtual bool open(const QString &connectionName, const ConnectionString &cs,
                      int timeoutSeconds, DbError &err) = 0;

    // Oracle SQL text as the client writes it -> text the engine runs with the same
    // meaning. Sets *lockNowait when the statement asks for FOR UPDATE NOWAIT and the
    // engine needs lockForUpdate() to run first instead.
    // paramOrder: which parameter as written each parameter of the result takes (empty: the same)
    virtual QString translate(const QString &oracleSql, bool *lockNowait = nullptr,
                              std::vector<int> *paramOrder = nullptr) const = 0;

    // Takes the lock a FOR UPDATE NOWAIT statement asks for, without waiting.
    virtual bool lockForUpdate(QSqlDatabase &, DbError &) { return true; }

    // A bound value as the engine stores it.
    virtual QVariant bindValue(const QVariant &v) const { return v; }

    virtual DbError mapError(const QSqlError &e, const QSqlQuery *q) const = 0;

    // Names and values of the current row, with date columns as QDateTime.
    virtual QStringList columnNames(const QSqlQuery &q) const;
    virtual QVariantList rowValues(const QSqlQuery &q, int columns) const;

    // Around every statement (the rows fetched, or the failure known): an engine whose
    // failing statement would spoil the whole transaction undoes only that statement.
    // sql: the statement as the engine runs it.
    virtual void statementStarting(QSqlDatabase &, const QString & /*sql*/) {}
    virtual void statementFinished(QSqlDatabase &, bool /*ok*/) {}
    // After a statement that ran: an engine that keeps rules of its own outside the
    // database checks them here (false: the statement's work is undone, err says why).
    virtual bool statementCompleted(QSqlDatabase &, DbError & /*err*/) { return true; }
    // Just before COMMIT: rules that hold only at the end of a transaction (false: nothing
    // is committed and the transaction stays open for its owner to roll back).
    virtual bool checkBeforeCommit(QSqlDatabase &, DbError & /*err*/) { return true; }

    // After a failure: whether the connection itself is gone (the server stopped or
    // dropped it), not just the statement refused.
    virtual bool connectionBroken(const QSqlDatabase &) const { return false; }

    // For the one-statement guard: whether this session's plain '...' literals take a
    // backslash as an escape (standard_conforming_strings off); nullopt: cannot tell.
    virtual std::optional<bool> backslashEscapes(QSqlDatabase &) { return false; }

    // Whether the session can write nothing at all (a hot standby, or a server whose
    // transactions are read-only by default): tasks that only read leave their scratch
    // rows out then.
    virtual bool readOnly(QSqlDatabase &) { return false; }

    // An engine that runs statements itself rather than through QSqlQuery says so, and
    // runs them here (translated, guarded, and inside its transaction handling).
    virtual bool runsStatements() const { return false; }
    virtual StatementResult runStatement(QSqlDatabase &, const QString & /*sql*/, const QVariantList & /*params*/)
    {
        return {};
    }
    // Why the last begin, commit or rollback failed.
    virtual DbError transactionError(QSqlDatabase &db) const { return mapError(db.lastError(), nullptr); }

    // Transactions; default: Qt's.
    virtual bool begin(QSqlDatabase &db) { return db.transaction(); }
    virtual bool commit(QSqlDatabase &db) { return db.commit(); }
    virtual bool rollback(QSqlDatabase &db) { return db.rollback(); }
};

// Chooses the engine for the Server part of a connection string: empty -> embedded file,
// postgresql:// -> PostgreSQL, anything else -> ODBC.
std::unique_ptr<Engine> engineForServer(const QString &server);
// A Server text that names the PostgreSQL server with a libpq URI.
bool isPostgresUri(const QString &server);

// Where the embedded engine finds its file (set by the client at start-up and by tests).
void setEmbeddedDatabasePath(const QString &path);
QString embeddedDatabasePath();

}  // namespace nbk::data
