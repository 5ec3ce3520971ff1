#pragma once
#include <QDateTime>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace nbk::data {
class ResultSet;
class RowTable;
}

namespace nbk::report {

// The rows a report is laid out from: column names and values, fetched whole.
struct ReportData {
    QStringList columns;
    std::vector<QVariantList> rows;

    ReportData() = default;
    ReportData(QStringList columns, std::vector<QVariantList> rows);
    // Every row of the result set from the first; its cursor is left where it was.
    static ReportData fromResultSet(const nbk::data::ResultSet &rs);
    static ReportData fromRowTable(const nbk::data::RowTable &table);

    int rowCount() const { return int(rows.size()); }
    int columnIndex(const QString &name) const;  // letter case ignored; -1 when absent
    // The value of a column in a row; a null QVariant for an unknown column or row.
    QVariant value(int row, const QString &column) const;
};

// A value as a text box shows it: dates through the display format (e.g. "d mmm yyyy hh:nn",
// "Long Date"; without one as people read them, "11 Dec 2026 10:07"), numbers in shortest decimal form, null as the empty text. A number given a
// date format is read as a day number (days since 30 December 1899).
// A text longer than kMaxShownChars is cut there and ends in "…": rows stored before the
// database bounded its text (or written by hand) may hold millions of characters, and
// laying them out would take the report's memory with them.
inline constexpr int kMaxShownChars = 2000;
QString formatValue(const QVariant &value, const QString &format = {});
// The date part of the display formats: d dd ddd dddd m mm mmm mmmm yy yyyy h hh n nn s ss
// AM/PM, and the named "General Date", "Long Date", "Short Date", "Long Time", "Short Time".
// "General Date" (and no format) is nbk::peopleDate, or peopleDateTime when the time is not midnight.
QString formatDateTime(const QDateTime &dt, const QString &format);

}  // namespace nbk::report
