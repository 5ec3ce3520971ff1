#pragma once
#include <QString>

// Matches the typed start and end places: 3 both settled and distinct, 5 the same
// place, 0 not settled here (message shown, or the place confirmation screen open).
qint16 ResolvePlace(const QString &origin, const QString &destination);
