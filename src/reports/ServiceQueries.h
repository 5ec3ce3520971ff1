#pragma once
#include "data/session/ResultSet.h"
#include "reports/ReportOutcome.h"

#include <QString>
#include <optional>

namespace nbk::data {
class Class1;
}

namespace nbk::reports {

// The runs serving a route, with the route's stop list for the page header.
struct RouteService {
    QString typedRoute;  // shown as typed
    QString stopList;
    data::ResultSet runs;  // instance_id, dep_date, km
    QString name;          // the route's stored name; empty: none
};

// The description's notices come first; then the message, else the report (unless told).
struct RouteServiceOutcome {
    Notices notices;  // the route description's
    std::optional<Message> message;
    bool told = false;  // the number typed is none: the description's notice is all
    RouteService service;
};

RouteServiceOutcome routeService(data::Class1 &session, const QString &typedRoute);

// The passengers recorded for a vehicle's runs.
struct AccidentPassengers {
    QString typedRegistration;  // shown as typed, blanks kept
    QString instance;           // the run of the first row
    data::ResultSet rows;
};

struct AccidentOutcome {
    std::optional<Message> message;
    AccidentPassengers passengers;
};

AccidentOutcome accidentPassengers(data::Class1 &session, const QString &typedRegistration);

// The two fixed reports of the Reports menu, read through the session's connection.
struct FixedReportOutcome {
    std::optional<Message> message;
    data::ResultSet rows;
};

FixedReportOutcome passengerList(data::Class1 &session);
FixedReportOutcome timeTable(data::Class1 &session);

}  // namespace nbk::reports
