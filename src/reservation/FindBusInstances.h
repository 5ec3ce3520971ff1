#pragma once
#include "common/Notice.h"
#include "common/ReservationState.h"
#include "data/session/RowTable.h"
#include "reservation/BookSeats.h"

#include <QList>
#include <QString>

// One run the clerk may choose: its entry text, its row among the run rows and the
// minutes from the run's first stop to the boarding place.
struct RunEntry {
    QString text;
    qint16 row = 0;
    qint16 offsetMinutes = 0;
};

// Where the search leaves the clerk, in the order the screen acts: show the request
// again, show the notices, then the run choice, the booking or the focus.
struct SearchOutcome {
    // -1 true (booked directly, or all rows examined), 0 false (ended with a failure)
    bool result = false;
    nbk::Notices notices;
    bool showRequest = false;   // the request screen comes back (before the notices)
    bool enableNext = false;    // ... with Next enabled
    nbk::Focus focus = nbk::Focus::None;  // ... with the focus here (after the notices)
    // runs near the wanted time for the run choice screen (never set with a booking)
    QList<RunEntry> entries;
    // the runs found (the entries' rows index them) and the boarding offset of the last
    // run examined
    nbk::data::RowTable runRows;
    qint16 boardingOffsetMinutes = 0;
    bool enquiryEnded = false;  // an enquiry that found nothing is over
    bool dateCleared = false;   // the wanted date is to be typed again
    // an exact match booked at once
    BookingOutcome booking;
    bool booked() const { return booking.booking != nullptr; }
    // an exact match whose seats the clerk picks first (request.ChooseSeats and a laid-out
    // class): nothing is booked yet; seatRequest books row seatRow of its SearchRows
    bool chooseSeats = false;
    nbk::reservation::ReservationState seatRequest;
    qint16 seatRow = 0;
};

// Finds the runs for `request`; books an exact match or
// lists the runs near the wanted time; creates a run from the route's plan when none
// exists. routeIdText may be replaced by that creation. `confirm` answers the creation's
// question. Raises DbException when the database fails.
SearchOutcome FindBusInstances(const nbk::reservation::ReservationState &request, QString &routeIdText,
                               const nbk::Confirm &confirm);
// Puts what the search found into the request the screens are making: the run rows and
// the boarding offset, and the end of an enquiry or of the typed date.
void TakeSearch(nbk::reservation::ReservationState &request, const SearchOutcome &outcome);

// Minutes from the run's first stop to its boarding place for run row `row`: the
// distance over the speed plus one stop at each place before the boarding place.
qint16 BoardingOffsetFor(const nbk::data::RowTable &rows, int row);
