#pragma once
#include "data/session/ResultSet.h"
#include "reports/ReportOutcome.h"

#include <QList>
#include <QString>
#include <optional>

namespace nbk::data {
class Class1;
}

namespace nbk::reports {

// The customer ticket: the vticket row(s) of one customer, the customer's seats and the run.
struct CustomerTicket {
    qint32 customerId = 0;
    data::ResultSet details;  // vticket; the ticket shows its first row
    data::ResultSet seats;    // one seat_no per booked seat, in seat order
    data::ResultSet run;      // runHeading() of the customer's run
    // the boarding and alighting places' Kannada names; empty where a place has none
    QString originLocal, destinationLocal;
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

// What the ticket and the manifest say of a run, one row: RUN, ROUTE, ROUTE_NAME, ROUTE_FROM
// and ROUTE_TO (the route's end places by their full names), CLASS, CLASS_NAME, DEPARTS (from
// the first stop) and VEHICLE. Empty when there is no such run.
data::ResultSet runHeading(data::Class1 &session, qint32 run);

// The conductor's manifest of one run: its heading and one line per seat held, in seat order
// (SEAT, CUSTOMERID, NAME, AGE, GENDER, BOARDS and ALIGHTS, the places by their full names,
// BOARDS_LOCAL and ALIGHTS_LOCAL their Kannada names or null).
// The seats of one stretch of the run's route (between two stops next to each other): the
// stops by their full names and Kannada names (empty when none), the seats held on it and
// the vehicle's seats free on it.
struct StretchSeats {
    QString from, fromLocal, to, toLocal;
    int held = 0;
    int free = 0;
};

struct RunManifest {
    data::ResultSet run;
    data::ResultSet lines;
    QList<StretchSeats> stretches;  // in route order
    int vehicleSeats = 0;           // 0: the vehicle is unknown
};

struct RunManifestOutcome {
    std::optional<Message> message;
    RunManifest manifest;
};

RunManifestOutcome runManifest(data::Class1 &session, const QString &typedRun);

}  // namespace nbk::reports
