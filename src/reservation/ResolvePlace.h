#pragma once
#include "common/Notice.h"
#include "common/ReservationState.h"
#include "data/session/RowTable.h"

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
    // the candidate tables (start, end) whenever both places matched something
    nbk::data::RowTable fromRows, toRows;
};

// The entry to preselect: the first whose name is the typed text (blanks and letter case
// aside), else the first.
int PreselectedPlace(const QStringList &names, const QString &typed);

// Matches the typed start and end places against the places by their first two letters,
// then the whole name, in any letter case; the candidate tables come back in the outcome.
PlaceOutcome ResolvePlace(const QString &origin, const QString &destination);
// Puts the outcome's candidate tables into the request and, when both places are settled,
// their codes and names.
void TakePlaces(nbk::reservation::ReservationState &request, const PlaceOutcome &outcome);
