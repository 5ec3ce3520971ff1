#include "reservation/ResolvePlace.h"

#include "app/common/ScreenRegistry.h"
#include "app/common/SharedRoutines.h"
#include "data/Class1.h"
#include "data/DbError.h"
#include "reservation/frmPlaces.h"
#include "reservation/frmReservation.h"
#include "reservation/state/ReservationState.h"
#include "ui/MsgBox.h"

#include <QComboBox>

namespace {

// Only the first two letters search; the rest of the name decides in the exact test.
QString placePattern(const QString &typed) { return typed.left(2) + QLatin1Char('%'); }

}  // namespace

qint16 ResolvePlace(const QString &origin, const QString &destination)
{
    nbk::data::Class1 &s = *DbSession;
    nbk::data::RowTable from, to;
    try {
        s.SetupGetPlace();
        nbk::data::Command &c = s.SQLcmdGetPlace();
        c.setValue(0, placePattern(origin));
        from = c.execute().getRows();
        c.setValue(0, placePattern(destination));
        to = c.execute().getRows();
    } catch (const nbk::data::DbException &) {
        // not reported: the clerk sees the places as not found
        from.clear();
        to.clear();
    }
    if (from.isEmpty() || to.isEmpty()) {
        nbk::ui::MsgBox(QStringLiteral("Requested place not found. Please check the spelling"), nbk::mb::Critical,
                        QStringLiteral("Error"));
        if (auto *f = qobject_cast<frmReservation *>(nbk::openScreen(QStringLiteral("frmReservation"))))
            f->showAgain();
        return 0;
    }

    SearchRows = from;
    DestinationRows = to;
    OriginLastRow = qint16(from.lastRow());
    OriginLastField = qint16(from.lastField());
    DestinationLastRow = qint16(to.lastRow());
    DestinationLastField = qint16(to.lastField());

    if (from.rowCount() == 1 && to.rowCount() == 1
        && from.at(1, 0).toString().trimmed() == origin.trimmed()
        && to.at(1, 0).toString().trimmed() == destination.trimmed())
        return CheckDistinctPlaces(0, 0) ? 3 : 5;

    auto *places = qobject_cast<frmPlaces *>(nbk::openScreen(QStringLiteral("frmPlaces")));
    if (!places)
        return 0;
    places->cmbFrom->clear();
    for (int r = 0; r < from.rowCount(); ++r)
        places->cmbFrom->addItem(from.at(1, r).toString());
    places->cmbFrom->setCurrentIndex(0);
    places->cmbTo->clear();
    for (int r = 0; r < to.rowCount(); ++r)
        places->cmbTo->addItem(to.at(1, r).toString());
    places->cmbTo->setCurrentIndex(0);
    return 0;
}
