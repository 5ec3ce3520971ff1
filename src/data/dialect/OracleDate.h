#pragma once
#include <QDateTime>
#include <QString>
#include <optional>

namespace nbk::data {

// Dates as the embedded engine stores them: days since 30 December 1899 (a date-time is
// a fractional day), so that date - date is a number of days and date + n/1440 adds n
// minutes. Date-times are naive (no time zone).
double toDayNumber(const QDateTime &dt);
QDateTime fromDayNumber(double days);  // rounded to the second

// Oracle's TO_CHAR(date, format) for the format elements the client uses.
QString formatOracleDate(const QDateTime &dt, const QString &format);

// Oracle's TO_DATE(text, format). On failure returns nullopt and sets oraNumber/message.
std::optional<QDateTime> parseOracleDate(const QString &text, const QString &format,
                                         int *oraNumber = nullptr, QString *message = nullptr);

}  // namespace nbk::data
