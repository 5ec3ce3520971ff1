#pragma once
#include <QString>

namespace nbk::data {

class Class1;

// The session's one database transaction, held by the task that began it (a booking, a
// cancellation, the route wizard, a seat chart). Only the holder commits or rolls back;
// destroying it unfinished rolls back. A task that would begin while another task's
// changes are pending is refused and nothing changes: refusal() says what is pending.
class Transaction {
public:
    Transaction() = default;
    // Begins for `task`, a short description the refusal of other tasks names ("the
    // reservation of customer 1234").
    Transaction(Class1 &session, const QString &task);
    ~Transaction();
    Transaction(Transaction &&other) noexcept;
    Transaction &operator=(Transaction &&other) noexcept;
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    // True while this task's transaction is open (false after commit, rollback, a refusal,
    // or a rollback of everything by the shell).
    bool isOpen() const;
    // Empty when the transaction began; else the message telling what is pending.
    const QString &refusal() const { return refusal_; }
    const QString &task() const { return task_; }
    // Renames what the refusal of other tasks names (once the booking has its customer id).
    void setTask(const QString &task);

    // Commits; throws DbException when the database refuses (the transaction is then
    // rolled back and closed).
    void commit();
    // Rolls back; never throws. Nothing happens when not open.
    void rollback() noexcept;

private:
    friend class Class1;
    void release() noexcept;
    void holdHere() noexcept;

    Class1 *session_ = nullptr;
    quint64 id_ = 0;
    QString task_;
    QString refusal_;
};

// The message a task gets when `pendingTask` holds the session's transaction.
QString pendingWorkMessage(const QString &pendingTask);

}  // namespace nbk::data
