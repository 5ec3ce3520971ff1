#pragma once
#include "reports/engine/ReportLayout.h"

namespace nbk::reports {
// The paper a ticket or a manifest is printed on: the counter's 80 mm roll or an A4 sheet.
enum class Paper { Roll, A4 };
}

// The report designs as they stand before the screens fill them at run time. Captions
// that the filling replaces start as placeholders (the control's name).
namespace nbk::reports::layouts {

report::ReportLayout TicketReport();
report::ReportLayout FullTicketReport(Paper paper = Paper::Roll);
report::ReportLayout SeatMatrix();
report::ReportLayout RouteDetails();
report::ReportLayout AR();
report::ReportLayout DataReport1();
report::ReportLayout TimeTable();
report::ReportLayout Manifest();

}  // namespace nbk::reports::layouts
