#pragma once
#include <QStringList>

namespace nbk::admin {

// nbk-admin watchdog --database URI [--seconds N] [--statement-seconds S]
// [--idle-seconds I]: ends the clerks' sessions of a server database that run a statement
// or hold a transaction open past the limits, whatever the clerk SET for the session.
int runWatchdog(const QStringList &args);

extern const char *const kWatchdogUsage;

}  // namespace nbk::admin
