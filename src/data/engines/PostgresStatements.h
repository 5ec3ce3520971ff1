#pragma once
#include "data/dialect/DbError.h"
#include "data/engines/Engine.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <vector>

typedef struct pg_conn PGconn;

namespace nbk::data {

// Runs the client's statements on a PostgreSQL connection straight through libpq, each in
// one round trip: the statement's savepoint (inside a transaction) and, for a statement
// with parameters, its prepare travel in the same flight as the statement.
//
// A prepared statement is named after its text (nbk_ and the text's SHA-1), so that a name
// always stands for one text. Behind a pooler that hands a later transaction another
// server connection, the name either holds the same text there or is missing, and a
// missing one is prepared and the statement run again: no statement ever runs under the
// name of another.
class PostgresStatements {
public:
    // After the connection is made; `settings` are the session's SET statements. A pooler
    // in front of the server shows itself by a cancel key that is not the backend's
    // process id: then the settings travel again with every transaction and every
    // statement outside one, since the server connection may change between them.
    void connected(PGconn *c, const QStringList &settings);
    bool pooled() const { return pooled_; }

    StatementResult run(PGconn *c, const QString &sql, const QVariantList &params);
    bool begin(PGconn *c, DbError &err);
    bool commit(PGconn *c, DbError &err);
    bool rollback(PGconn *c, DbError &err);
    bool inTransaction() const { return inTransaction_; }

private:
    bool transactionStep(PGconn *c, const char *sql, bool withSettings, DbError &err);

    QSet<QByteArray> prepared_;  // names prepared on this connection
    QByteArray settings_;        // one statement that sets them all again
    bool pooled_ = false;
    bool inTransaction_ = false;
    int depth_ = 0;  // savepoints held in the transaction
};

}  // namespace nbk::data
