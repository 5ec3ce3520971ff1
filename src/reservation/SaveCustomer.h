#pragma once
#include "common/Notice.h"
#include "reservation/BookSeats.h"
#include "reservation/FareCategories.h"

#include <QString>

// What Ok on the customer details came to; the screen shows the notices, then moves the
// focus or closes.
struct CustomerSaveOutcome {
    bool saved = false;  // committed: the reservation is complete
    nbk::Notices notices;
    nbk::Focus focus = nbk::Focus::None;  // the box to correct
};

// Checks the passenger's details, computes the fare, overwrites the booking's temporary
// customer row and commits; a refused update or commit rolls the booking back. Seats given
// a category (of `categories`) are sold at its share, each recorded with its age and fare.
CustomerSaveOutcome SaveCustomerDetails(PendingBooking *booking, const QString &name, const QString &phone,
                                        const QString &age, const QString &gender,
                                        const QList<SeatCategoryChoice> &choices = {},
                                        const QList<FareCategory> &categories = {});
