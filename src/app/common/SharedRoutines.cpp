#include "app/common/SharedRoutines.h"

#include "reservation/state/ReservationState.h"
#include "ui/MsgBox.h"

qint16 DaysInMonth(const QDate &d)
{
    // the same day of the next month, rolled over the month's end as dates do
    const int y = d.year(), m = d.month(), day = d.day();
    const QDate next = QDate(m == 12 ? y + 1 : y, m == 12 ? 1 : m + 1, 1).addDays(day - 1);
    return qint16(QDate(y, m, 1).addDays(day - 1).daysTo(next));
}

QString OracleDateLiteral(const QDateTime &d)
{
    return QStringLiteral("TO_DATE('") + d.toString(QStringLiteral("dd-MM-yyyy")) + QStringLiteral(" ")
           + d.toString(QStringLiteral("HH:mm:ss")) + QStringLiteral("','DD-MM-YYYY HH24:MI:SS')");
}

bool CheckDistinctPlaces(qint16 originRow, qint16 destinationRow)
{
    OriginPlace = SearchRows.at(0, originRow).toString();
    DestinationPlace = DestinationRows.at(0, destinationRow).toString();
    if (OriginPlace.trimmed().compare(DestinationPlace.trimmed(), Qt::CaseInsensitive) == 0) {
        nbk::ui::MsgBox(QStringLiteral("Start Place same as end place "), nbk::mb::Critical | nbk::mb::OKOnly,
                        QStringLiteral("Error"));
        return false;
    }
    return true;
}
