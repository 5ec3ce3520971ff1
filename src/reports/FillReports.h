#pragma once
#include "reports/engine/ReportData.h"
#include "reports/Layouts.h"
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
struct RunManifest;
struct RefundSlipData;

// A design filled for one request: captions and field bindings set, and its rows.
struct FilledReport {
    QString windowName;  // the report window it is shown in
    report::ReportLayout layout;
    report::ReportData data;
};

// The passenger's ticket, every field named, on the counter's roll unless A4 is asked for.
FilledReport fillFullTicketReport(const CustomerTicket &ticket, Paper paper = Paper::Roll);
// The refund slip of a cancellation, on the roll unless A4 is asked for.
FilledReport fillRefundSlip(const RefundSlipData &slip, Paper paper = Paper::Roll);
FilledReport fillTicketReport(const InstanceTickets &tickets);
FilledReport fillSeatMatrix(const SeatChartData &chart);
FilledReport fillRouteDetails(const RouteService &service);
FilledReport fillAccidentReport(const AccidentPassengers &passengers);
FilledReport fillPassengerList(const data::ResultSet &rows);
FilledReport fillTimeTable(const data::ResultSet &rows);
// The conductor's manifest of one run, on the counter's roll or on A4.
FilledReport fillManifest(const RunManifest &manifest, Paper paper);

// What the customer ticket's QR code holds.
QString ticketCode(const CustomerTicket &ticket);

}  // namespace nbk::reports
