#include "reports/engine/ReportData.h"

#include "data/dialect/Numbers.h"
#include "data/dialect/OracleDate.h"
#include "data/session/ResultSet.h"
#include "data/session/RowTable.h"
#include "common/PeopleDates.h"

#include <QLocale>

namespace nbk::report {

ReportData::ReportData(QStringList c, std::vector<QVariantList> r)
    : columns(std::move(c)), rows(std::move(r))
{
}

ReportData ReportData::fromResultSet(const nbk::data::ResultSet &rs)
{
    ReportData d;
    if (!rs.isOpen())
        return d;
    for (int i = 0; i < rs.fieldCount(); ++i)
        d.columns << rs.fieldName(i);
    // the rows are shared, not copied: a long list is read once
    d.rows = rs.allRows();
    return d;
}

ReportData ReportData::fromRowTable(const nbk::data::RowTable &table)
{
    ReportData d;
    d.columns = table.fieldNames();
    d.rows.reserve(size_t(table.rowCount()));
    for (int r = 0; r < table.rowCount(); ++r)
        d.rows.push_back(table.row(r));
    return d;
}

int ReportData::columnIndex(const QString &name) const
{
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QVariant ReportData::value(int row, const QString &column) const
{
    const int c = columnIndex(column);
    if (c < 0 || row < 0 || row >= rowCount())
        return {};
    return rows[size_t(row)].value(c);
}

namespace {

const QLocale &english()
{
    static const QLocale l(QLocale::English, QLocale::UnitedStates);
    return l;
}

QString namedFormat(const QString &format)
{
    const QString f = format.trimmed().toLower();
    // the dates day first with the month in letters, as every other date a person reads
    if (f == u"long date")
        return QStringLiteral("dddd d mmm yyyy");
    if (f == u"medium date" || f == u"short date")
        return QStringLiteral("d mmm yyyy");
    if (f == u"long time")
        return QStringLiteral("h:nn:ss AM/PM");
    if (f == u"medium time")
        return QStringLiteral("hh:nn AM/PM");
    if (f == u"short time")
        return QStringLiteral("hh:nn");
    return {};
}

bool isDateFormat(const QString &format)
{
    if (format.trimmed().compare(u"general date", Qt::CaseInsensitive) == 0
        || !namedFormat(format).isEmpty())
        return true;
    bool quoted = false;
    for (QChar ch : format) {
        if (ch == u'"')
            quoted = !quoted;
        else if (!quoted && QStringLiteral("dmyhnsDMYHNS").contains(ch))
            return true;
    }
    return false;
}

int runLength(const QString &f, int i)
{
    const QChar c = f[i].toLower();
    int n = 1;
    while (i + n < f.size() && f[i + n].toLower() == c)
        ++n;
    return n;
}

QString twoDigits(int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); }

}  // namespace

QString formatDateTime(const QDateTime &dt, const QString &format)
{
    if (!dt.isValid())
        return {};
    QString f = format;
    if (f.trimmed().isEmpty() || f.trimmed().compare(u"general date", Qt::CaseInsensitive) == 0)
        return dt.time() == QTime(0, 0) ? nbk::peopleDate(dt.date()) : nbk::peopleDateTime(dt);
    if (const QString named = namedFormat(f); !named.isEmpty())
        f = named;

    const QDate d = dt.date();
    const QTime t = dt.time();
    const bool twelveHour = f.contains(QStringLiteral("AM/PM"), Qt::CaseInsensitive)
                            || f.contains(QStringLiteral("A/P"), Qt::CaseInsensitive);
    QString out;
    bool afterHour = false;  // "m" right after an hour means minutes, as in "h:mm"
    for (int i = 0; i < f.size();) {
        const QChar c = f[i];
        const QChar lc = c.toLower();
        if (c == u'"') {
            const int end = f.indexOf(u'"', i + 1);
            out += f.mid(i + 1, end < 0 ? -1 : end - i - 1);
            i = end < 0 ? int(f.size()) : end + 1;
            continue;
        }
        if (c == u'\\' && i + 1 < f.size()) {
            out += f[i + 1];
            i += 2;
            continue;
        }
        if (f.mid(i, 5).compare(u"AM/PM", Qt::CaseInsensitive) == 0) {
            const bool am = t.hour() < 12;
            const QString s = am ? QStringLiteral("AM") : QStringLiteral("PM");
            out += f[i].isLower() ? s.toLower() : s;
            i += 5;
            continue;
        }
        if (f.mid(i, 3).compare(u"A/P", Qt::CaseInsensitive) == 0) {
            const QString s = t.hour() < 12 ? QStringLiteral("A") : QStringLiteral("P");
            out += f[i].isLower() ? s.toLower() : s;
            i += 3;
            continue;
        }
        if (QStringLiteral("dmyhns").contains(lc)) {
            const int n = runLength(f, i);
            switch (lc.unicode()) {
            case 'd':
                out += n == 1 ? QString::number(d.day())
                     : n == 2 ? twoDigits(d.day())
                     : n == 3 ? english().dayName(d.dayOfWeek(), QLocale::ShortFormat)
                              : english().dayName(d.dayOfWeek(), QLocale::LongFormat);
                break;
            case 'm':
                if (afterHour && n <= 2)
                    out += n == 1 ? QString::number(t.minute()) : twoDigits(t.minute());
                else
                    out += n == 1 ? QString::number(d.month())
                         : n == 2 ? twoDigits(d.month())
                         : n == 3 ? english().monthName(d.month(), QLocale::ShortFormat)
                                  : english().monthName(d.month(), QLocale::LongFormat);
                break;
            case 'y':
                out += n <= 2 ? twoDigits(d.year() % 100) : QString::number(d.year());
                break;
            case 'h': {
                int h = t.hour();
                if (twelveHour) {
                    h %= 12;
                    if (h == 0)
                        h = 12;
                }
                out += n == 1 ? QString::number(h) : twoDigits(h);
                break;
            }
            case 'n':
                out += n == 1 ? QString::number(t.minute()) : twoDigits(t.minute());
                break;
            case 's':
                out += n == 1 ? QString::number(t.second()) : twoDigits(t.second());
                break;
            }
            afterHour = lc == u'h';
            i += n;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

namespace {
QString shown(QString text)
{
    if (text.size() > kMaxShownChars) {
        text.truncate(kMaxShownChars);
        if (text.back().isHighSurrogate())
            text.chop(1);
        text += QChar(0x2026);
        text.squeeze();
    }
    return text;
}
}  // namespace

QString formatValue(const QVariant &value, const QString &format)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        return formatDateTime(value.toDateTime(), format);
    case QMetaType::QDate:
        return formatDateTime(value.toDate().startOfDay(), format);
    case QMetaType::QTime:
        return formatDateTime(QDateTime(QDate(1899, 12, 30), value.toTime()), format);
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Double:
    case QMetaType::Float:
        if (!format.isEmpty() && isDateFormat(format))
            return formatDateTime(nbk::data::fromDayNumber(value.toDouble()), format);
        return nbk::shortestDecimal(value.toDouble());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
        if (!format.isEmpty() && isDateFormat(format))
            return formatDateTime(nbk::data::fromDayNumber(value.toDouble()), format);
        return value.toString();
    default:
        return shown(value.toString());
    }
}

}  // namespace nbk::report
