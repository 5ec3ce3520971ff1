#pragma once
#include "common/Notice.h"

#include <QString>

namespace nbk::data {
class Class1;
}

namespace nbk::routes {

// The readable list of a route: its places in order (kind anything but "KM") or its
// segment distances (kind "KM"), each item after `separator`, the first character of the
// whole dropped for the place list. Not found, with the notice to show, when the route
// number is not a number, the route has no path or the database fails.
struct RouteDescription {
    bool found = false;
    QString text;
    Notices notices;
};
RouteDescription DescribeRoute(data::Class1 &s, const QString &routeIdText, const QString &separator,
                               const QString &kind);

}  // namespace nbk::routes
