#include "data/session/Connection.h"

#include "data/engines/ConnectionString.h"
#include "data/engines/Engine.h"
#include "data/engines/SqliteEngine.h"
#include "data/dialect/StatementGuard.h"

#include <QAtomicInt>
#include <QElapsedTimer>
#include <QSqlRecord>
#include <QThread>
#include <algorithm>

namespace nbk::data {

namespace {
QAtomicInt connectionCounter;
// ORA-03113: end-of-file on communication channel, as the engines report a dropped server
constexpr int kLostConnection = 3113;

DbError closedConnectionError()
{
    return {3709, QStringLiteral("The connection cannot be used to perform this operation. "
                                 "It is either closed or invalid in this context.")};
}
}  // namespace

Connection::Connection()
    : name_(QStringLiteral("nbk_connection_%1").arg(connectionCounter.fetchAndAddRelaxed(1)))
{
}

Connection::~Connection()
{
    close();
}

QString Connection::engineName() const { return engine_ ? engine_->name() : QString(); }

QSqlDatabase Connection::database() const { return QSqlDatabase::database(name_, false); }

bool Connection::open(const QString &connectionString, const QString &user, const QString &password)
{
    errors_.clear();
    close();
    lost_ = false;
    gaveUp_ = false;
    reconnectHeld_ = false;
    openedWith_.clear();
    QString text = connectionString;
    if (!user.isEmpty())
        text += QStringLiteral("UID=%1;").arg(user);
    if (!password.isEmpty())
        text += QStringLiteral("PWD=%1;").arg(password);
    const ConnectionString cs = ConnectionString::parse(text);
    engine_ = engineForServer(cs.server());
    DbError err;
    const bool ok = engine_->open(name_, cs, timeout_, err);
    open_ = ok;
    if (ok)
        openedWith_ = text;
    if (!ok) {
        if (err.description.isEmpty())
            err.description = QStringLiteral("Could not open the connection");
        errors_.append(err);
        QSqlDatabase::removeDatabase(name_);
    }
    if (onConnectComplete)
        onConnectComplete(ok);
    return ok;
}

void Connection::close()
{
    prepared_.clear();
    if (QSqlDatabase::contains(name_)) {
        {
            QSqlDatabase db = QSqlDatabase::database(name_, false);
            // SQLite closes no connection that still holds compiled statements
            if (auto *file = dynamic_cast<SqliteEngine *>(engine_.get()); file && db.isOpen())
                file->closing(db);
            if (db.isOpen())
                db.close();
        }
        QSqlDatabase::removeDatabase(name_);
    }
    open_ = false;
}

bool Connection::isOpen() const { return open_; }

void Connection::fail(const DbError &e)
{
    errors_.append(e);
    if (e.nativeError == kLostConnection && open_ && !database().isOpen())
        noticeLoss(e);
    else if (e.nativeError == kLostConnection && open_ && engine_ && engine_->connectionBroken(database()))
        noticeLoss(e);
    throw DbException(e);
}

void Connection::noticeLoss(const DbError &e)
{
    close();
    lost_ = true;
    if (onConnectionLost)
        onConnectionLost(e);
}

bool Connection::reconnect()
{
    const QString text = openedWith_;
    const ConnectionString cs = ConnectionString::parse(text);
    QElapsedTimer clock;
    clock.start();
    int told = 0;
    DbError last;
    for (;;) {
        close();
        engine_ = engineForServer(cs.server());
        DbError err;
        if (engine_->open(name_, cs, timeout_, err)) {
            open_ = true;
            lost_ = false;
            if (told > 0 && onSeeking)
                onSeeking(int(clock.elapsed() / 1000), true);
            if (onConnectComplete)
                onConnectComplete(true);
            return true;
        }
        last = err;
        QSqlDatabase::removeDatabase(name_);
        const qint64 elapsed = clock.elapsed();
        // a password refused now will be refused again: that is for a fresh login
        if (elapsed >= qint64(reconnectLimit_) * 1000 || err.nativeError == ora::InvalidLogon)
            break;
        // a node that is being promoted refuses writers for a few seconds: ask again soon
        const int seconds = int(elapsed / 1000);
        if (seconds >= kSeekingNoticeAfter && seconds > told && onSeeking) {
            told = seconds;
            onSeeking(seconds, false);
        }
        QThread::msleep(quint64(std::clamp<qint64>(qint64(reconnectLimit_) * 1000 - elapsed, 50, 500)));
    }
    if (told > 0 && onSeeking)
        onSeeking(int(clock.elapsed() / 1000), true);
    gaveUp_ = true;
    lost_ = true;
    errors_.append(last);
    return false;
}

void Connection::checkOpen()
{
    errors_.clear();
    if (!open_ && lost_ && !gaveUp_ && !reconnectHeld_ && !reconnecting_ && reconnectLimit_ > 0
        && !openedWith_.isEmpty()) {
        reconnecting_ = true;
        const bool found = reconnect();
        reconnecting_ = false;
        if (!found) {
            const QString why = errors_.isEmpty() ? QString() : errors_.last().description.trimmed();
            errors_.clear();
            DbError e{kLostConnection, oraText(kLostConnection, QStringLiteral("end-of-file on communication channel"))};
            e.description = QStringLiteral("The server could not be reached again. ") + e.description
                            + (why.isEmpty() ? QString() : QStringLiteral(" (") + why + QLatin1Char(')'));
            errors_.append(e);
            if (onConnectionLost)
                onConnectionLost(e);
            throw DbException(e);
        }
    }
    if (!open_)
        fail(closedConnectionError());
}

void Connection::checkOneStatement(const QString &text, QSqlDatabase &db)
{
    // one statement per call, as Oracle takes them: a missed quote can never run a second
    // one (the embedded engine's driver refuses a second statement itself). The text is
    // read as the server reads it, after the dialect's rewriting.
    if (engine_->name() != QLatin1String("embedded")
        && holdsMoreThanOneStatement(text, [&] { return engine_->backslashEscapes(db); }))
        fail({911, oraText(911, QStringLiteral("invalid character"))});
}

namespace {
// The parameters in the order the translated statement takes them.
QVariantList boundInOrder(const QVariantList &params, const std::vector<int> &order)
{
    if (order.empty())
        return params;
    QVariantList out;
    out.reserve(int(order.size()));
    for (int k : order)
        out.append(k >= 0 && k < params.size() ? params[k] : QVariant());
    return out;
}
}  // namespace

StatementResult Connection::runByEngine(const QString &sql, const QVariantList &params)
{
    checkOpen();
    QSqlDatabase db = database();
    std::vector<int> order;
    const QString text = engine_->translate(sql, nullptr, &order);
    checkOneStatement(text, db);
    QVariantList values;
    values.reserve(params.size());
    for (const QVariant &v : boundInOrder(params, order))
        values.append(engine_->bindValue(v));
    StatementResult r = engine_->runStatement(db, text, values);
    observe(sql, r.ok ? nullptr : &r.error);
    if (!r.ok)
        fail(r.error);
    return r;
}

QSqlQuery Connection::run(const QString &sql, const QVariantList &params, bool forwardOnly)
{
    checkOpen();
    QSqlDatabase db = database();
    bool lockNowait = false;
    std::vector<int> order;
    const QString text = engine_->translate(sql, &lockNowait, &order);
    QVariantList values = boundInOrder(params, order);
    checkOneStatement(text, db);
    // a write with its values in its text runs as its shape with parameters on the file,
    // so that its compiled form (triggers and all) is kept as a command's is
    QString shape;
    if (values.isEmpty() && dynamic_cast<SqliteEngine *>(engine_.get()))
        shape = SqliteEngine::withParameters(text, values);
    if (lockNowait) {
        DbError lockError;
        if (!engine_->lockForUpdate(db, lockError)) {
            observe(sql, &lockError);
            fail(lockError);
        }
    }
    engine_->statementStarting(db, text);
    QSqlQuery q(db);
    bool ok;
    if (values.isEmpty()) {
        q.setForwardOnly(forwardOnly);
        ok = q.exec(text);
    } else {
        // the command slots' texts are few and run again and again: each is prepared once
        // per connection, so that the server parses and plans it once
        const QString &runText = shape.isEmpty() ? text : shape;
        auto it = prepared_.find(runText);
        if (it == prepared_.end()) {
            if (prepared_.size() >= kMaxPrepared)
                prepared_.clear();
            QSqlQuery fresh(db);
            fresh.setForwardOnly(true);
            ok = fresh.prepare(runText);
            if (ok)
                it = prepared_.insert(runText, fresh);
            else
                q = std::move(fresh);
        } else {
            ok = true;
        }
        if (!ok && !shape.isEmpty()) {
            // a value where SQLite takes no parameter (a type's size): the text as written
            q = QSqlQuery(db);
            q.setForwardOnly(forwardOnly);
            ok = q.exec(text);
        } else if (ok) {
            // the kept statement and this run share one prepared result on purpose
            QT_WARNING_PUSH
            QT_WARNING_DISABLE_DEPRECATED
            q = *it;
            QT_WARNING_POP
            for (int i = 0; i < values.size(); ++i)
                q.bindValue(i, engine_->bindValue(values[i]));
            ok = q.exec();
        }
    }
    if (!ok) {
        const DbError e = engine_->mapError(q.lastError(), &q);
        q.finish();
        engine_->statementFinished(db, false);
        observe(sql, &e);
        fail(e);
    }
    return q;
}

void Connection::finishStatement(QSqlQuery &q, const QString &sql)
{
    QSqlDatabase db = database();
    if (q.lastError().isValid()) {
        const DbError e = engine_->mapError(q.lastError(), &q);
        q.finish();
        engine_->statementFinished(db, false);
        observe(sql, &e);
        fail(e);
    }
    q.finish();
    engine_->statementFinished(db, true);
    DbError refused;
    if (!engine_->statementCompleted(db, refused)) {
        observe(sql, &refused);
        fail(refused);
    }
    observe(sql, nullptr);
}

void Connection::execute(const QString &sql, const QVariantList &params)
{
    if (engine_ && engine_->runsStatements()) {
        runByEngine(sql, params);
        return;
    }
    QSqlQuery q = run(sql, params, true);
    if (q.isSelect()) {
        while (q.next()) {
        }
    }
    finishStatement(q, sql);
}

int Connection::executeCount(const QString &sql, const QVariantList &params)
{
    if (engine_ && engine_->runsStatements())
        return runByEngine(sql, params).affected;
    QSqlQuery q = run(sql, params, true);
    const int n = q.numRowsAffected();
    finishStatement(q, sql);
    return n;
}

ResultSet Connection::query(const QString &sql, const QVariantList &params)
{
    if (engine_ && engine_->runsStatements()) {
        StatementResult r = runByEngine(sql, params);
        if (!r.hasRows)
            return ResultSet(QStringList(), {});
        return ResultSet(std::move(r.names), std::move(r.rows));
    }
    QSqlQuery q = run(sql, params, true);
    if (!q.isSelect()) {
        finishStatement(q, sql);
        return ResultSet(QStringList(), {});
    }
    const QStringList names = engine_->columnNames(q);
    const int cols = int(names.size());
    std::vector<QVariantList> rows;
    while (q.next())
        rows.push_back(engine_->rowValues(q, cols));
    finishStatement(q, sql);
    return ResultSet(names, std::move(rows));
}

void Connection::transactionStep(bool (Engine::*step)(QSqlDatabase &))
{
    if (step == &Engine::begin)
        checkOpen();
    errors_.clear();
    if (!open_)
        fail(closedConnectionError());
    QSqlDatabase db = database();
    if (!(engine_.get()->*step)(db))
        fail(engine_->transactionError(db));
}

void Connection::beginTrans() { transactionStep(&Engine::begin); }

void Connection::commitTrans()
{
    if (open_) {
        QSqlDatabase db = database();
        DbError refused;
        if (!engine_->checkBeforeCommit(db, refused)) {
            errors_.clear();
            fail(refused);
        }
    }
    transactionStep(&Engine::commit);
}

void Connection::rollbackTrans() { transactionStep(&Engine::rollback); }

}  // namespace nbk::data
