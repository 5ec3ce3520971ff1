#pragma once
// What each statement costs inside the embedded engine, by SQLite's own profile of every
// statement it finishes (its triggers included), summed per operation and per statement
// with its literals made into '?'. SQLite's clock for it counts whole milliseconds: the
// figures are means over many passes. For the server, pg_stat_statements tells the same.
#include <QSqlDatabase>
#include <QString>

namespace nbk::bench {

// Starts profiling the statements of this connection to an embedded file.
bool profileStatements(const QSqlDatabase &db);

// One pass of an operation starts (its statements counted under its name) or ends.
void profileIteration(const QString &operation, bool starting);

// Prints, per operation, the statements that took most of its time inside the engine.
void printStatementProfile(int top);

// The statement's text with numbers and quoted texts as '?', blanks collapsed.
QString statementShape(const QString &sql);

}  // namespace nbk::bench
