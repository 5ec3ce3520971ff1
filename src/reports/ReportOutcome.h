#pragma once
#include "common/Notice.h"
#include "data/dialect/DbError.h"

#include <QString>
#include <optional>

namespace nbk::reports {

// The message box a report request ends with instead of a report.
using Message = Notice;

// A database failure while a report is read: one clear message, never a partial report.
Message databaseFailure(const data::DbException &e);

// A typed id as a whole number (blanks around allowed); nothing for any other text, so
// that only a number formatted from a number enters a statement.
std::optional<qint32> wholeNumber(const QString &typed);

// The customer id of the most recent reservation in this run (0 when none was made).
qint32 lastReservationCustomerId();

}  // namespace nbk::reports
