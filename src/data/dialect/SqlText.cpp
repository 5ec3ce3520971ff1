#include "data/dialect/SqlText.h"

namespace nbk::data {

QString sqlText(const QString &typed)
{
    QString out = typed;
    out.remove(QChar(0));
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return out;
}

}  // namespace nbk::data
