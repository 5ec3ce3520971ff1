#include "data/engines/ConnectionString.h"

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
            // up to the first "}" that is not doubled
            ++j;
            while (j < n) {
                if (text[j] == QLatin1Char('}')) {
                    if (j + 1 < n && text[j + 1] == QLatin1Char('}')) {
                        value += QLatin1Char('}');
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                value += text[j++];
            }
            while (j < n && text[j] != QLatin1Char(';'))
                ++j;
        } else {
            const int semi = int(text.indexOf(QLatin1Char(';'), j));
            const int end = semi < 0 ? n : semi;
            value = text.mid(j, end - j);
            j = end;
        }
        if (!key.isEmpty())
            cs.keys_ << key;
        if (!key.isEmpty() && !cs.values_.contains(key))
            cs.values_.insert(key, value);
        i = j + 1;
    }
    return cs;
}

QString ConnectionString::quoteValue(const QString &value)
{
    const bool plain = !value.contains(QLatin1Char(';')) && !value.contains(QLatin1Char('{'))
                       && !value.contains(QLatin1Char('}')) && value.trimmed() == value;
    if (plain)
        return value;
    QString v = value;
    v.replace(QLatin1Char('}'), QLatin1String("}}"));
    return QLatin1Char('{') + v + QLatin1Char('}');
}

QString ConnectionString::withoutPassword() const
{
    if (!has(QStringLiteral("PWD")))
        return text_;
    QString out;
    // the pairs in their written order, the password's value masked
    int i = 0;
    const int n = int(text_.size());
    while (i < n) {
        const int eq = int(text_.indexOf(QLatin1Char('='), i));
        if (eq < 0) {
            out += text_.mid(i);
            break;
        }
        const QString key = text_.mid(i, eq - i);
        int j = eq + 1;
        if (j < n && text_[j] == QLatin1Char('{')) {
            ++j;
            while (j < n) {
                if (text_[j] == QLatin1Char('}')) {
                    if (j + 1 < n && text_[j + 1] == QLatin1Char('}')) {
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                ++j;
            }
        }
        const int semi = int(text_.indexOf(QLatin1Char(';'), j));
        const int end = semi < 0 ? n : semi;
        const QString value = key.trimmed().compare(QLatin1String("PWD"), Qt::CaseInsensitive) == 0
                                  ? QStringLiteral("********")
                                  : text_.mid(eq + 1, end - eq - 1);
        out += key + QLatin1Char('=') + value;
        if (semi >= 0)
            out += QLatin1Char(';');
        i = end + 1;
    }
    return out;
}

QString ConnectionString::value(const QString &key) const { return values_.value(key.toUpper()); }
bool ConnectionString::has(const QString &key) const { return values_.contains(key.toUpper()); }

}  // namespace nbk::data
