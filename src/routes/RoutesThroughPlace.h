#pragma once
#include "common/Notice.h"

#include <QList>
#include <QString>

namespace nbk::data {
class Class1;
}

namespace nbk::routes {

// The routes with a segment that starts or ends at the place of the given full name (any
// capitals), for the supervisor's route search. None, with the notice to show, when no
// place has that name, no route passes it or the database fails (Focus::SearchPlace when
// the typed name is what to correct).
struct RoutesThroughPlace {
    QList<qint64> routes;
    Notices notices;
    Focus focus = Focus::None;
};
RoutesThroughPlace routesThroughPlace(data::Class1 &s, const QString &fullName);

}  // namespace nbk::routes
