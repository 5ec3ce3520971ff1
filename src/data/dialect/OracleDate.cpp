#include "data/dialect/OracleDate.h"

#include <QLocale>
#include <cmath>

namespace nbk::data {

namespace {
const QDateTime &epoch()
{
    static const QDateTime e(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
    return e;
}

// Format elements, longest first so that HH24 wins over HH.
const char *const kElements[] = {"YYYY", "RRRR", "MONTH", "HH24", "HH12", "YY", "RR", "MON",
                                 "MM", "DAY", "DD", "DY", "HH", "MI", "SS", "AM", "PM", "D"};

QString matchElement(const QString &fmt, int i)
{
    for (const char *e : kElements) {
        const QLatin1String el(e);
        if (fmt.mid(i, el.size()).compare(el, Qt::CaseInsensitive) == 0)
            return QString(el);
    }
    return {};
}

// Oracle spells names in the letter case of the element: MON -> JAN, Mon -> Jan, mon -> jan.
QString caseLike(const QString &sample, const QString &word)
{
    if (sample.size() >= 2 && sample[0].isUpper() && sample[1].isUpper())
        return word.toUpper();
    if (sample[0].isUpper())
        return word.left(1).toUpper() + word.mid(1).toLower();
    return word.toLower();
}

QString pad(int v, int width) { return QStringLiteral("%1").arg(v, width, 10, QLatin1Char('0')); }
}  // namespace

double toDayNumber(const QDateTime &dt)
{
    const QDateTime utc(dt.date(), dt.time(), Qt::UTC);
    return double(epoch().msecsTo(utc)) / 86400000.0;
}

QDateTime fromDayNumber(double days)
{
    const qint64 secs = qint64(std::llround(days * 86400.0));
    const QDateTime utc = epoch().addSecs(secs);
    return QDateTime(utc.date(), utc.time());
}

QString formatOracleDate(const QDateTime &dt, const QString &format)
{
    const QDate d = dt.date();
    const QTime t = dt.time();
    const QLocale c = QLocale::c();
    QString out;
    for (int i = 0; i < format.size();) {
        if (format[i] == QLatin1Char('"')) {
            const int end = int(format.indexOf(QLatin1Char('"'), i + 1));
            const int stop = end < 0 ? int(format.size()) : end;
            out += format.mid(i + 1, stop - i - 1);
            i = stop + 1;
            continue;
        }
        const QString el = matchElement(format, i);
        if (el.isEmpty()) {
            out += format[i];
            ++i;
            continue;
        }
        const QString sample = format.mid(i, el.size());
        if (el == "YYYY" || el == "RRRR")
            out += pad(d.year(), 4);
        else if (el == "YY" || el == "RR")
            out += pad(d.year() % 100, 2);
        else if (el == "MM")
            out += pad(d.month(), 2);
        else if (el == "MON")
            out += caseLike(sample, c.monthName(d.month(), QLocale::ShortFormat));
        else if (el == "MONTH")
            out += caseLike(sample, c.monthName(d.month(), QLocale::LongFormat).leftJustified(9));
        else if (el == "DD")
            out += pad(d.day(), 2);
        else if (el == "DY")
            out += caseLike(sample, c.dayName(d.dayOfWeek(), QLocale::ShortFormat));
        else if (el == "DAY")
            out += caseLike(sample, c.dayName(d.dayOfWeek(), QLocale::LongFormat).leftJustified(9));
        else if (el == "D")
            out += QString::number(d.dayOfWeek() % 7 + 1);  // Sunday = 1, as Oracle in America
        else if (el == "HH24")
            out += pad(t.hour(), 2);
        else if (el == "HH" || el == "HH12")
            out += pad(t.hour() % 12 == 0 ? 12 : t.hour() % 12, 2);
        else if (el == "MI")
            out += pad(t.minute(), 2);
        else if (el == "SS")
            out += pad(t.second(), 2);
        else if (el == "AM" || el == "PM")
            out += caseLike(sample, t.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
        i += int(el.size());
    }
    return out;
}

std::optional<QDateTime> parseOracleDate(const QString &text, const QString &format,
                                         int *oraNumber, QString *message)
{
    auto failWith = [&](int n, const char *m) -> std::optional<QDateTime> {
        if (oraNumber)
            *oraNumber = n;
        if (message)
            *message = QString::fromLatin1(m);
        return std::nullopt;
    };
    const QDate today = QDate::currentDate();
    int year = today.year(), month = today.month(), day = 1;
    int hour = 0, minute = 0, second = 0;
    bool pm = false, twelveHour = false;
    int p = 0;
    const int n = int(text.size());
    auto skipSpaces = [&] {
        while (p < n && text[p].isSpace())
            ++p;
    };
    auto readNumber = [&](int maxDigits, int &value) -> bool {
        skipSpaces();
        int start = p;
        bool negative = false;
        if (p < n && (text[p] == QLatin1Char('-') || text[p] == QLatin1Char('+')) && maxDigits == 4) {
            negative = text[p] == QLatin1Char('-');
            ++p;
            start = p;
        }
        while (p < n && p - start < maxDigits && text[p].isDigit())
            ++p;
        if (p == start)
            return false;
        value = text.mid(start, p - start).toInt();
        if (negative)
            value = -value;
        return true;
    };
    const QLocale c = QLocale::c();
    for (int i = 0; i < format.size();) {
        if (p >= n)
            break;  // elements the text does not reach keep their defaults
        if (format[i] == QLatin1Char('"')) {
            const int end = int(format.indexOf(QLatin1Char('"'), i + 1));
            const int stop = end < 0 ? int(format.size()) : end;
            p += stop - i - 1;
            i = stop + 1;
            continue;
        }
        const QString el = matchElement(format, i);
        if (el.isEmpty()) {
            // a separator in the format matches one separator (or blanks) in the text
            if (format[i].isSpace()) {
                skipSpaces();
            } else if (p < n && !text[p].isLetterOrNumber()) {
                ++p;
            } else if (p < n && text[p].isLetterOrNumber()) {
                return failWith(1861, "literal does not match format string");
            }
            ++i;
            continue;
        }
        bool ok = true;
        int v = 0;
        if (el == "YYYY" || el == "RRRR") {
            ok = readNumber(4, v);
            year = v;
        } else if (el == "YY" || el == "RR") {
            ok = readNumber(2, v);
            year = (el == "RR" && v >= 50) ? 1900 + v : 2000 + v;
        } else if (el == "MM") {
            ok = readNumber(2, v);
            month = v;
            if (ok && (v < 1 || v > 12))
                return failWith(1843, "not a valid month");
        } else if (el == "MON" || el == "MONTH") {
            skipSpaces();
            int found = 0;
            for (int m = 1; m <= 12 && !found; ++m) {
                for (auto f : {QLocale::LongFormat, QLocale::ShortFormat}) {
                    const QString name = c.monthName(m, f);
                    if (text.mid(p, name.size()).compare(name, Qt::CaseInsensitive) == 0) {
                        found = m;
                        p += int(name.size());
                        break;
                    }
                }
            }
            if (!found)
                return failWith(1843, "not a valid month");
            month = found;
        } else if (el == "DD") {
            ok = readNumber(2, v);
            day = v;
        } else if (el == "HH24") {
            ok = readNumber(2, v);
            hour = v;
            if (ok && (v < 0 || v > 23))
                return failWith(1850, "hour must be between 0 and 23");
        } else if (el == "HH" || el == "HH12") {
            ok = readNumber(2, v);
            hour = v;
            twelveHour = true;
            if (ok && (v < 1 || v > 12))
                return failWith(1849, "hour must be between 1 and 12");
        } else if (el == "MI") {
            ok = readNumber(2, v);
            minute = v;
            if (ok && v > 59)
                return failWith(1851, "minutes must be between 0 and 59");
        } else if (el == "SS") {
            ok = readNumber(2, v);
            second = v;
            if (ok && v > 59)
                return failWith(1852, "seconds must be between 0 and 59");
        } else if (el == "AM" || el == "PM") {
            skipSpaces();
            const QString m = text.mid(p, 2).toUpper();
            if (m != QLatin1String("AM") && m != QLatin1String("PM"))
                return failWith(1855, "AM/A.M. or PM/P.M. required");
            pm = m == QLatin1String("PM");
            p += 2;
        } else {
            ok = false;  // day names are not read back
        }
        if (!ok)
            return failWith(1858, "a non-numeric character was found where a numeric was expected");
        i += int(el.size());
    }
    skipSpaces();
    if (p < n)
        return failWith(1830, "date format picture ends before converting entire input string");
    if (twelveHour)
        hour = (hour % 12) + (pm ? 12 : 0);
    if (year == 0 || year < -4712 || year > 9999)
        return failWith(1841, "(full) year must be between -4713 and +9999, and not be 0");
    const QDate date(year, month, 1);
    if (day < 1 || day > date.daysInMonth())
        return failWith(1847, "day of month must be between 1 and last day of month");
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second));
}

}  // namespace nbk::data
