#pragma once
#include <QString>

namespace nbk::app {

// The client's own database file when none is named: nbk.db in the application's data
// folder.
QString defaultDatabasePath();

// Makes path the embedded database of the sessions. With createIfMissing a missing file
// is created with the demonstration network; otherwise a missing file stays missing (the
// login then fails as with an unreachable server). False with error when the file
// cannot be created.
bool prepareDatabase(const QString &path, bool createIfMissing, QString *error);

}  // namespace nbk::app
