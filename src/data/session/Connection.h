#pragma once
#include "data/dialect/DbError.h"
#include "data/engines/Engine.h"
#include "data/session/ResultSet.h"

#include <QHash>
#include <QList>
#include <QSqlQuery>
#include <QSqlDatabase>
#include <QString>
#include <QVariantList>
#include <functional>
#include <memory>

namespace nbk::data {

class Engine;

// The one database connection of a session, opened with a driver-based connection
// string. Every failing call records its error in errors(); all but open() also throw
// DbException.
class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    void setConnectionTimeout(int seconds) { timeout_ = seconds; }
    int connectionTimeout() const { return timeout_; }
    // Kept for the callers that set it; every result set is client-side here.
    void setCursorLocation(int location) { cursorLocation_ = location; }
    int cursorLocation() const { return cursorLocation_; }

    // Opens with the connection string; user and password, when not empty, are added
    // as UID/PWD. Calls onConnectComplete before returning. False: see errors().
    bool open(const QString &connectionString, const QString &user = {},
              const QString &password = {});
    void close();
    bool isOpen() const;

    // Runs one statement, discarding any rows. Throws DbException.
    void execute(const QString &sql, const QVariantList &params = {});
    // Runs a query and fetches all of its rows. Throws DbException.
    ResultSet query(const QString &sql, const QVariantList &params = {});
    // Runs a statement and returns the number of rows it changed. Throws DbException.
    int executeCount(const QString &sql, const QVariantList &params = {});

    void beginTrans();
    void commitTrans();
    void rollbackTrans();

    const QList<DbError> &errors() const { return errors_; }
    void clearErrors() { errors_.clear(); }

    // The completion notice of open(): true on success. Arrives during open().
    std::function<void(bool ok)> onConnectComplete;

    // Called once when a statement finds the connection broken (the server went away):
    // the connection is closed then, and every later call fails at once with 3709.
    std::function<void(const DbError &)> onConnectionLost;
    bool wasLost() const { return lost_; }

    // After a loss, the next statement opens the connection again with the text of the
    // last open(), trying for up to limitSeconds (a multi-host URI finds the new primary);
    // 0 turns this off (every call after a loss fails with 3709, as before). Nothing is
    // ever replayed: the statement that found the loss has failed already.
    void setReconnectLimit(int limitSeconds) { reconnectLimit_ = limitSeconds; }
    int reconnectLimit() const { return reconnectLimit_; }
    // While held, a lost connection is not opened again (a task's transaction died with
    // it and its holder has not yet been told): calls fail with 3709.
    void holdReconnect(bool held) { reconnectHeld_ = held; }
    bool reconnectHeld() const { return reconnectHeld_; }
    // Told, about once a second, while the server is still being sought after
    // seekingNoticeAfter seconds; done is true once, when the search ends either way.
    std::function<void(int elapsedSeconds, bool done)> onSeeking;
    static constexpr int kSeekingNoticeAfter = 2;
    // False when the last reconnect gave up (the server was not found within the limit).
    bool reconnectGaveUp() const { return gaveUp_; }

    // Called once per statement sent, when it has finished: the text as the client wrote
    // it and its failure (null when it ran). For traces and load figures.
    using StatementObserver = std::function<void(const QString &sql, const DbError *failure)>;
    void setStatementObserver(StatementObserver o) { observer_ = std::move(o); }

    Engine *engine() const { return engine_.get(); }
    QString engineName() const;
    QSqlDatabase database() const;

private:
    [[noreturn]] void fail(const DbError &e);
    // Refuses a statement on a closed connection, or a (translated) text that holds a
    // second statement.
    void checkOpen();
    void checkOneStatement(const QString &text, QSqlDatabase &db);
    QSqlQuery run(const QString &sql, const QVariantList &params, bool forwardOnly);
    // For an engine that runs statements itself; throws the failure.
    StatementResult runByEngine(const QString &sql, const QVariantList &params);
    // Ends a statement run() started: throws its fetch error, tells the engine.
    void finishStatement(QSqlQuery &q, const QString &sql);
    void observe(const QString &sql, const DbError *failure)
    {
        if (observer_)
            observer_(sql, failure);
    }
    // Runs one of the engine's transaction steps (begin, commit, rollback); throws its error.
    void transactionStep(bool (Engine::*step)(QSqlDatabase &));

    QString name_;
    std::unique_ptr<Engine> engine_;
    QList<DbError> errors_;
    int timeout_ = 15;
    int cursorLocation_ = 2;
    bool open_ = false;
    bool lost_ = false;
    bool reconnectHeld_ = false;
    bool gaveUp_ = false;
    // set while reconnect() runs: the notice's repainting may run a timer's statement,
    // which must fail rather than start a second search inside the first
    bool reconnecting_ = false;
    int reconnectLimit_ = 0;
    // the whole text of the last successful open(), credentials included, for a reconnect
    QString openedWith_;
    // Opens again after a loss, within the limit; false when the server was not found.
    bool reconnect();
    // Closes a connection the server dropped and tells onConnectionLost.
    void noticeLoss(const DbError &e);
    StatementObserver observer_;
    // Statements with parameters, prepared on this connection, by the text the engine runs.
    static constexpr int kMaxPrepared = 64;
    QHash<QString, QSqlQuery> prepared_;
    friend class Command;
};

}  // namespace nbk::data
