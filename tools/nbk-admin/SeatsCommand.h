#pragma once
#include <QStringList>

namespace nbk::admin {

// The seat layouts of the vehicle types: those on file, set or withdrawn by the supervisor.
int runSeats(const QStringList &args);

extern const char *const kSeatsUsage;

}  // namespace nbk::admin
