#pragma once
#include <QStringList>

namespace nbk::admin {

inline const char *const kBackupUsage =
    "  nbk-admin backup DATABASE FILE    (a new FILE; on a server the owner's or a superuser's URI)\n"
    "  nbk-admin restore FILE DATABASE   (DATABASE missing or empty; an embedded file or a URI)\n";

// nbk-admin backup DATABASE FILE
int runBackup(const QStringList &args);
// nbk-admin restore FILE DATABASE
int runRestore(const QStringList &args);

}  // namespace nbk::admin
