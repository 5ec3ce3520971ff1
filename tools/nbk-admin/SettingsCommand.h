#pragma once
#include <QStringList>

namespace nbk::admin {

// The corporation's settings: its zone, the retention of passengers' names and phones, the
// draws of ids per login and hour; shown, or changed by the supervisor first.
int runSettings(const QStringList &args);

extern const char *const kSettingsUsage;

}  // namespace nbk::admin
