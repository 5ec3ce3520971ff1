#include "reports/screens/ReportViews.h"

#include "data/session/Class1.h"
#include "reports/FillReports.h"
#include "reports/ServiceQueries.h"
#include "reports/TicketQueries.h"
#include "reports/screens/ReportWindow.h"
#include "ui/MsgBox.h"

namespace nbk::reports {

namespace {

Paper &paperSetting()
{
    static Paper paper = Paper::Roll;
    return paper;
}

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

Paper counterPaper() { return paperSetting(); }
void setCounterPaper(Paper paper) { paperSetting() = paper; }

std::optional<Paper> paperNamed(const QString &name)
{
    if (name.compare(QLatin1String("a4"), Qt::CaseInsensitive) == 0)
        return Paper::A4;
    if (name.compare(QLatin1String("roll"), Qt::CaseInsensitive) == 0)
        return Paper::Roll;
    return std::nullopt;
}

void showFullTicketReport(const CustomerTicket &ticket) { show(fillFullTicketReport(ticket, counterPaper())); }
void showTicketReport(const InstanceTickets &tickets) { show(fillTicketReport(tickets)); }
void showSeatMatrix(const SeatChartData &chart) { show(fillSeatMatrix(chart)); }
void showRouteDetails(const RouteService &service) { show(fillRouteDetails(service)); }
void showAccidentReport(const AccidentPassengers &passengers) { show(fillAccidentReport(passengers)); }
void showManifest(const RunManifest &manifest) { show(fillManifest(manifest, counterPaper())); }
void showRefundSlip(const RefundSlipData &slip) { show(fillRefundSlip(slip, counterPaper())); }
void showPassengerList() { showFixed(&passengerList, &fillPassengerList); }
void showTimeTable() { showFixed(&timeTable, &fillTimeTable); }

}  // namespace nbk::reports
