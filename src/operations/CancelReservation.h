#pragma once
#include "common/Notice.h"

#include <QString>
#include <optional>

// What a cancellation came to; the screen shows the notices, then moves the focus or closes.
struct CancelOutcome {
    nbk::Notices notices;
    nbk::Focus focus = nbk::Focus::None;  // CustomerId: the id as typed names no customer
    bool closeWindow = false;  // a whole cancellation is done
    int cancelled = 0;         // seats given back, once committed
};

// Cancels `seats` seats (0: all) of the reservation whose id is typed in `cid`, in one
// transaction; `confirm` asks the clerk before anything changes.
CancelOutcome CancelReservation(const QString &cid, qint16 seats, const nbk::Confirm &confirm);

// The seats the reservation typed in `cid` holds; nothing for an id that holds none (or
// while another task's transaction is open on the session).
std::optional<int> SeatsHeld(const QString &cid);
