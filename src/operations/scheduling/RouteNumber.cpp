#include "operations/scheduling/RouteNumber.h"

#include "data/dialect/Numbers.h"

#include <cmath>

std::optional<QString> RouteNumberLiteral(const QString &typed)
{
    if (!nbk::IsNumeric(typed))
        return std::nullopt;
    const double v = nbk::Val(typed);
    if (!std::isfinite(v))
        return std::nullopt;
    return nbk::shortestDecimal(v);
}
