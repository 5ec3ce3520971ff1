#pragma once
#include "data/dialect/DbError.h"

#include <QString>

struct sqlite3;

namespace nbk::data::sqliterules {

// Per-connection functions the embedded schema's triggers call (the login, the
// transaction number and the program for the audit trail, the fare of one seat), with
// the commit hooks that keep the transaction number, and nbk_supervisor() for statements
// that show a clerk only the clerk's own rows. Every connection to the file gets them;
// one that never logs in (nbk-admin's) is the file's owner, "owner" in the trail.
void install(sqlite3 *db);

// After a login: who the session is, the bookkeeping of what its transactions touch, and
// the authorizer that keeps it to its rights (a clerk: no account table, no writes to the
// route network, only the counter of a run, no DDL; everyone: the audit trail is written
// by its triggers only).
bool startSession(sqlite3 *db, const QString &login, bool supervisor, QString *error);

// Counts a logged-in session's draw from the sequence of bookings' or runs' ids; the
// reason it is refused when the login has drawn its ids of the hour (see kDrawnIds), else
// empty. Called by the draw, as the engine's own statement.
QString countDraw(sqlite3 *db, const QString &sequence);

// Whether the connection belongs to a logged-in session (the rules below bind it).
bool isSession(sqlite3 *db);

// While one lives, the connection's statements are the engine's own: the transaction's
// owner (BEGIN, COMMIT, ROLLBACK, the lock of FOR UPDATE) and the draw of an id. A logged-in
// session's own statements may neither open, end nor mark a transaction (it could otherwise
// commit what the end-of-transaction rules never saw) nor write the sequences or the lock.
class Owned {
public:
    explicit Owned(sqlite3 *db);
    ~Owned();
    Owned(const Owned &) = delete;
    Owned &operator=(const Owned &) = delete;

private:
    void *session_;
    bool was_;
};

// The rules that hold only at the end of a transaction, over what it touched: a run's
// free seats are its capacity less its seats held; a customer's fare is the fare rule of
// its run and stretch times its seats (nothing without seats). False with err on a
// breach. Clears the bookkeeping when clean.
bool checkTouched(sqlite3 *db, DbError &err);
// Finalizes the rules' compiled statements: called before the connection closes (SQLite
// does not close a connection that still has statements).
void release(sqlite3 *db);
// Forgets what the ended (rolled-back) transaction touched.
void forgetTouched(sqlite3 *db);

}  // namespace nbk::data::sqliterules
