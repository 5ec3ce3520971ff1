#pragma once
#include "reservation/BookSeats.h"

#include <QString>

// What the customer details screen shows of the booking it will store, read-only, so the
// clerk sees the journey before saving it.
struct BookingSummary {
    QString from;     // full name (code)
    QString to;
    QString departs;  // the boarding place's date and time
    QString run;      // run and route
    QString seats;    // seat numbers
    QString fare;     // the fare Ok will store, or why it cannot be stored
};

BookingSummary SummaryOf(const PendingBooking &booking);
