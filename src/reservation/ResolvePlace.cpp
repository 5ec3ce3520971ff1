#include "reservation/ResolvePlace.h"

#include "app/common/SharedRoutines.h"
#include "data/Class1.h"
#include "data/DbError.h"
#include "reservation/state/ReservationState.h"

namespace {

// Only the first two letters search; the rest of the name decides in the exact test.
QString placePattern(const QString &typed) { return typed.left(2) + QLatin1Char('%'); }

QStringList fullNames(const nbk::data::RowTable &rows)
{
    QStringList names;
    for (int r = 0; r < rows.rowCount(); ++r)
        names << rows.at(1, r).toString();
    return names;
}

}  // namespace

PlaceOutcome ResolvePlace(const QString &origin, const QString &destination)
{
    PlaceOutcome out;
    nbk::data::Class1 &s = *DbSession;
    nbk::data::RowTable from, to;
    try {
        s.SetupGetPlace();
        nbk::data::Command &c = s.SQLcmdGetPlace();
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
        out.notices.push_back({QStringLiteral("Requested place not found. Please check the spelling"),
                               nbk::mb::Critical, QStringLiteral("Error")});
        out.showRequestAgain = true;
        return out;
    }

    Reservation.SearchRows = from;
    Reservation.DestinationRows = to;
    Reservation.OriginLastRow = qint16(from.lastRow());
    Reservation.OriginLastField = qint16(from.lastField());
    Reservation.DestinationLastRow = qint16(to.lastRow());
    Reservation.DestinationLastField = qint16(to.lastField());

    if (from.rowCount() == 1 && to.rowCount() == 1 && from.at(1, 0).toString().trimmed() == origin.trimmed()
        && to.at(1, 0).toString().trimmed() == destination.trimmed()) {
        if (PlacesDiffer(0, 0)) {
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
    return out;
}
