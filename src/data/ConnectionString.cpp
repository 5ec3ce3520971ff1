#include "data/ConnectionString.h"

namespace nbk::data {

ConnectionString ConnectionString::parse(const QString &text)
{
    ConnectionString cs;
    cs.text_ = text;
    int i = 0;
    const int n = int(text.size());
    while (i < n) {
        const int eq = int(text.indexOf(QLatin1Char('='), i));
        if (eq < 0)
            break;
        const QString key = text.mid(i, eq - i).trimmed().toUpper();
        int j = eq + 1;
        QString value;
        if (j < n && text[j] == QLatin1Char('{')) {
            const int close = int(text.indexOf(QLatin1Char('}'), j + 1));
            const int end = close < 0 ? n : close;
            value = text.mid(j + 1, end - j - 1);
            j = close < 0 ? n : close + 1;
            while (j < n && text[j] != QLatin1Char(';'))
                ++j;
        } else {
            const int semi = int(text.indexOf(QLatin1Char(';'), j));
            const int end = semi < 0 ? n : semi;
            value = text.mid(j, end - j);
            j = end;
        }
        if (!key.isEmpty() && !cs.values_.contains(key))
            cs.values_.insert(key, value);
        i = j + 1;
    }
    return cs;
}

QString ConnectionString::value(const QString &key) const { return values_.value(key.toUpper()); }
bool ConnectionString::has(const QString &key) const { return values_.contains(key.toUpper()); }

}  // namespace nbk::data
