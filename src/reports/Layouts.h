#pragma once
#include "reports/engine/ReportLayout.h"

namespace nbk::reports {
// The paper a ticket or a manifest is printed on: the counter's 80 mm roll or an A4 sheet.
enum class Paper { Roll, A4 };
}

// The report designs as they stand before the screens fill them at run time. Captions
// that the filling replaces start as placeholders (the control's name).
namespace nbk::reports::layouts {

// Where the seat chart's stop columns stand (twips from the body's left edge): between the
// seat numbers and the customer column, which keeps to the body's right edge.
namespace seatchart {
constexpr int kSeatWidth = 450;
constexpr int kStopsLeft = 600;
constexpr int kHoldersWidth = 1500;
constexpr int kHoldersGap = 150;
constexpr int kNamesTop = 576;
constexpr int kMinPitch = 450;  // a stop's column, narrowest upright
}  // namespace seatchart

report::ReportLayout TicketReport();
report::ReportLayout FullTicketReport(Paper paper = Paper::Roll);
// What a cancellation gave back, for the passenger.
report::ReportLayout RefundSlip(Paper paper = Paper::Roll);
report::ReportLayout SeatMatrix();
report::ReportLayout RouteDetails();
report::ReportLayout AR();
report::ReportLayout DataReport1();
report::ReportLayout TimeTable();
// The conductor's manifest, with room for the seats of this many stretches.
report::ReportLayout Manifest(Paper paper, int stretches = 0);

}  // namespace nbk::reports::layouts
