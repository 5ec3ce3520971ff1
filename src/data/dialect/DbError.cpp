#include "data/dialect/DbError.h"

#include <QRegularExpression>

namespace nbk::data {

QString oraText(int number, const QString &message)
{
    return QStringLiteral("ORA-%1: %2").arg(number, 5, 10, QLatin1Char('0')).arg(message);
}

int oraNumberIn(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("ORA-(\\d{5})"));
    const auto m = re.match(text);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

}  // namespace nbk::data
