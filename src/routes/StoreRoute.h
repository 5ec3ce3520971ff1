#pragma once
#include <QList>
#include <QString>
#include <QStringList>

#include "common/Notice.h"
#include "data/definition/Definition.h"

namespace nbk::data {
class Class1;
}

namespace nbk::routes {

// What a step of the route wizard tells the supervisor; ok false ends the step.
struct Outcome {
    bool ok = true;
    Notice notice;  // empty text: nothing to show
    Focus focus = Focus::None;
    bool rollBack = false;  // the wizard's transaction must be rolled back

    static Outcome done() { return {}; }
    static Outcome refuse(const QString &text, int style, const QString &title, Focus focus = Focus::None,
                          bool rollBack = false)
    {
        return {false, {text, style, title}, focus, rollBack};
    }
};

// A database failure the steps do not expect: reported, and everything rolled back.
Outcome databaseFailure(const QString &description);
// Whether a failure is another session's lock on the rows (a pending booking), and what
// the supervisor is told then.
bool isLockRefusal(const QString &description);
QString busyText();

// Both the route sequence and the distances: items separated by ";" or ","; a separator
// at the very end starts no further item, one at the start or two in a row give an
// empty item.
QStringList splitList(const QString &text);
// Leading and trailing spaces removed (spaces only).
QString trimBlanks(const QString &text);
// The places of a typed sequence that are worth drawing (trimmed, non-empty).
QStringList sequencePlaces(const QString &typed);

// What the route entry screen holds when Next >> is pressed.
struct RouteEntry {
    QString sequence;    // txtr
    QString kms;         // txtk
    QString stopTime;    // Text2
    QString travelTime;  // Text3
    QString speed;       // Text4
    bool estimate = false;  // Text3 disabled: the journey time comes from the speed
    int fpiPosition = 1;    // cmbfpi
    QString name;           // Text1: free, may be left empty
    // Text5: the places' Kannada names in the sequence's order, separated as the sequence;
    // an empty item leaves its place's name as it is
    QString localNames;
};

// A route entry that passed the checks.
struct CheckedRoute {
    QStringList places;     // trimmed names, in route order
    QStringList distances;  // canonical decimal text, one per segment
    qint16 totalKm = 0;
    double stopTime = 0;
    qint16 travelMins = 0;
    double speed = 0;  // km/h of the estimate; 0 when the journey time was typed
    int fpi = 2;
    QString name;  // trimmed, at most kMaxRouteName characters; empty: none
    QStringList localNames;  // trimmed, one a place at most; empty: kept as it is
};

// The longest route name the entry screen takes; the database refuses a longer one.
constexpr int kMaxRouteName = nbk::data::schema::kMaxRouteNameText;

// The largest route the tables describe (sequence numbers 1 .. 100).
constexpr int kMaxPlaces = 101;

// The checks of Next >>, in order; the first failure says what and where.
Outcome checkRoute(const RouteEntry &in, CheckedRoute &out);
// The last of them: no more Kannada names than places (the screen puts the focus on them).
Outcome checkLocalNames(const RouteEntry &in, CheckedRoute &out);

// The codes a new place may take before the sequence one: the first two characters and
// the two starting at the 3rd, 4th .. 7th character while two characters remain after them.
QStringList derivedPlaceCodes(const QString &name);
// The code of last resort: the first two characters and a place_seq value.
QString sequencePlaceCode(const QString &name, qint64 sequenceValue);

// A segment that is stored with another distance than the one typed for it.
struct DistanceChange {
    QString from, to;  // place names
    QString typed, stored;
};

// The confirmation texts; the segments stored with other distances are named after them.
QString sequenceSummary(const QStringList &places);
QString distanceSummary(const QStringList &distances);
QString confirmationText(bool editing, qint32 routeId, const CheckedRoute &route,
                         const QList<DistanceChange> &changed = {});
bool sameStartAndEnd(const CheckedRoute &route);

// Place codes and segment ids of a checked route, found or created, with the distance of
// each segment as stored (a segment found keeps its own).
struct ResolvedRoute {
    QStringList codes;
    QList<qint32> segments;
    QStringList distances;
    QList<DistanceChange> changed;
};

// Finds or creates every place and segment (inside the caller's transaction).
Outcome resolvePlaces(data::Class1 &s, const CheckedRoute &route, ResolvedRoute &out);

// The route as its segments are stored: their distances, the total and (estimated from
// the speed) the journey time; refused when the total no longer fits.
Outcome useStoredDistances(CheckedRoute &route, const ResolvedRoute &resolved);

// Writes the route row (a new number from route_seq when adding, into routeId) and its
// path. Editing refuses to change the path of a route whose runs hold reservations.
Outcome storeRoute(data::Class1 &s, bool editing, const CheckedRoute &route, const ResolvedRoute &resolved,
                   qint32 &routeId);

// Gives the route's places the Kannada names typed for them (inside the caller's transaction).
Outcome storePlaceLocalNames(data::Class1 &s, const CheckedRoute &route, const ResolvedRoute &resolved);

// Runs a statement of the wizard; true when it ran. A refusal other than a duplicate key
// goes into failure.
bool run(data::Class1 &s, const QString &sql, Outcome &failure);

}  // namespace nbk::routes
