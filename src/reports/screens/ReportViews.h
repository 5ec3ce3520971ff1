#pragma once
#include "reports/Layouts.h"

#include <QString>
#include <optional>

namespace nbk::reports {

struct CustomerTicket;
struct InstanceTickets;
struct SeatChartData;
struct RouteService;
struct AccidentPassengers;
struct RunManifest;
struct RefundSlipData;

// The paper of the counter's ticket printer, on which tickets, refund slips and manifests are
// laid out: an 80 mm roll unless the counter is set to A4.
Paper counterPaper();
void setCounterPaper(Paper paper);
// "a4" or "roll" (any capitals) as a paper; none for anything else.
std::optional<Paper> paperNamed(const QString &name);

// The report windows of the Reports menu: each is created on first use, stays open after
// its request screen closes and is refilled by the next request of its kind.
void showFullTicketReport(const CustomerTicket &ticket);
void showTicketReport(const InstanceTickets &tickets);
void showSeatMatrix(const SeatChartData &chart);
void showRouteDetails(const RouteService &service);
void showAccidentReport(const AccidentPassengers &passengers);
void showManifest(const RunManifest &manifest);
void showRefundSlip(const RefundSlipData &slip);
// The two fixed reports read afresh each time they are shown.
void showPassengerList();
void showTimeTable();

}  // namespace nbk::reports
