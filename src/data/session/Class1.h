#pragma once
#include "data/session/Command.h"
#include "data/session/Connection.h"

#include <QString>
#include <array>
#include <memory>

namespace nbk::data {

class Transaction;

// What exec returns when the statement ran (any other value is the native error number).
inline constexpr qint16 kExecOk = -13;

// Where FillText writes: the query test window's multi-line box.
class TextSink {
public:
    virtual ~TextSink() = default;
    virtual QString text() const = 0;
    virtual void setText(const QString &t) = 0;
};

#define NBK_COMMAND_SLOT(slot)                                                            \
public:                                                                                   \
    Command &slot()                                                                       \
    {                                                                                     \
        if (!m_##slot)                                                                    \
            m_##slot = std::make_shared<Command>();                                       \
        return *m_##slot;                                                                 \
    }                                                                                     \
    void set_##slot(std::shared_ptr<Command> c) { m_##slot = std::move(c); }              \
                                                                                          \
private:                                                                                  \
    std::shared_ptr<Command> m_##slot;

// The session: the one connection, the login attempts, the one transaction and the
// prepared commands every screen shares.
class Class1 {
    NBK_COMMAND_SLOT(SQLcmdGetPlace)
    NBK_COMMAND_SLOT(SQLcmdRouteID)
    NBK_COMMAND_SLOT(SQLcmdGetREID)
    NBK_COMMAND_SLOT(SQLcmdGetInstanceDetails)
    NBK_COMMAND_SLOT(SQLcmdGetDistance)
    NBK_COMMAND_SLOT(SQLcmdGetFullSeats)
    NBK_COMMAND_SLOT(SQLcmdGetMaxSeats)
    NBK_COMMAND_SLOT(SQLcmdGetUniqueCID)
    NBK_COMMAND_SLOT(SQLcmdGetCustomerForDelete)
    NBK_COMMAND_SLOT(SQLcmdGetUniqueID)
    NBK_COMMAND_SLOT(SQLcmdGetExactPlace)
    NBK_COMMAND_SLOT(SQLcmdGetTicketDetails)
    NBK_COMMAND_SLOT(SQLcmdGetPath)
    NBK_COMMAND_SLOT(SQLcmdSetSeatMatrix)

public:
    Class1();
    ~Class1();
    Class1(const Class1 &) = delete;
    Class1 &operator=(const Class1 &) = delete;

    const QString &UserName() const { return userName_; }
    void setUserName(const QString &u) { userName_ = u; }

    bool GetConnectStatus() const { return connectStatus_; }
    qint16 GetSessionStatus() const { return 1; }
    void CloseConnection();
    qint16 ConnectToDataBase(const QString &User, const QString &Password, const QString &Server);
    void FillText(TextSink &ListBox, const QString &QUery);

    // Place and route queries
    void SetupGetPlace();
    void SetupGetExactPlace();
    void SetupGetPath(qint32 RID);
    void SetupGetRouteId();
    void SetupGetREID();
    void SetupGetDistance();
    // Seat matrix
    void SetupGetFullSeats(qint32 r1, qint32 r2, qint32 iid);
    void SetupMaxSeats();
    void SetupSetSeatMatrix();
    // Run search, booking, customer
    void SetupInstanceDetails();
    void setupGetUniqueCID();
    void setupGetUniqueID(const QString &seq_name);
    void setupGetCustomerForDelete();
    void setupTicketDetails(qint32 CID);

    // The session's one transaction. Tasks begin, commit and roll back only through a
    // Transaction (Transaction.h), which owns it.
    bool IsInTransaction() const { return inTransaction_; }
    // What the open transaction belongs to ("the reservation of customer 1234"); empty
    // when none is open.
    QString PendingTask() const;
    // Rolls back whatever is open, whichever task holds it: for the shell's Exit,
    // Disconnect and closing, where every task's pending work is given up. The holder's
    // Transaction is then no longer open. Never throws.
    void AbandonAllWork() noexcept;

    // kExecOk when the statement ran, else the database's native error number.
    qint16 exec(const QString &QUery);
    // The description of the last failure exec swallowed (for the screens that report it).
    const QString &LastExecError() const { return lastExecError_; }

    Connection &GetCurrentConnection() { return cn; }

    // The server dropped the connection: the session's open transaction is gone with it
    // and this is called once, with the failure, after the failing statement has failed.
    // What follows depends on what was open:
    //  - nothing (LostTask() empty): the next statement connects again by itself, through
    //    the login's own connection string, for up to ReconnectLimit() seconds;
    //  - a task's transaction (LostTask() names it): nothing is replayed and no statement
    //    runs until ResumeAfterLoss(), so that the rest of the failing task cannot run
    //    outside its transaction; the shell tells the clerk what was not saved, then resumes.
    // When a reconnect gives up (ReconnectGaveUp()), this is called once more and the
    // session stays closed: a fresh login is the way back.
    std::function<void(const DbError &)> onConnectionLost;
    // The task whose transaction the last loss took (empty: nothing was pending).
    const QString &LostTask() const { return lostTask_; }
    // The loss came while that task's commit was on its way: the server may have committed
    // it before the answer was lost, and no one can tell from here.
    bool LostAtCommit() const { return lostAtCommit_; }
    // Lets the next statement connect again after a loss that took a transaction.
    void ResumeAfterLoss();
    bool ReconnectGaveUp() const { return cn.reconnectGaveUp(); }
    // How long a reconnect seeks the server (0: never; the login is then the way back).
    void setReconnectLimit(int seconds) { cn.setReconnectLimit(seconds); }
    int ReconnectLimit() const { return cn.reconnectLimit(); }
    static constexpr int kDefaultReconnectLimit = 30;
    // Told while a reconnect is still seeking the server (seconds so far), and once with
    // done when it ends: the shell shows that the server is being sought.
    std::function<void(int seconds, bool done)> onSeekingServer;

    // Where a refused login is told (the text and the title of an error box): the shell
    // installs its message box; unset, it goes to standard error.
    static void setRefusalSink(std::function<void(const QString &text, const QString &title)> sink);

    // Login state, read by the shell and by tests.
    const QString &Driver(int slot) const { return drivers_.at(size_t(slot - 1)); }
    qint16 DriverIndex() const { return driverIndex_; }
    qint16 DriverCount() const { return driverCount_; }
    qint16 FailedLogins() const { return failedLogins_; }
    bool LoginDenied() const { return loginDenied_; }
    // The connection string the last login attempt used.
    const QString &LastConnectionString() const { return lastConnectionString_; }
    // Why the last login attempt failed (nativeError 0: it did not fail at the server).
    const DbError &LastLoginError() const { return lastLoginError_; }
    // The session can write nothing (a hot standby): reports leave their scratch rows out.
    bool ReadOnlySession();
    // The schema version the logged-in database records (0 before a login).
    qint32 SchemaVersion() const { return schemaVersion_; }
    void setSchemaVersion(qint32 v) { schemaVersion_ = v; }

private:
    friend class Transaction;
    void BeginTransaction();
    void EndTransaction();
    void RollBackTransaction() noexcept;
    void forgetTransaction() noexcept;
    quint64 beginOwned(const QString &task, Transaction *holder);
    bool ownsTransaction(quint64 id) const { return inTransaction_ && id != 0 && ownerId_ == id; }
    void renameOwner(quint64 id, const QString &task);

    static void refuse(const QString &text, const QString &title);
    // After a login: whether the database has this program's schema version and, for a
    // clerk, its rules whole; if not, the user is told what to do and the session closes.
    bool databaseFits(const QString &user);
    void cn_ConnectComplete(bool ok) { connectStatus_ = ok; }
    void cn_ConnectionLost(const DbError &e);
    void prepare(Command &cmd, const QString &text);

    QString userName_;
    std::array<QString, 20> drivers_;
    qint16 driverIndex_ = 1;
    qint16 driverCount_ = 3;
    bool connectStatus_ = false;
    qint16 failedLogins_ = 0;
    bool loginDenied_ = false;
    bool inTransaction_ = false;
    quint64 ownerId_ = 0;
    // the Transaction that holds the open transaction, told when the session goes first
    Transaction *holder_ = nullptr;
    quint64 lastOwnerId_ = 0;
    QString ownerTask_;
    qint32 schemaVersion_ = 0;
    Connection cn;
    QString lastExecError_;
    QString lastConnectionString_;
    DbError lastLoginError_;
    QString lostTask_;
    bool committing_ = false;
    bool lostAtCommit_ = false;
};

#undef NBK_COMMAND_SLOT

// The module operation of the route queries: km from the route's first place to the
// start of the element at the given path position.
qint16 GetSegmentDistance(double routeId, double position);

}  // namespace nbk::data

// The one session of the client.
extern nbk::data::Class1 *DbSession;
