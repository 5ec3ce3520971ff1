#include "common/SharedRoutines.h"

#include "common/ReservationState.h"
#include "ui/prompt/Prompt.h"
#include "data/session/Class1.h"

qint16 DaysInMonth(const QDate &d) { return qint16(d.daysInMonth()); }

QString OracleDateLiteral(const QDateTime &d)
{
    return QStringLiteral("TO_DATE('") + d.toString(QStringLiteral("dd-MM-yyyy")) + QStringLiteral(" ")
           + d.toString(QStringLiteral("HH:mm:ss")) + QStringLiteral("','DD-MM-YYYY HH24:MI:SS')");
}

bool PlacesDiffer(nbk::reservation::ReservationState &request, qint16 originRow, qint16 destinationRow)
{
    request.OriginPlace = request.SearchRows.at(0, originRow).toString();
    request.DestinationPlace = request.DestinationRows.at(0, destinationRow).toString();
    // the full names go with the booking to the customer screen
    const auto name = [](const nbk::data::RowTable &rows, int row) {
        return rows.fieldCount() > 1 ? rows.at(1, row).toString() : QString();
    };
    request.OriginName = name(request.SearchRows, originRow);
    request.DestinationName = name(request.DestinationRows, destinationRow);
    return request.OriginPlace.trimmed().compare(request.DestinationPlace.trimmed(), Qt::CaseInsensitive) != 0;
}

nbk::Notice SamePlaceNotice()
{
    return {QStringLiteral("Start Place same as end place "), nbk::mb::Critical | nbk::mb::OKOnly,
            QStringLiteral("Error")};
}

bool CheckDistinctPlaces(nbk::reservation::ReservationState &request, qint16 originRow, qint16 destinationRow)
{
    if (PlacesDiffer(request, originRow, destinationRow))
        return true;
    const nbk::Notice n = SamePlaceNotice();
    nbk::ui::showMessage(n.text, n.style, n.title);
    return false;
}

namespace nbk {
void tellLoginRefusalsThroughPrompt()
{
    data::Class1::setRefusalSink([](const QString &text, const QString &title) {
        ui::showMessage(text, mb::Critical | mb::OKOnly, title);
    });
}
}  // namespace nbk
