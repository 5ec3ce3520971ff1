#include "data/session/Transaction.h"

#include "data/session/Class1.h"
#include "data/dialect/DbError.h"

#include <utility>

namespace nbk::data {

QString pendingWorkMessage(const QString &pendingTask)
{
    const QString what = pendingTask.isEmpty() ? QStringLiteral("Another task") : pendingTask;
    return what.left(1).toUpper() + what.mid(1)
           + QStringLiteral(" is not finished yet. Complete or cancel it first, then try again. ");
}

Transaction::Transaction(Class1 &session, const QString &task) : task_(task)
{
    if (session.IsInTransaction()) {
        refusal_ = pendingWorkMessage(session.PendingTask());
        return;
    }
    // a failed begin raises, and leaves nothing open
    id_ = session.beginOwned(task, this);
    session_ = &session;
}

Transaction::~Transaction() { rollback(); }

Transaction::Transaction(Transaction &&other) noexcept
    : session_(std::exchange(other.session_, nullptr)), id_(std::exchange(other.id_, 0)),
      task_(std::move(other.task_)), refusal_(std::move(other.refusal_))
{
    holdHere();
}

Transaction &Transaction::operator=(Transaction &&other) noexcept
{
    if (this != &other) {
        rollback();
        session_ = std::exchange(other.session_, nullptr);
        id_ = std::exchange(other.id_, 0);
        task_ = std::move(other.task_);
        refusal_ = std::move(other.refusal_);
        holdHere();
    }
    return *this;
}

void Transaction::holdHere() noexcept
{
    if (isOpen())
        session_->holder_ = this;
}

bool Transaction::isOpen() const { return session_ && session_->ownsTransaction(id_); }

void Transaction::setTask(const QString &task)
{
    task_ = task;
    if (isOpen())
        session_->renameOwner(id_, task);
}

void Transaction::commit()
{
    if (!isOpen()) {
        release();
        throw DbException(DbError{0, QStringLiteral("The changes of %1 are no longer pending.").arg(task_)});
    }
    Class1 *s = session_;
    try {
        s->EndTransaction();
    } catch (...) {
        s->RollBackTransaction();
        release();
        throw;
    }
    release();
}

void Transaction::rollback() noexcept
{
    if (isOpen()) {
        try {
            session_->RollBackTransaction();
        } catch (...) {
            // a failed rollback leaves the session's flag set; the shell's rollback retries
        }
    }
    release();
}

void Transaction::release() noexcept
{
    Class1 *s = std::exchange(session_, nullptr);
    if (s && s->holder_ == this)
        s->holder_ = nullptr;
    id_ = 0;
}

}  // namespace nbk::data
