#include "data/dialect/Numbers.h"

#include "data/dialect/DbError.h"

#include <QRegularExpression>
#include <QVariant>
#include <cmath>
#include <limits>

namespace nbk {

namespace {
[[noreturn]] void overflow() { throw data::DbException({6, QStringLiteral("Overflow")}); }

double toNumber(const QVariant &v)
{
    if (v.isNull() || !v.isValid())
        throw data::DbException({94, QStringLiteral("Invalid use of Null")});
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok) {
        const QString s = v.toString();
        if (IsNumeric(s))
            return s.trimmed().toDouble();
        throw data::DbException({13, QStringLiteral("Type mismatch")});
    }
    return d;
}
}  // namespace

qint16 CInt(double v)
{
    const double r = std::nearbyint(v);
    if (!std::isfinite(r) || r < -32768.0 || r > 32767.0)
        overflow();
    return qint16(r);
}

qint32 CLng(double v)
{
    const double r = std::nearbyint(v);
    if (!std::isfinite(r) || r < -2147483648.0 || r > 2147483647.0)
        overflow();
    return qint32(r);
}

qint16 CInt(const QVariant &v) { return CInt(toNumber(v)); }
qint32 CLng(const QVariant &v) { return CLng(toNumber(v)); }

bool IsNumeric(const QString &text)
{
    static const QRegularExpression re(
        QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?\\s*$"));
    return re.match(text).hasMatch();
}

double Val(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("^\\s*([+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?)"));
    const auto m = re.match(text);
    return m.hasMatch() ? m.captured(1).toDouble() : 0.0;
}

QString shortestDecimal(double v)
{
    if (v == std::floor(v) && std::fabs(v) < 1e15)
        return QString::number(qint64(v));
    for (int p = 1; p < 17; ++p) {
        const QString s = QString::number(v, 'g', p);
        if (s.toDouble() == v)
            return s;
    }
    return QString::number(v, 'g', 17);
}

}  // namespace nbk
