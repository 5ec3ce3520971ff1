#pragma once
#include <QStringList>

namespace nbk::admin {

inline const char *const kEraseUsage =
    "  nbk-admin erase DATABASE   (an embedded file, or the database owner's postgresql:// URI: erases\n"
    "      the names and phones of travelled and cancelled bookings older than the retention period\n"
    "      the corporation sets, from the bookings and the trail; ids and amounts stay)\n";

int runErase(const QStringList &args);

}  // namespace nbk::admin
