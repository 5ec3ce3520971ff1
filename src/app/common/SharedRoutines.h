#pragma once
#include <QDate>
#include <QDateTime>
#include <QString>

// Days in the month of d (28 to 31).
qint16 DaysInMonth(const QDate &d);
// TO_DATE('dd-mm-yyyy hh:mm:ss','DD-MM-YYYY HH24:MI:SS') for the server.
QString OracleDateLiteral(const QDateTime &d);
// Sets OriginPlace and DestinationPlace from the chosen candidate rows; false (after the
// message) when they are the same place.
bool CheckDistinctPlaces(qint16 originRow, qint16 destinationRow);
