#pragma once
#include "data/RowTable.h"

#include <QDateTime>
#include <QString>
#include <array>

// Process-wide values the reservation screens and procedures hand to each other.
extern bool EnquiryMode;
extern QString JourneyDateText;     // M-D-YYYY H:M:00, no leading zeros
extern QDateTime JourneyDateTime;   // wanted; after booking, departure at the boarding place
extern qint16 SeatsRequested;
extern qint16 ClassIndex;
extern bool AllowInstanceChoice;
extern QString RouteIdText;
extern nbk::data::RowTable SearchRows;       // start-place candidates, then run rows
extern nbk::data::RowTable DestinationRows;  // end-place candidates
extern QString OriginPlace;
extern QString DestinationPlace;
extern qint16 OriginLastRow, DestinationLastRow, OriginLastField, DestinationLastField;
extern qint16 OriginChoice, DestinationChoice;
extern qint16 BoardingOffsetMinutes;
extern qint32 BookedInstanceId;
extern qint32 JourneyKm;
extern qint16 ClassBase;
extern double ClassMultiplier;
extern double FuelMultiplier;
extern qint16 Fare;
extern std::array<qint16, 201> FreeSeats;   // -1 marks a seat struck out
extern std::array<qint16, 31> ChosenSeats;
extern qint32 CustomerId;

namespace nbk {
// Back to the values at start-up (tests start from here).
void ResetReservationState();
}
