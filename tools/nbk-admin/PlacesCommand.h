#pragma once
#include <QStringList>

namespace nbk::admin {

// The places with their Kannada names: those on file, set or withdrawn by the supervisor.
int runPlaces(const QStringList &args);

extern const char *const kPlacesUsage;

}  // namespace nbk::admin
