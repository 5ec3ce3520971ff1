#pragma once
#include "reports/FillReports.h"

namespace nbk::reports {

struct DayStatementData;

namespace layouts {
// The clerk's day statement: the day and login in the page header, one line per booking
// or cancellation, the totals in the report footer. Captions that the filling sets start
// as placeholders (the control's name). Its window is "DayStatementReport", beside the
// request screen "DayStatement".
report::ReportLayout DayStatement();
}  // namespace layouts

FilledReport fillDayStatement(const DayStatementData &statement);

}  // namespace nbk::reports
