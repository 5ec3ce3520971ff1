#pragma once
#include "routes/DescribeRoute.h"

#include <vector>

namespace nbk::routes {

// One ticked day of a route's timetable: runs every `interval` hours from hour:minute.
struct DayTimetable {
    int day = 0;  // 1 Monday .. 8 Everyday
    QString interval;
    int hour = 0;
    int minute = 0;
};

// What the route wizard is filled with to change a route. Not loaded, with the notice to
// show, when the database fails; a distance list that could not be read leaves its notice
// and an empty list.
struct RouteForChange {
    bool loaded = false;
    Notices notices;
    QString names;
    QString kms;
    bool timed = false;  // the route's own row was found
    int fpiIndex = -1;   // in the wizard's first-place list
    QString stopTime;
    QString travelMins;
    QString name;  // empty: none stored
    std::vector<DayTimetable> days;
    std::vector<int> classBoxes;  // classBox(class, day) of each class the route runs
};

// Reads the route for change; `names` is its place list, described before.
RouteForChange LoadRouteForChange(data::Class1 &s, qint16 routeId, const QString &names);

// The name stored for the route; empty when it has none or the route is not found.
// A failing read is the caller's (DbException).
QString storedRouteName(data::Class1 &s, qint64 routeId);

}  // namespace nbk::routes
