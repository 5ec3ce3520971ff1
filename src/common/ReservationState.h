#pragma once
#include "data/RowTable.h"

#include <QDateTime>
#include <QString>
#include <array>

namespace nbk::reservation {

// The values the reservation screens and procedures hand to each other while a request
// is made: one object, so that what belongs to a request is in one place. A booking that
// is pending keeps its own copy (PendingBooking) and never reads these again.
struct ReservationState {
    bool EnquiryMode = false;
    QString JourneyDateText;     // M-D-YYYY H:M:00, no leading zeros
    QDateTime JourneyDateTime;   // wanted; after booking, departure at the boarding place
    qint16 SeatsRequested = 0;
    qint16 ClassIndex = 0;
    bool AllowInstanceChoice = false;
    QString RouteIdText;
    nbk::data::RowTable SearchRows;       // start-place candidates, then run rows
    nbk::data::RowTable DestinationRows;  // end-place candidates
    QString OriginPlace;
    QString DestinationPlace;
    QString OriginName, DestinationName;  // full names of the chosen places
    qint16 OriginLastRow = 0, DestinationLastRow = 0, OriginLastField = 0, DestinationLastField = 0;
    qint16 OriginChoice = 0, DestinationChoice = 0;
    qint16 BoardingOffsetMinutes = 0;
    qint32 BookedInstanceId = 0;
    qint32 JourneyKm = 0;
    qint16 ClassBase = 0;
    double ClassMultiplier = 0;
    double FuelMultiplier = 0;
    qint16 Fare = 0;
    std::array<qint16, 201> FreeSeats{};   // -1 marks a seat struck out
    std::array<qint16, 31> ChosenSeats{};
    qint32 CustomerId = 0;  // the reservation booked most recently in this run
};

// Back to the values at start-up (tests start from here).
void ResetReservationState();
}  // namespace nbk::reservation

namespace nbk {
using reservation::ResetReservationState;
}  // namespace nbk

// The request the reservation screens are making.
extern nbk::reservation::ReservationState Reservation;
