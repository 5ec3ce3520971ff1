#pragma once
#include "data/session/ResultSet.h"
#include "reports/ReportOutcome.h"

#include <QString>
#include <optional>

namespace nbk::data {
class Class1;
}

namespace nbk::reports {

// The customer ticket: the vticket row(s) of one customer and the customer's seats.
struct CustomerTicket {
    qint32 customerId = 0;
    data::ResultSet details;  // vticket; the page header shows its first row
    data::ResultSet seats;    // one seat_no per booked seat, the detail lines
};

struct CustomerTicketOutcome {
    std::optional<Message> message;
    CustomerTicket ticket;
};

// The ticket of the most recent reservation of this run (mostRecent) or of the customer
// id typed.
CustomerTicketOutcome customerTicket(data::Class1 &session, bool mostRecent, const QString &typedCustomerId);

// Every ticket of one run, one vticket row each.
struct InstanceTickets {
    QString typedInstance;  // the page footer shows it as typed
    data::ResultSet rows;
};

struct InstanceTicketsOutcome {
    std::optional<Message> message;
    InstanceTickets tickets;
};

InstanceTicketsOutcome instanceTickets(data::Class1 &session, const QString &typedInstance);

}  // namespace nbk::reports
