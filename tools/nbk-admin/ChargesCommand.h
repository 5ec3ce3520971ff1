#pragma once
#include <QStringList>

namespace nbk::admin {

// The cancellation charges: the schedules on file, or a new one from a later date.
int runCharges(const QStringList &args);

extern const char *const kChargesUsage;

}  // namespace nbk::admin
