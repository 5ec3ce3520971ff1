#pragma once
#include "reports/engine/ReportData.h"
#include "reports/engine/ReportLayout.h"

#include <QString>

namespace nbk::data {
class ResultSet;
}

namespace nbk::reports {

struct CustomerTicket;
struct InstanceTickets;
struct SeatChartData;
struct RouteService;
struct AccidentPassengers;

// A design filled for one request: captions and field bindings set, and its rows.
struct FilledReport {
    QString windowName;  // the report window it is shown in
    report::ReportLayout layout;
    report::ReportData data;
};

FilledReport fillFullTicketReport(const CustomerTicket &ticket);
FilledReport fillTicketReport(const InstanceTickets &tickets);
FilledReport fillSeatMatrix(const SeatChartData &chart);
FilledReport fillRouteDetails(const RouteService &service);
FilledReport fillAccidentReport(const AccidentPassengers &passengers);
FilledReport fillPassengerList(const data::ResultSet &rows);
FilledReport fillTimeTable(const data::ResultSet &rows);

// What the customer ticket's QR code holds.
QString ticketCode(const CustomerTicket &ticket);

}  // namespace nbk::reports
