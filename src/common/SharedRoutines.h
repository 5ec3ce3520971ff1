#pragma once
#include <QDate>
#include <QDateTime>
#include <QString>

#include "common/Notice.h"

// Days in the month of d (28 to 31).
qint16 DaysInMonth(const QDate &d);
// TO_DATE('dd-mm-yyyy hh:mm:ss','DD-MM-YYYY HH24:MI:SS') for the server.
QString OracleDateLiteral(const QDateTime &d);
namespace nbk::reservation { struct ReservationState; }
// Sets the request's origin and destination place codes (and full names) from the chosen
// candidate rows; true when they are different places (codes compared without blanks and
// letter case).
bool PlacesDiffer(nbk::reservation::ReservationState &request, qint16 originRow, qint16 destinationRow);
// The same, and the message when they are the same place (false after it).
bool CheckDistinctPlaces(nbk::reservation::ReservationState &request, qint16 originRow, qint16 destinationRow);
// The message CheckDistinctPlaces shows for the same place at both ends.
nbk::Notice SamePlaceNotice();

namespace nbk {
// A refused login is told through the installed prompt, as an error box.
void tellLoginRefusalsThroughPrompt();
}  // namespace nbk
