#pragma once
#include "reports/DayStatementQueries.h"
#include "reports/ReportOutcome.h"

#include <optional>

namespace nbk::data {
class Class1;
}

namespace nbk::reports {

// What a refund slip says of one cancellation: the cancellation as the trail keeps it and
// the slab its charge came from.
struct RefundSlipData {
    StatementLine cancellation;
    std::optional<double> slabFrom;  // hours before departure the slab starts at; none: past the last slab or no charges
    double fare() const { return cancellation.refunded + cancellation.retained; }
    bool charged() const { return cancellation.share >= 0; }
};

struct RefundSlipOutcome {
    std::optional<Message> message;
    RefundSlipData slip;
};

// The slip of the latest cancellation of the booking typed: a clerk's own cancellations, or
// any login's for the supervisor. Refused while this session's own task is pending.
RefundSlipOutcome refundSlip(data::Class1 &session, const QString &typedCustomerId);

}  // namespace nbk::reports
