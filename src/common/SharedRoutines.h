#pragma once
#include <QDate>
#include <QDateTime>
#include <QString>

#include "common/Notice.h"

// Days in the month of d (28 to 31).
qint16 DaysInMonth(const QDate &d);
// TO_DATE('dd-mm-yyyy hh:mm:ss','DD-MM-YYYY HH24:MI:SS') for the server.
QString OracleDateLiteral(const QDateTime &d);
// Sets the origin and destination place codes from the chosen candidate rows; true when
// they are different places (codes compared without blanks and letter case).
bool PlacesDiffer(qint16 originRow, qint16 destinationRow);
namespace nbk::reservation { struct ReservationState; }
// The same on the given request.
bool PlacesDiffer(nbk::reservation::ReservationState &request, qint16 originRow, qint16 destinationRow);
// The same, and the message when they are the same place; sets Reservation.OriginPlace and Reservation.DestinationPlace from the chosen candidate rows; false (after the
// message) when they are the same place.
bool CheckDistinctPlaces(qint16 originRow, qint16 destinationRow);
// The message CheckDistinctPlaces shows for the same place at both ends.
nbk::Notice SamePlaceNotice();
