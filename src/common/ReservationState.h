#pragma once
#include "data/session/RowTable.h"

#include <QDateTime>
#include <QString>
#include <array>

namespace nbk::reservation {

// One journey request as it is made: the screen that takes it owns it and hands it on
// (place choice, run choice) by value, and the procedures take it by const reference, so
// no other task or later request can change what a screen searches or books. A pending
// booking keeps its own copy.
struct ReservationState {
    bool EnquiryMode = false;
    QString JourneyDateText;     // M-D-YYYY H:M:00, no leading zeros
    QDateTime JourneyDateTime;   // wanted; after booking, departure at the boarding place
    qint16 SeatsRequested = 0;
    qint16 ClassIndex = 0;
    bool AllowInstanceChoice = false;
    // the clerk picks the seats on the run's plan (when its class has a layout) before
    // an exact match is booked; procedures driven without a screen book the lowest free
    bool ChooseSeats = false;
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
    qint32 CustomerId = 0;  // the customer id this request booked
};

// The customer id of the reservation completed (committed) most recently in this run of
// the client, 0 when none: Print Most Recent Ticket reads it from any task, so it alone is
// process-wide.
qint32 MostRecentCustomerId();
void SetMostRecentCustomerId(qint32 customerId);

// Back to the values at start-up (tests start from here).
void ResetReservationState();
}  // namespace nbk::reservation

namespace nbk {
using reservation::ResetReservationState;
}  // namespace nbk
