#include "reports/screens/ReportViews.h"

#include "data/session/Class1.h"
#include "reports/FillReports.h"
#include "reports/ServiceQueries.h"
#include "reports/TicketQueries.h"
#include "reports/screens/ReportWindow.h"
#include "ui/MsgBox.h"

namespace nbk::reports {

namespace {

void show(const FilledReport &r) { report::ReportWindow::show(r.windowName, r.layout, r.data); }

void showFixed(FixedReportOutcome (*read)(data::Class1 &), FilledReport (*fill)(const data::ResultSet &))
{
    if (!DbSession)
        return;
    const FixedReportOutcome o = read(*DbSession);
    if (o.message)
        ui::MsgBox(o.message->text, o.message->style, o.message->title);
    else
        show(fill(o.rows));
}

}  // namespace

void showFullTicketReport(const CustomerTicket &ticket) { show(fillFullTicketReport(ticket)); }
void showTicketReport(const InstanceTickets &tickets) { show(fillTicketReport(tickets)); }
void showSeatMatrix(const SeatChartData &chart) { show(fillSeatMatrix(chart)); }
void showRouteDetails(const RouteService &service) { show(fillRouteDetails(service)); }
void showAccidentReport(const AccidentPassengers &passengers) { show(fillAccidentReport(passengers)); }
void showManifest(const RunManifest &manifest) { show(fillManifest(manifest)); }
void showRefundSlip(const RefundSlipData &slip) { show(fillRefundSlip(slip)); }
void showPassengerList() { showFixed(&passengerList, &fillPassengerList); }
void showTimeTable() { showFixed(&timeTable, &fillTimeTable); }

}  // namespace nbk::reports
