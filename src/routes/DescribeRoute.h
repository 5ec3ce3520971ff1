#pragma once
#include <QString>

// The readable list of a route: its places in order (kind anything but "KM") or its
// segment distances (kind "KM"), each item after `separator`, the first character of the
// whole dropped for the place list. "" after its message when the route number is not a
// number or the route has no path.
QString DescribeRoute(const QString &routeIdText, const QString &separator, const QString &kind);
