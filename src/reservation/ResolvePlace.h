#pragma once
#include "common/Notice.h"

#include <QString>
#include <QStringList>

// What matching the typed places came to; the screen acts on it.
struct PlaceOutcome {
    // 3 both settled and distinct, 5 the same place, 0 not settled here
    qint16 result = 0;
    nbk::Notices notices;
    // nothing matched (or the database failed): the request comes back, Next enabled
    bool showRequestAgain = false;
    // several candidates: the place confirmation screen opens with these lists, in row
    // order of the candidate tables, with these entries selected
    bool choosePlaces = false;
    QStringList fromNames;
    QStringList toNames;
    int fromChoice = 0;
    int toChoice = 0;
};

// The entry to preselect: the first whose name is the typed text (blanks and letter case
// aside), else the first.
int PreselectedPlace(const QStringList &names, const QString &typed);

// Matches the typed start and end places against the places by their first two letters,
// then the whole name, in any letter case; fills the candidate tables and, when both are
// settled, the place codes of the reservation state.
PlaceOutcome ResolvePlace(const QString &origin, const QString &destination);
