#pragma once
#include "reports/engine/ReportLayout.h"

// The report designs as they stand before the screens fill them at run time. Captions
// that the filling replaces start as placeholders (the control's name).
namespace nbk::reports::layouts {

report::ReportLayout TicketReport();
report::ReportLayout FullTicketReport();
report::ReportLayout SeatMatrix();
report::ReportLayout RouteDetails();
report::ReportLayout AR();
report::ReportLayout DataReport1();
report::ReportLayout TimeTable();

}  // namespace nbk::reports::layouts
