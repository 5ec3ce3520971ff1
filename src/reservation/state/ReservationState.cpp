#include "reservation/state/ReservationState.h"

bool EnquiryMode = false;
QString JourneyDateText;
QDateTime JourneyDateTime;
qint16 SeatsRequested = 0;
qint16 ClassIndex = 0;
bool AllowInstanceChoice = false;
QString RouteIdText;
nbk::data::RowTable SearchRows;
nbk::data::RowTable DestinationRows;
QString OriginPlace;
QString DestinationPlace;
qint16 OriginLastRow = 0, DestinationLastRow = 0, OriginLastField = 0, DestinationLastField = 0;
qint16 OriginChoice = 0, DestinationChoice = 0;
qint16 BoardingOffsetMinutes = 0;
qint32 BookedInstanceId = 0;
qint32 JourneyKm = 0;
qint16 ClassBase = 0;
double ClassMultiplier = 0;
double FuelMultiplier = 0;
qint16 Fare = 0;
std::array<qint16, 201> FreeSeats{};
std::array<qint16, 31> ChosenSeats{};
qint32 CustomerId = 0;

namespace nbk {
void ResetReservationState()
{
    EnquiryMode = false;
    JourneyDateText.clear();
    JourneyDateTime = QDateTime();
    SeatsRequested = 0;
    ClassIndex = 0;
    AllowInstanceChoice = false;
    RouteIdText.clear();
    SearchRows.clear();
    DestinationRows.clear();
    OriginPlace.clear();
    DestinationPlace.clear();
    OriginLastRow = DestinationLastRow = OriginLastField = DestinationLastField = 0;
    OriginChoice = DestinationChoice = 0;
    BoardingOffsetMinutes = 0;
    BookedInstanceId = 0;
    JourneyKm = 0;
    ClassBase = 0;
    ClassMultiplier = FuelMultiplier = 0;
    Fare = 0;
    FreeSeats.fill(0);
    ChosenSeats.fill(0);
    CustomerId = 0;
}
}  // namespace nbk
