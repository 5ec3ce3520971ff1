#include "reservation/ResolvePlace.h"

#include "common/SharedRoutines.h"
#include "data/session/Class1.h"
#include "data/dialect/DbError.h"
#include "common/ReservationState.h"

namespace {

// "mysore" is Mysore: the places are found in any letter case.
const char *const SQL_PLACES_LIKE =
    "SELECT place, Full_Name FROM place where UPPER(Full_Name) LIKE UPPER(?) ORDER BY Full_Name ";

// Only the first two letters search; the rest of the name decides in the exact test.
QString placePattern(const QString &typed) { return typed.left(2) + QLatin1Char('%'); }

bool sameName(const QString &name, const QString &typed)
{
    return name.trimmed().compare(typed.trimmed(), Qt::CaseInsensitive) == 0;
}

QStringList fullNames(const nbk::data::RowTable &rows)
{
    QStringList names;
    for (int r = 0; r < rows.rowCount(); ++r)
        names << rows.at(1, r).toString();
    return names;
}

}  // namespace

int PreselectedPlace(const QStringList &names, const QString &typed)
{
    for (int i = 0; i < names.size(); ++i)
        if (sameName(names.at(i), typed))
            return i;
    return 0;
}

PlaceOutcome ResolvePlace(const QString &origin, const QString &destination)
{
    PlaceOutcome out;
    nbk::data::Class1 &s = *DbSession;
    nbk::data::RowTable from, to;
    try {
        nbk::data::Command c;
        c.setActiveConnection(&s.GetCurrentConnection());
        c.setCommandText(QString::fromLatin1(SQL_PLACES_LIKE));
        c.appendParameter(QStringLiteral("l"), nbk::data::adtype::VarChar, 20);
        c.setValue(0, placePattern(origin));
        from = c.execute().getRows();
        c.setValue(0, placePattern(destination));
        to = c.execute().getRows();
    } catch (const nbk::data::DbException &e) {
        // a failure is not "no such place": the clerk is told what happened
        out.notices.push_back({QStringLiteral("The places could not be looked up in the database (")
                                   + e.error().description.trimmed() + QStringLiteral("). Please try again. "),
                               nbk::mb::Critical | nbk::mb::OKOnly, QStringLiteral("Error")});
        out.showRequestAgain = true;
        return out;
    }
    if (from.isEmpty() || to.isEmpty()) {
        out.notices.push_back({QStringLiteral(QT_TRANSLATE_NOOP("Prompt", "Requested place not found. Please check the spelling")),
                               nbk::mb::Critical, QStringLiteral("Error")});
        out.showRequestAgain = true;
        return out;
    }

    out.fromRows = from;
    out.toRows = to;
    if (from.rowCount() == 1 && to.rowCount() == 1 && sameName(from.at(1, 0).toString(), origin)
        && sameName(to.at(1, 0).toString(), destination)) {
        nbk::reservation::ReservationState settled;
        TakePlaces(settled, out);
        if (PlacesDiffer(settled, 0, 0)) {
            out.result = 3;
        } else {
            out.result = 5;
            out.notices.push_back(SamePlaceNotice());
        }
        return out;
    }
    out.choosePlaces = true;
    out.fromNames = fullNames(from);
    out.toNames = fullNames(to);
    out.fromChoice = PreselectedPlace(out.fromNames, origin);
    out.toChoice = PreselectedPlace(out.toNames, destination);
    return out;
}

void TakePlaces(nbk::reservation::ReservationState &request, const PlaceOutcome &outcome)
{
    if (outcome.fromRows.isEmpty() || outcome.toRows.isEmpty())
        return;
    request.SearchRows = outcome.fromRows;
    request.DestinationRows = outcome.toRows;
    request.OriginLastRow = qint16(outcome.fromRows.lastRow());
    request.OriginLastField = qint16(outcome.fromRows.lastField());
    request.DestinationLastRow = qint16(outcome.toRows.lastRow());
    request.DestinationLastField = qint16(outcome.toRows.lastField());
    if (outcome.result == 3 || outcome.result == 5)
        PlacesDiffer(request, 0, 0);
}
