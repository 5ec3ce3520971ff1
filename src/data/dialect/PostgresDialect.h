#pragma once
#include <vector>
#include "data/dialect/DbError.h"
#include "data/dialect/SqlRewriter.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace nbk::data {

// What PostgreSQL needs to answer the client's Oracle SQL with Oracle's meaning; shared by
// the server engine (QPSQL) and by ODBC when the database behind the driver is PostgreSQL.
class PostgresDialect {
public:
    PostgresDialect();

    // Statements every new session runs first: the compatibility schema ahead of
    // pg_catalog, and a lock time-out so that a clerk never freezes on another's booking.
    static QStringList sessionSetup();
    // Settings that help where the server knows them and do no harm where it does not:
    // keepalives, so that the server notices a counter that vanished without closing its
    // connection and frees that counter's locks within about a minute.
    static QStringList optionalSessionSetup();

    QString translate(const QString &oracleSql, std::vector<int> *paramOrder = nullptr) const;

    // SQLSTATE + server message -> Oracle number and "ORA-NNNNN: ..." description.
    // statement: the SQL that failed (tells an insert's missing parent from a delete's
    // child rows), empty for connection-level failures.
    static DbError mapError(const QString &sqlState, const QString &message,
                            const QString &statement);

    // Oracle undoes only the failing statement; PostgreSQL would spoil the whole
    // transaction. Inside a transaction every statement runs under a savepoint.
    // The savepoint of a statement that ran is not released: releasing costs the server a
    // round trip per statement, while the savepoints of one transaction are few and end
    // with it. Each statement's has a number of its own, so that a long transaction can
    // fold them all into it at once.
    void began() { inTransaction_ = true; depth_ = 0; }
    void ended() { inTransaction_ = false; depth_ = 0; }
    void statementStarting(QSqlDatabase &db);
    void statementFinished(QSqlDatabase &db, bool ok);

private:
    OracleRewriteRules rules_;
    bool inTransaction_ = false;
    bool savepointOpen_ = false;  // around the running statement
    int depth_ = 0;               // savepoints held in the transaction
};

// Whether an open failure's text means a wrong user name or password.
bool isAuthenticationFailure(const QString &text);
// The Oracle error that says why the server refused a connection, from the server's (or
// libpq's) message; the message itself follows in brackets. No listener only where no
// server answered.
DbError connectionRefusal(const QString &text);

}  // namespace nbk::data
