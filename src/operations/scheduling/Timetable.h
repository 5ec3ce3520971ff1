#pragma once
#include <QDateTime>
#include <QList>
#include <QString>

namespace nbk::data {
class Connection;
}

namespace nbk::scheduling {

// A departure that a route's timetable and classes plan, whether or not its run has been
// made yet: where it starts, when it leaves the boarding place and the stretch it covers.
struct PlannedDeparture {
    qint32 routeId = 0;
    QDateTime start;     // at the route's first place
    QDateTime boarding;  // at the journey's boarding place
    int boardingSeq = 0;
    int alightingSeq = 0;
};

// The route rows through `origin` before `destination`, as the on-demand run reads them:
// route, first place, last place, km, speed, boarding and alighting positions, stop time.
QString RoutesBetweenText(const QString &origin, const QString &destination);

// Every departure of `classIndex` that the timetables of the routes from `origin` to
// `destination` plan with a boarding time from `from` to `to`, in boarding order. Reads
// only: nothing is created.
QList<PlannedDeparture> PlannedDepartures(nbk::data::Connection &cn, const QString &origin,
                                          const QString &destination, qint16 classIndex, const QDateTime &from,
                                          const QDateTime &to);

// The last departure boarding before `wanted` and the first after it, within a day; an
// invalid boarding time where there is none.
struct NearMiss {
    PlannedDeparture before;
    PlannedDeparture after;
    bool any() const { return before.boarding.isValid() || after.boarding.isValid(); }
};
NearMiss NearestDepartures(const QList<PlannedDeparture> &departures, const QDateTime &wanted);

// "11 Dec 2026 10:07" for the person at the counter (nbk::peopleDateTime).
QString departureText(const QDateTime &t);
// A line naming the nearest departures before and after the wanted time, or empty.
QString nearMissText(const NearMiss &m, const QString &origin);

}  // namespace nbk::scheduling
