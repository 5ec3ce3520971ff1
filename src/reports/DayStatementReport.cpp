#include "reports/DayStatementReport.h"

#include "common/PeopleDates.h"
#include "data/dialect/Numbers.h"
#include "reports/DayStatementQueries.h"

namespace nbk::reports {

namespace {

using report::Align;
using report::ReportSection;
using report::SectionKind;
using report::TwipRect;

constexpr int H = report::DefaultControlHeight;

// The columns over the page's body (9026 twips): an action, a 40-character name and a
// long seat list wrap onto more lines; times, ids and amounts keep one line.
struct Column {
    const char *heading;
    const char *field;
    int left, width;
    bool wraps;
    Align align;
};
constexpr Column kColumns[] = {
    {"Time", "AT", 144, 760, false, Align::Left},         {"Action", "ACTION", 960, 1300, true, Align::Left},
    {"Customer", "CUSTOMER_ID", 2320, 950, false, Align::Left}, {"Name", "NAME", 3330, 2000, true, Align::Left},
    {"Run", "RUN", 5390, 800, false, Align::Left},        {"Seats", "SEATS", 6250, 1100, true, Align::Left},
    {"Fare", "TAKEN", 7410, 780, false, Align::Right},    {"Refund", "REFUNDED", 8246, 780, false, Align::Right},
};
// the totals stand under the amounts
constexpr int kTotalLabelLeft = 5390, kTotalLabelWidth = 1960, kTotalLeft = 7410, kTotalWidth = 1616;
const char *const kTotals[][2] = {{"Total taken", "lblTaken"}, {"Total refunded", "lblRefunded"}, {"Net", "lblNet"}};

TwipRect at(int left, int top, int width, int height = H) { return {left, top, width, height}; }

report::ReportFont bold(double size = 8.0)
{
    report::ReportFont f;
    f.pointSize = size;
    f.bold = true;
    return f;
}

QVariant amount(double v) { return v == 0 ? QVariant() : QVariant(v); }

QString seatList(const QList<int> &seats)
{
    QStringList s;
    for (int seat : seats)
        s << QString::number(seat);
    return s.join(QStringLiteral(", "));
}

}  // namespace

report::ReportLayout layouts::DayStatement()
{
    report::ReportLayout l(QStringLiteral("DayStatementReport"), QStringLiteral("Day Statement"));
    l.addSection(QStringLiteral("Section4"), SectionKind::ReportHeader, 720)
        .addLabel(QStringLiteral("Label1"), QStringLiteral("Day Statement"), at(144, 144, 8882, 435))
        .setFont(bold(14))
        .setAlign(Align::Centre);
    ReportSection &head = l.addSection(QStringLiteral("Section2"), SectionKind::PageHeader, 900);
    head.addLabel(QStringLiteral("Label2"), QStringLiteral("Date :"), at(144, 0, 760)).setFont(bold());
    // a long login wraps
    head.addLabel(QStringLiteral("lblDay"), QStringLiteral("lblDay"), at(960, 0, 2900)).wraps();
    head.addLabel(QStringLiteral("Label3"), QStringLiteral("Login :"), at(4000, 0, 760)).setFont(bold());
    head.addLabel(QStringLiteral("lblLogin"), QStringLiteral("lblLogin"), at(4800, 0, 4226)).wraps();
    ReportSection &detail = l.addSection(QStringLiteral("Section1"), SectionKind::Detail, 400);
    for (const Column &c : kColumns) {
        head.addLabel(QStringLiteral("Label%1").arg(QLatin1String(c.field)), QString::fromLatin1(c.heading),
                      at(c.left, 432, c.width))
            .setFont(bold())
            .setAlign(c.align);
        report::ReportControl &t = detail.addTextBox(QStringLiteral("txt%1").arg(QLatin1String(c.field)),
                                                     QString::fromLatin1(c.field), at(c.left, 72, c.width));
        t.setAlign(c.align);
        if (c.wraps)
            t.wraps();
    }
    detail.controls.front().setFormat(QStringLiteral("hh:nn:ss"));
    // "Partial cancellation" reads better on two lines at the line's size than shrunk
    detail.control(QStringLiteral("txtACTION")).keepSize();
    head.addLine(QStringLiteral("Line1"), at(144, 780, 8882, 0));
    l.addSection(QStringLiteral("Section3"), SectionKind::PageFooter, 360);
    ReportSection &foot = l.addSection(QStringLiteral("Section5"), SectionKind::ReportFooter, 1150);
    foot.addLine(QStringLiteral("Line2"), at(kTotalLabelLeft, 72, kTotalLabelWidth + kTotalWidth + 20, 0));
    for (int i = 0; i < 3; ++i) {
        foot.addLabel(QStringLiteral("Label%1").arg(4 + i), QString::fromLatin1(kTotals[i][0]),
                      at(kTotalLabelLeft, 144 + 300 * i, kTotalLabelWidth))
            .setFont(bold());
        foot.addLabel(QString::fromLatin1(kTotals[i][1]), QString::fromLatin1(kTotals[i][1]),
                      at(kTotalLeft, 144 + 300 * i, kTotalWidth))
            .setFont(bold())
            .setAlign(Align::Right);
    }
    return l;
}

FilledReport fillDayStatement(const DayStatementData &s)
{
    report::ReportLayout l = layouts::DayStatement();
    l.setCaption(QStringLiteral("Section2"), QStringLiteral("lblDay"),
                 peopleDate(s.day));
    l.setCaption(QStringLiteral("Section2"), QStringLiteral("lblLogin"), s.login);
    l.setCaption(QStringLiteral("Section5"), QStringLiteral("lblTaken"), shortestDecimal(s.taken));
    l.setCaption(QStringLiteral("Section5"), QStringLiteral("lblRefunded"), shortestDecimal(s.refunded));
    l.setCaption(QStringLiteral("Section5"), QStringLiteral("lblNet"), shortestDecimal(s.net()));
    if (s.retained != 0) {
        // cancellation charges kept of the fares given back: already in the net
        ReportSection &foot = l.section(QStringLiteral("Section5"));
        foot.height += 300;
        foot.addLabel(QStringLiteral("Label7"), QStringLiteral("Total retained"), at(kTotalLabelLeft, 1044, kTotalLabelWidth))
            .setFont(bold());
        foot.addLabel(QStringLiteral("lblRetained"), shortestDecimal(s.retained), at(kTotalLeft, 1044, kTotalWidth))
            .setFont(bold())
            .setAlign(Align::Right);
    }
    QStringList columns;
    for (const Column &c : kColumns)
        columns << QString::fromLatin1(c.field);
    std::vector<QVariantList> rows;
    for (const StatementLine &line : s.lines)
        rows.push_back({line.at,
                        line.retained == 0 ? line.action
                                           : QStringLiteral("%1, %2 retained").arg(line.action, shortestDecimal(line.retained)),
                        line.customerId, line.name, line.run, seatList(line.seats),
                        amount(line.taken), amount(line.refunded)});
    return {QStringLiteral("DayStatementReport"), std::move(l), report::ReportData(columns, std::move(rows))};
}

}  // namespace nbk::reports
