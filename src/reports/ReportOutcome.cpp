#include "reports/ReportOutcome.h"

#include "ui/prompt/Prompt.h"
#include "data/dialect/Numbers.h"
#include "common/ReservationState.h"

#include <cmath>

namespace nbk::reports {

Message databaseFailure(const data::DbException &e)
{
    return {QStringLiteral("The report could not be read from the database: ") + e.error().description.trimmed(),
            mb::Critical | mb::OKOnly, QStringLiteral("Error")};
}

std::optional<qint32> wholeNumber(const QString &typed)
{
    if (!IsNumeric(typed))
        return std::nullopt;
    const double v = Val(typed.trimmed());
    if (!std::isfinite(v) || v != std::floor(v) || std::fabs(v) > 2147483647.0)
        return std::nullopt;
    return qint32(v);
}

qint32 lastReservationCustomerId() { return reservation::MostRecentCustomerId(); }

}  // namespace nbk::reports
