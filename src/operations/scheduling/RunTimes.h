#pragma once
#include <QDateTime>
#include <QString>

namespace nbk {

// Run times are wall-clock values: compared and moved by plain calendar arithmetic,
// without time-zone or daylight-saving shifts (a run leaving 01:50 boards 20 minutes on at
// 02:10 whatever zone the counter is in).
inline QDateTime wallClock(const QDateTime &d) { return QDateTime(d.date(), d.time(), Qt::UTC); }
inline QDateTime wallClock(const QDate &d, const QTime &t) { return QDateTime(d, t, Qt::UTC); }

// A date-time text "DATE TIME" read as a wall-clock value (no zone applied, so no hour of
// a daylight-saving change is skipped or doubled); invalid when it does not read.
inline QDateTime wallClockFromText(const QString &text, const QString &dateFormat, const QString &timeFormat)
{
    const int blank = text.indexOf(QLatin1Char(' '));
    if (blank < 0)
        return QDateTime();
    const QDate d = QDate::fromString(text.left(blank), dateFormat);
    const QTime t = QTime::fromString(text.mid(blank + 1).trimmed(), timeFormat);
    if (!d.isValid() || !t.isValid())
        return QDateTime();
    return QDateTime(d, t, Qt::UTC);
}

// The run rows' departure text, month first: mm-dd-yyyy hh24:mi:ss.
inline QDateTime runDeparture(const QString &text)
{
    return wallClockFromText(text, QStringLiteral("MM-dd-yyyy"), QStringLiteral("HH:mm:ss"));
}

// The speed the scheduler assumes for a route without a travel time (about 50 km/h),
// written as the plans have always had it, so that a run it created is found leaving at
// the time it was created for.
constexpr double kDefaultSpeedKmPerMinute = 0.83334;

}  // namespace nbk
