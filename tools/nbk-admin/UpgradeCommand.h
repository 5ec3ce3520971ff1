#pragma once
#include <QStringList>

namespace nbk::admin {

inline const char *const kUpgradeUsage =
    "  nbk-admin upgrade DATABASE   (an embedded file, or the database owner's postgresql:// URI:\n"
    "      brings a database of an earlier release to this release's schema, in place)\n";

int runUpgrade(const QStringList &args);

}  // namespace nbk::admin
