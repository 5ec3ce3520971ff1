#pragma once
#include "data/ConnectionString.h"
#include "data/DbError.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <memory>

namespace nbk::data {

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
    virtual QString translate(const QString &oracleSql, bool *lockNowait = nullptr) const = 0;

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

    // Transactions; default: Qt's.
    virtual bool begin(QSqlDatabase &db) { return db.transaction(); }
    virtual bool commit(QSqlDatabase &db) { return db.commit(); }
    virtual bool rollback(QSqlDatabase &db) { return db.rollback(); }
};

// Chooses the engine for the Server part of a connection string: empty -> embedded file,
// postgresql:// -> PostgreSQL, anything else -> ODBC.
std::unique_ptr<Engine> engineForServer(const QString &server);

// Where the embedded engine finds its file (set by the client at start-up and by tests).
void setEmbeddedDatabasePath(const QString &path);
QString embeddedDatabasePath();

}  // namespace nbk::data
