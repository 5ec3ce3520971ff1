#pragma once
#include <QtGlobal>

// Deletes the route after the supervisor's Yes (delete mode), or opens the route wizard
// filled with it (edit mode). -2 when the route could not be described (its message has
// been shown) or the wizard is busy with another route; 0 otherwise.
qint16 openRouteForChange(qint16 routeId);
