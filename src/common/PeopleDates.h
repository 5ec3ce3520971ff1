#pragma once
#include <QDate>
#include <QDateTime>
#include <QString>

// Dates as a person reads them on a ticket, a report, a screen or a message: the day, the
// month's English abbreviation and the whole year ("11 Dec 2026"), with the time on the
// 24-hour clock after it ("11 Dec 2026 10:07"). Neither order of day and month can be
// misread, and the machine's locale changes nothing. Texts sent to the database keep
// their own formats; these are for reading only. An invalid date gives the empty text.
namespace nbk {

QString peopleDate(const QDate &d);
QString peopleDateTime(const QDateTime &t);

}  // namespace nbk
