#pragma once
#include "reports/ReportOutcome.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>
#include <vector>

namespace nbk::data {
class Class1;
}

namespace nbk::reports {

// The notes and coins a counter's cash is counted in, largest first.
inline constexpr int kDenominations[] = {2000, 500, 200, 100, 50, 20, 10, 5, 2, 1};

// One denomination counted: pieces of a note or coin.
struct CashCount {
    int denomination = 0;
    int pieces = 0;
};

// A shift closed, as the trail keeps it.
struct ShiftCloseRow {
    QString login;
    QDateTime at;
    double expected = 0;  // taken less refunded since the login's last close that day
    double counted = 0;
    double difference = 0;  // counted less expected
    QString denominations;  // "500x3 100x2"
};

struct ShiftCloseOutcome {
    std::optional<Message> message;  // shown in every case: the close, a refusal or a failure
    bool closed = false;
    ShiftCloseRow close;
};

// Closes the session's own shift with the cash counted: what the trail says it took since
// its last close that day is set against it, and the close goes into the trail once the
// clerk agrees (`confirm` shows expected, counted and the difference).
ShiftCloseOutcome closeShift(data::Class1 &session, const QList<CashCount> &counts, const Confirm &confirm);

// The closes of one day the session may read: its own, or every login's for the supervisor.
std::vector<ShiftCloseRow> shiftCloses(data::Class1 &session, const QDate &day);

}  // namespace nbk::reports
