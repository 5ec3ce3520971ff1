#include "reports/FillReports.h"

#include "data/dialect/Numbers.h"
#include "data/session/ResultSet.h"
#include "reports/BuildSeatChart.h"
#include "reports/Layouts.h"
#include "common/PeopleDates.h"
#include "reports/ServiceQueries.h"
#include "reports/TicketQueries.h"
#include "reports/engine/QrCode.h"
#include "reports/engine/TextFit.h"

#include <algorithm>
#include <cmath>

namespace nbk::reports {

namespace {

using report::ReportData;
using report::ReportSection;

// The value of a column of the result set's current row; null when there is none.
QVariant valueOf(const data::ResultSet &r, int column)
{
    if (r.eof() || r.bof() || column < 0 || column >= r.fieldCount())
        return {};
    return r.value(column);
}
QVariant valueOf(const data::ResultSet &r, const QString &column) { return valueOf(r, r.fieldIndex(column)); }

QString text(const QVariant &v) { return report::formatValue(v); }

// A value of the ticket's header; the journey's date always with its time, even a departure
// at midnight.
QString headerValue(const QVariant &v)
{
    if (v.typeId() == QMetaType::QDateTime)
        return peopleDateTime(v.toDateTime());
    if (v.typeId() == QMetaType::QDate)
        return peopleDate(v.toDate());
    return report::formatValue(v);
}

// Gives the text boxes of a section, in their order, the result set's columns from `first`.
void bindTextBoxes(ReportSection &s, const data::ResultSet &r, int first = 0)
{
    int column = first;
    for (auto &c : s.controls) {
        if (!c.isTextBox())
            continue;
        c.dataMember.clear();
        c.dataField = column < r.fieldCount() ? r.fieldName(column) : QString();
        ++column;
    }
}

// The largest half-point size from the floor to 8 points at which the chart's header line
// fits its width; a longer route wraps, header and lines alike.
double chartFontSize(const QString &headerLine, const report::ReportControl &header)
{
    double size = 8.0;
    while (size > report::kFloorPointSize && report::textWidth(headerLine, header.font, size) > header.rect.width)
        size -= 0.5;
    return size;
}

FilledReport filled(const char *window, report::ReportLayout layout, const data::ResultSet &rows)
{
    return {QString::fromLatin1(window), std::move(layout), ReportData::fromResultSet(rows)};
}

}  // namespace

QString ticketCode(const CustomerTicket &t)
{
    data::ResultSet details = t.details;
    details.moveFirst();
    QStringList seats;
    data::ResultSet s = t.seats;
    for (s.moveFirst(); !s.eof(); s.moveNext())
        seats << text(s.value(0));
    const QVariant departure = valueOf(details, QStringLiteral("JOURNEY_DATE"));
    return QStringLiteral("NBK TICKET\nCUSTOMER %1\nRUN %2\nDEPARTS %3\nSEATS %4")
        .arg(t.customerId)
        .arg(text(valueOf(details, QStringLiteral("INSTANCE"))),
             report::formatValue(departure, QStringLiteral("yyyy-mm-dd hh:nn")), seats.join(QLatin1Char(',')));
}

FilledReport fillFullTicketReport(const CustomerTicket &t)
{
    report::ReportLayout l = layouts::FullTicketReport();
    data::ResultSet details = t.details;
    details.moveFirst();
    ReportSection &head = l.section(QStringLiteral("Section2"));
    // the first half of the header names the columns, the second half shows the first row
    const int n = head.count();
    const int h = CInt(n / 2.0);
    for (int i = 1; i <= h; ++i)
        head.at(i - 1).caption = i - 1 < details.fieldCount() ? details.fieldName(i - 1) + QStringLiteral(" :") : QString();
    for (int i = h + 1; i <= n; ++i)
        head.at(i - 1).caption = headerValue(valueOf(details, i - h - 1));
    bindTextBoxes(l.section(QStringLiteral("Section1")), t.seats);

    const QImage code = report::qrCode(ticketCode(t));
    if (!code.isNull()) {
        ReportSection &foot = l.section(QStringLiteral("Section5"));
        foot.height = 1872;
        foot.addImage(QStringLiteral("imgTicketCode"), code, {144, 216, 1440, 1440});
    }
    return filled("FullTicketReport", std::move(l), t.seats);
}

FilledReport fillTicketReport(const InstanceTickets &t)
{
    report::ReportLayout l = layouts::TicketReport();
    ReportSection &foot = l.section(QStringLiteral("Section3"));
    foot.at(0).visible = true;
    foot.at(1).visible = true;
    foot.at(1).caption = t.typedInstance;
    int column = 0;
    for (auto &c : l.section(QStringLiteral("Section2")).controls)
        if (c.isLabel())
            c.caption = column < t.rows.fieldCount() ? t.rows.fieldName(column++) + QStringLiteral(" :") : QString();
    bindTextBoxes(l.section(QStringLiteral("Section1")), t.rows);
    return filled("TicketReport", std::move(l), t.rows);
}

FilledReport fillSeatMatrix(const SeatChartData &c)
{
    report::ReportLayout l = layouts::SeatMatrix();
    ReportSection &head = l.section(QStringLiteral("Section2"));
    head.at(1).caption = c.headerLine;
    head.at(3).caption = text(valueOf(c.run, QStringLiteral("Instance_Id")));
    const QVariant departure = valueOf(c.run, QStringLiteral("dep_date"));
    head.at(5).caption = departure.isNull() ? QString() : peopleDate(departure.toDateTime().date());
    head.at(7).caption = text(valueOf(c.run, QStringLiteral("bus_id")));
    ReportSection &detail = l.section(QStringLiteral("Section1"));
    bindTextBoxes(detail, c.lines);
    report::ReportControl &header = head.at(1), &line = detail.at(1);
    // a route too long for the upright page at the smallest size turns the page; only a
    // longer one still wraps
    const auto fitsAtFloor = [&] {
        return report::textWidth(c.headerLine, header.font, report::kFloorPointSize) <= header.rect.width;
    };
    if (!fitsAtFloor()) {
        l.page = l.page.landscape();
        header.rect.width = line.rect.width = l.page.bodyWidth() - header.rect.left;
    }
    // the lines shrink with their header, so that they stay in the columns of the stop names
    const double size = chartFontSize(c.headerLine, header);
    header.font.pointSize = size;
    line.font.pointSize = size;
    return filled("SeatMatrix", std::move(l), c.lines);
}

FilledReport fillRouteDetails(const RouteService &s)
{
    report::ReportLayout l = layouts::RouteDetails();
    l.setCaption(QStringLiteral("Section2"), QStringLiteral("Label2"), s.typedRoute);
    l.setCaption(QStringLiteral("Section2"), QStringLiteral("Label3"),
                 s.name.isEmpty() ? s.stopList : s.stopList + QStringLiteral("   (") + s.name + QLatin1Char(')'));
    ReportSection &detail = l.section(QStringLiteral("Section1"));
    for (int j = 1; j <= 3 && j <= detail.count(); ++j)
        detail.at(j - 1).dataField = j - 1 < s.runs.fieldCount() ? s.runs.fieldName(j - 1) : QString();
    return filled("RouteDetails", std::move(l), s.runs);
}

FilledReport fillAccidentReport(const AccidentPassengers &p)
{
    report::ReportLayout l = layouts::AR();
    ReportSection &head = l.section(QStringLiteral("Section2"));
    head.at(2).caption = p.typedRegistration;
    head.at(4).caption = p.instance;
    // the passenger's name, age, gender and phone are the view's columns 2 to 5
    bindTextBoxes(l.section(QStringLiteral("Section1")), p.rows, 2);
    return filled("AR", std::move(l), p.rows);
}

FilledReport fillPassengerList(const data::ResultSet &rows) { return filled("DataReport1", layouts::DataReport1(), rows); }

FilledReport fillTimeTable(const data::ResultSet &rows) { return filled("TimeTable", layouts::TimeTable(), rows); }

}  // namespace nbk::reports
