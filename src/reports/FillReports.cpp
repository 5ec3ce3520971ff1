#include "reports/FillReports.h"

#include "data/dialect/Numbers.h"
#include "data/session/ResultSet.h"
#include "reports/BuildSeatChart.h"
#include "reports/Layouts.h"
#include "common/PeopleDates.h"
#include "reports/RefundSlip.h"
#include "reports/ServiceQueries.h"
#include "reports/TicketQueries.h"
#include "reports/engine/QrCode.h"
#include "reports/engine/TextFit.h"

#include <QHash>
#include <QSet>

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

// "30 / Male": the age and the gender in words, either alone when the other is missing.
QString ageAndGender(const QVariant &age, const QVariant &gender)
{
    QString g = text(gender).trimmed();
    if (g.compare(QLatin1String("M"), Qt::CaseInsensitive) == 0)
        g = QStringLiteral("Male");
    else if (g.compare(QLatin1String("F"), Qt::CaseInsensitive) == 0)
        g = QStringLiteral("Female");
    const QString a = text(age);
    return a.isEmpty() || g.isEmpty() ? a + g : a + QStringLiteral(" / ") + g;
}

// "5 Mysore - Bangalore", or the route's name when it has one: "5 Coastal Express".
QString routeText(const data::ResultSet &run)
{
    const QString number = text(valueOf(run, QStringLiteral("ROUTE")));
    const QString name = text(valueOf(run, QStringLiteral("ROUTE_NAME"))).trimmed();
    const QString from = text(valueOf(run, QStringLiteral("ROUTE_FROM"))),
                  to = text(valueOf(run, QStringLiteral("ROUTE_TO")));
    const QString ends = from.isEmpty() && to.isEmpty() ? QString() : from + QStringLiteral(" - ") + to;
    const QString what = name.isEmpty() ? ends : name;
    return what.isEmpty() || number.isEmpty() ? number + what : number + QLatin1Char(' ') + what;
}

// A place's English name with its Kannada one beside it, when it has one.
QString besideEnglish(const QString &english, const QString &local)
{
    const QString l = local.trimmed();
    return l.isEmpty() || english.isEmpty() ? english : english + QStringLiteral(" / ") + l;
}

// The class by its description, by its number when it has none.
QString classText(const data::ResultSet &run)
{
    const QString name = text(valueOf(run, QStringLiteral("CLASS_NAME"))).trimmed();
    return name.isEmpty() ? text(valueOf(run, QStringLiteral("CLASS"))) : name;
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

// The seat chart's columns over a width, one a stop: a stop's name is centred on its column
// and a stretch's marks run from the centre of its first stop to the centre of its last, so
// that they stand under the stops they span. Positions are measured in twips rather than
// counted in characters: a name in any script or font keeps its column.
class ChartColumns {
public:
    ChartColumns(int left, int width, int stops)
        : left_(left), stops_(stops), pitch_(double(width) / std::max(stops, 1))
    {
    }
    double pitch() const { return pitch_; }
    int namesWidth(bool twoRows) const { return int(pitch_ * (twoRows ? 2 : 1)); }
    // left edge and width of stop k's name (from 0); in two rows a name takes two columns,
    // but the first and last keep theirs, so that each stays centred on its own
    std::pair<int, int> name(int k, bool twoRows) const
    {
        const bool wide = twoRows && k > 0 && k < stops_ - 1;
        const double from = wide ? k - 0.5 : k, to = wide ? k + 1.5 : k + 1;
        return {x(from), x(to) - x(from)};
    }
    // stretch k (from stop k - 1 to stop k)
    std::pair<int, int> stretch(int k) const { return {x(k - 0.5), x(k + 0.5) - x(k - 0.5)}; }

private:
    int x(double column) const { return left_ + int(std::lround(column * pitch_)); }
    int left_, stops_;
    double pitch_;
};

// The marks of a stretch, as wide as its column allows: dashes when free, an X among them
// when held. A column too narrow for the design's size takes the smallest.
struct ChartMarks {
    report::ReportFont font;
    QString free, held;
    explicit ChartMarks(double pitch)
    {
        const double room = pitch - std::min(60.0, pitch / 10);
        if (report::textWidth(QStringLiteral("X"), font, font.pointSize) > room)
            font.pointSize = report::kFloorPointSize;
        const auto fits = [&](const QString &t) { return report::textWidth(t, font, font.pointSize) <= room; };
        free = QStringLiteral("-");
        while (fits(free + QLatin1Char('-')))
            free += QLatin1Char('-');
        held = QStringLiteral("X");
        while (fits(QLatin1Char('-') + held + QLatin1Char('-')))
            held = QLatin1Char('-') + held + QLatin1Char('-');
    }
};

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

FilledReport fillFullTicketReport(const CustomerTicket &t, Paper paper)
{
    report::ReportLayout l = layouts::FullTicketReport(paper);
    data::ResultSet details = t.details;
    details.moveFirst();
    data::ResultSet run = t.run;
    run.moveFirst();
    const auto field = [&](const char *column) { return valueOf(details, QString::fromLatin1(column)); };
    QStringList seats;
    data::ResultSet s = t.seats;
    for (s.moveFirst(); !s.eof(); s.moveNext())
        seats << text(s.value(0));
    const QString fare = text(field("FARE"));
    const QVariantList row{
        QString::number(t.customerId),
        text(field("NAME")),
        ageAndGender(field("AGE"), field("GENDER")),
        besideEnglish(text(field("ORIGIN")), t.originLocal),
        besideEnglish(text(field("DESTINATION")), t.destinationLocal),
        headerValue(field("JOURNEY_DATE")),
        text(field("INSTANCE")),
        routeText(run),
        classText(run),
        seats.join(QStringLiteral(", ")),
        fare.isEmpty() ? QString() : QStringLiteral("\u20B9 ") + fare,
    };
    const QStringList columns{"CUSTOMER_NO", "PASSENGER", "AGE_GENDER", "FROM_PLACE", "TO_PLACE", "BOARDING",
                              "RUN", "ROUTE", "CLASS", "SEATS", "FARE"};

    const QImage code = report::qrCode(ticketCode(t));
    if (!code.isNull()) {
        ReportSection &foot = l.section(QStringLiteral("Section5"));
        const int side = 1440;
        foot.height = 120 + side;
        foot.addImage(QStringLiteral("imgTicketCode"), code,
                      {(report::PageSetup::ticketRoll().bodyWidth() - side) / 2, 120, side, side});
    }
    return {QStringLiteral("FullTicketReport"), std::move(l), ReportData(columns, {row})};
}

namespace {

// An amount as the counter counts it: whole rupees without decimals, else two.
QString rupees(double v)
{
    const double paise = std::round(v * 100) / 100;
    return QStringLiteral("\u20B9 ") + (paise == std::floor(paise) ? QString::number(qint64(paise)) : QString::number(paise, 'f', 2));
}

// "₹ 50 (25%, slab from 24 h before departure)"; the share alone past the last slab.
QString chargeText(const RefundSlipData &s)
{
    if (!s.charged())
        return rupees(0) + QStringLiteral(" (no cancellation charges)");
    const QString share = QString::number(s.cancellation.share * 100, 'g', 4) + QLatin1Char('%');
    const QString slab = s.slabFrom ? QStringLiteral("slab from %1 h before departure").arg(*s.slabFrom)
                                    : QStringLiteral("past the last slab");
    return rupees(s.cancellation.retained) + QStringLiteral(" (") + share + QStringLiteral(", ") + slab + QLatin1Char(')');
}

}  // namespace

FilledReport fillRefundSlip(const RefundSlipData &s, Paper paper)
{
    const StatementLine &c = s.cancellation;
    QStringList seats;
    for (int seat : c.seats)
        seats << QString::number(seat);
    const QVariantList row{
        QString::number(c.customerId),
        c.name,
        QString::number(c.run),
        peopleDateTime(c.journey),
        c.action == QLatin1String("Cancellation") ? QStringLiteral("The whole booking") : QStringLiteral("Part of the booking"),
        seats.join(QStringLiteral(", ")),
        rupees(s.fare()),
        chargeText(s),
        rupees(c.refunded),
        peopleDate(c.at.date()),
    };
    const QStringList columns{"CUSTOMER_NO", "PASSENGER", "RUN", "JOURNEY", "ACTION", "SEATS",
                              "FARE", "CHARGE", "REFUND", "CANCELLED_ON"};
    return {QStringLiteral("RefundSlip"), layouts::RefundSlip(paper), ReportData(columns, {row})};
}

FilledReport fillTicketReport(const InstanceTickets &t)
{
    report::ReportLayout l = layouts::TicketReport();
    ReportSection &foot = l.section(QStringLiteral("Section3"));
    foot.at(0).visible = true;
    foot.at(1).visible = true;
    foot.at(1).caption = t.typedInstance;
    // the columns by what they hold, in words; one the view might gain keeps its name
    static const QHash<QString, QString> heads{
        {QStringLiteral("CUSTOMERID"), QStringLiteral("Customer no.")}, {QStringLiteral("NAME"), QStringLiteral("Passenger")},
        {QStringLiteral("INSTANCE"), QStringLiteral("Run")},            {QStringLiteral("ORIGIN"), QStringLiteral("From")},
        {QStringLiteral("DESTINATION"), QStringLiteral("To")},          {QStringLiteral("JOURNEY_DATE"), QStringLiteral("Boarding")},
        {QStringLiteral("FARE"), QStringLiteral("Fare (\u20B9)")}};
    int column = 0;
    for (auto &c : l.section(QStringLiteral("Section2")).controls) {
        if (!c.isLabel())
            continue;
        const QString name = column < t.rows.fieldCount() ? t.rows.fieldName(column++) : QString();
        c.caption = heads.value(name.toUpper(), name);
    }
    bindTextBoxes(l.section(QStringLiteral("Section1")), t.rows);
    return filled("TicketReport", std::move(l), t.rows);
}

FilledReport fillSeatMatrix(const SeatChartData &c)
{
    using namespace layouts::seatchart;
    report::ReportLayout l = layouts::SeatMatrix();
    ReportSection &head = l.section(QStringLiteral("Section2"));
    head.at(3).caption = text(valueOf(c.run, QStringLiteral("Instance_Id")));
    const QVariant departure = valueOf(c.run, QStringLiteral("dep_date"));
    head.at(5).caption = departure.isNull() ? QString() : peopleDate(departure.toDateTime().date());
    head.at(7).caption = text(valueOf(c.run, QStringLiteral("bus_id")));
    ReportSection &detail = l.section(QStringLiteral("Section1"));

    const int stops = int(c.stops.size());
    const auto area = [&] { return l.page.bodyWidth() - kHoldersWidth - kHoldersGap - kStopsLeft; };
    // columns narrower than this turn the page
    if (stops > 0 && area() / stops < kMinPitch) {
        l.page = l.page.landscape();
        const int holdersLeft = l.page.bodyWidth() - kHoldersWidth;
        head.at(1).rect.left = detail.at(1).rect.left = holdersLeft;
        l.section(QStringLiteral("Section3")).at(0).rect.width = l.page.bodyWidth();
    }
    const ChartColumns columns(kStopsLeft, area(), stops);

    // a name too wide for its column at the smallest size takes two, its neighbours a row
    // below: the names stand in two rows, each still centred on its column
    report::ReportControl sample;
    sample.rect = {0, 0, columns.namesWidth(false), 1 << 20};
    bool twoRows = false;
    for (const QString &name : c.stops)
        for (const QString &word : name.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            twoRows = twoRows || report::textWidth(word, sample.font, report::kFloorPointSize) > sample.rect.width;
    const int rowHeight = report::DefaultControlHeight;
    for (int k = 0; k < stops; ++k) {
        const auto [left, width] = columns.name(k, twoRows);
        const int top = kNamesTop + (twoRows && k % 2 ? rowHeight : 0);
        head.addLabel(QStringLiteral("Stop%1").arg(k + 1), c.stops[k].trimmed(), {left, top, width, rowHeight})
            .setAlign(report::Align::Centre)
            .setOverflow(report::Overflow::Wrap);
    }
    if (twoRows)
        head.height += rowHeight;

    const ChartMarks marks(columns.pitch());
    QStringList fields{QStringLiteral("SEAT_NO"), QStringLiteral("HELD_BY")};
    for (int k = 1; k < stops; ++k) {
        const QString field = QStringLiteral("S%1").arg(k);
        const auto [left, width] = columns.stretch(k);
        detail.addTextBox(QStringLiteral("Mark%1").arg(k), field, {left, 0, width, rowHeight})
            .setFont(marks.font)
            .setAlign(report::Align::Centre)
            .keepSize();
        fields << field;
    }
    detail.at(0).dataField = fields[0];
    detail.at(1).dataField = fields[1];
    std::vector<QVariantList> rows;
    for (const chart::SeatMarks &seat : c.seats) {
        QVariantList row{seat.seat, seat.held.contains(true) ? seat.holders : QString::fromLatin1(chart::kAllFree)};
        for (int k = 1; k < stops; ++k)
            row << (k - 1 < seat.held.size() && seat.held[k - 1] ? marks.held : marks.free);
        rows.push_back(row);
    }
    return filled("SeatMatrix", std::move(l), data::ResultSet(fields, std::move(rows)));
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

FilledReport fillManifest(const RunManifest &m, Paper paper)
{
    report::ReportLayout l = layouts::Manifest(paper, int(m.stretches.size()));
    data::ResultSet run = m.run;
    run.moveFirst();
    ReportSection &top = l.section(QStringLiteral("ReportHeader"));
    const QVariant departs = valueOf(run, QStringLiteral("DEPARTS"));
    const QDateTime departure = departs.toDateTime();
    top.control(QStringLiteral("txtRun")).caption = text(valueOf(run, QStringLiteral("RUN")));
    top.control(QStringLiteral("txtRoute")).caption = routeText(run);
    top.control(QStringLiteral("txtDate")).caption = departs.isNull() ? QString() : peopleDate(departure.date());
    top.control(QStringLiteral("txtDeparts")).caption =
        departs.isNull() ? QString() : departure.time().toString(QStringLiteral("HH:mm"));
    top.control(QStringLiteral("txtVehicle")).caption = text(valueOf(run, QStringLiteral("VEHICLE")));
    top.control(QStringLiteral("txtClass")).caption = classText(run);

    std::vector<QVariantList> rows;
    QSet<QString> customers, seats;
    data::ResultSet lines = m.lines;
    for (lines.moveFirst(); !lines.eof(); lines.moveNext()) {
        const auto field = [&](const char *column) { return valueOf(lines, QString::fromLatin1(column)); };
        rows.push_back({text(field("SEAT")), text(field("CUSTOMERID")), text(field("NAME")),
                        ageAndGender(field("AGE"), field("GENDER")),
                        besideEnglish(text(field("BOARDS")), text(field("BOARDS_LOCAL"))),
                        besideEnglish(text(field("ALIGHTS")), text(field("ALIGHTS_LOCAL")))});
        customers.insert(text(field("CUSTOMERID")));
        seats.insert(text(field("SEAT")));
    }
    ReportSection &foot = l.section(QStringLiteral("ReportFooter"));
    for (int k = 1; k <= m.stretches.size(); ++k) {
        const StretchSeats &st = m.stretches[k - 1];
        foot.control(QStringLiteral("txtStretch%1").arg(k)).caption =
            besideEnglish(st.from, st.fromLocal) + QStringLiteral(" to ") + besideEnglish(st.to, st.toLocal);
        foot.control(QStringLiteral("txtHeld%1").arg(k)).caption = QString::number(st.held);
        foot.control(QStringLiteral("txtFree%1").arg(k)).caption = QString::number(st.free);
    }
    const QString held = m.vehicleSeats > 0 ? QStringLiteral("%1 of %2").arg(seats.size()).arg(m.vehicleSeats)
                                            : QString::number(seats.size());
    foot.control(QStringLiteral("lblTotals")).caption =
        rows.empty() ? QStringLiteral("No seats are held on this run.")
                     : QStringLiteral("Bookings: %1   Passengers: %2   Seats held: %3")
                           .arg(customers.size())
                           .arg(rows.size())
                           .arg(held);
    const QStringList columns{"SEAT", "CUSTOMERID", "NAME", "AGE_GENDER", "BOARDS", "ALIGHTS"};
    return {QStringLiteral("ManifestReport"), std::move(l), ReportData(columns, std::move(rows))};
}

FilledReport fillPassengerList(const data::ResultSet &rows) { return filled("DataReport1", layouts::DataReport1(), rows); }

FilledReport fillTimeTable(const data::ResultSet &rows) { return filled("TimeTable", layouts::TimeTable(), rows); }

}  // namespace nbk::reports
