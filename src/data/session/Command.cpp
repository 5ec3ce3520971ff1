#include "data/session/Command.h"

#include "data/session/Connection.h"
#include "data/dialect/DbError.h"

#include <cmath>

namespace nbk::data {

void Command::appendParameter(const QString &name, int type, int size)
{
    params_.append(Parameter{name, type, adParamInput, size, QVariant()});
}

static QVariant bindValue(const Parameter &p)
{
    const QVariant &v = p.value;
    if (!v.isValid() || v.isNull())
        return QVariant();
    switch (p.type) {
    case adtype::VarChar:
        return v.toString();
    case adtype::Integer: {
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (!ok)
            throw DbException({1722, oraText(1722, QStringLiteral("invalid number"))});
        return QVariant(qlonglong(std::nearbyint(d)));
    }
    case adtype::Numeric:
    case adtype::Double: {
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (!ok)
            throw DbException({1722, oraText(1722, QStringLiteral("invalid number"))});
        if (d == std::floor(d) && std::fabs(d) < 9.0e15)
            return QVariant(qlonglong(d));
        return QVariant(d);
    }
    default:
        return v;
    }
}

ResultSet Command::execute()
{
    if (!connection_)
        throw DbException({3709, QStringLiteral("The command has no active connection.")});
    QVariantList values;
    values.reserve(params_.size());
    for (const Parameter &p : params_)
        values.append(bindValue(p));
    return connection_->query(text_, values);
}

}  // namespace nbk::data
