#include "reports/Layouts.h"

namespace nbk::reports::layouts {

using report::Align;
using report::ReportFont;
using report::ReportLayout;
using report::ReportSection;
using report::SectionKind;
using report::TwipRect;

namespace {

constexpr int H = report::DefaultControlHeight;

TwipRect at(int left, int top, int width, int height = H) { return {left, top, width, height}; }

ReportFont title()
{
    ReportFont f;
    f.pointSize = 14;
    f.bold = true;
    return f;
}

ReportFont ticketTitle()
{
    ReportFont f;
    f.pointSize = 11;
    f.bold = true;
    return f;
}

ReportFont heading()
{
    ReportFont f;
    f.bold = true;
    return f;
}

report::ReportControl &label(ReportSection &s, const char *name, const QString &caption, TwipRect r)
{
    return s.addLabel(QString::fromLatin1(name), caption, r);
}

// A label whose caption the screen sets at run time.
report::ReportControl &placeholder(ReportSection &s, const char *name, TwipRect r)
{
    return s.addLabel(QString::fromLatin1(name), QString::fromLatin1(name), r);
}

report::ReportControl &text(ReportSection &s, const char *name, const char *field, TwipRect r)
{
    return s.addTextBox(QString::fromLatin1(name), QString::fromLatin1(field), r);
}

void footers(ReportLayout &l, const char *pageFooter, int pageHeight, const char *reportFooter, int reportHeight)
{
    l.addSection(QString::fromLatin1(pageFooter), SectionKind::PageFooter, pageHeight);
    l.addSection(QString::fromLatin1(reportFooter), SectionKind::ReportFooter, reportHeight);
}

// The seven columns of vticket that both ticket reports show, in the view's order:
// customer id, name, run, origin, destination, journey date and fare. The widths follow
// what each column holds (a 40-character name and long place names wrap onto more lines,
// the date fits one line) over the page's whole width, so that no column runs into the next.
struct Column {
    int left, width;
};

// The ticket's fields: caption, label and text box names, and the column of the ticket's row.
struct TicketField {
    const char *caption, *label, *value, *field;
};
constexpr TicketField kTicketFields[] = {
    {"Customer no.", "lblCustomer", "txtCustomer", "CUSTOMER_NO"},
    {"Passenger", "lblPassenger", "txtPassenger", "PASSENGER"},
    {"Age/Gender", "lblAgeGender", "txtAgeGender", "AGE_GENDER"},
    {"From", "lblFrom", "txtFrom", "FROM_PLACE"},
    {"To", "lblTo", "txtTo", "TO_PLACE"},
    {"Boarding", "lblBoarding", "txtBoarding", "BOARDING"},
    {"Run", "lblRun", "txtRun", "RUN"},
    {"Route", "lblRoute", "txtRoute", "ROUTE"},
    {"Class", "lblClass", "txtClass", "CLASS"},
    {"Seats", "lblSeats", "txtSeats", "SEATS"},
    {"Fare", "lblFare", "txtFare", "FARE"},
};
constexpr int kTicketValueLeft = 1300;  // "Customer no." and room to spare
constexpr int kTicketLine = 300;        // one 8-point line and a little air
// One 8-point line and no more: a text that wraps grows by its further lines only, and keeps
// the air under it that a line of one has.
constexpr int kOneLine = 230;
// The refund slip's fields, after the ticket's.
constexpr TicketField kRefundFields[] = {
    {"Customer no.", "lblCustomer", "txtCustomer", "CUSTOMER_NO"},
    {"Passenger", "lblPassenger", "txtPassenger", "PASSENGER"},
    {"Run", "lblRun", "txtRun", "RUN"},
    {"Journey", "lblJourney", "txtJourney", "JOURNEY"},
    {"Cancelled", "lblAction", "txtAction", "ACTION"},
    {"Seats", "lblSeats", "txtSeats", "SEATS"},
    {"Fare", "lblFare", "txtFare", "FARE"},
    {"Charge", "lblCharge", "txtCharge", "CHARGE"},
    {"Refund", "lblRefund", "txtRefund", "REFUND"},
    {"Date", "lblDate", "txtDate", "CANCELLED_ON"},
};
constexpr Column kTicketColumns[] = {{144, 1150}, {1380, 1800}, {3260, 950}, {4290, 1300},
                                     {5670, 1300}, {7050, 1350}, {8480, 546}};

}  // namespace

ReportLayout TicketReport()
{
    ReportLayout l(QStringLiteral("TicketReport"), QStringLiteral("TicketReport"));
    l.addSection(QStringLiteral("Section4"), SectionKind::ReportHeader, 675)
        .addLabel(QStringLiteral("Label3"), QStringLiteral("Ticket Details By Instance Number"), at(2160, 144, 5184, 432))
        .setFont(title());
    ReportSection &head = l.addSection(QStringLiteral("Section2"), SectionKind::PageHeader, 735);
    const char *heads[] = {"Label2", "Label4", "Label5", "Label6", "Label7", "Label8", "Label1"};
    for (int i = 0; i < 7; ++i)
        placeholder(head, heads[i], at(kTicketColumns[i].left, 288, kTicketColumns[i].width)).setFont(heading()).wraps();
    ReportSection &detail = l.addSection(QStringLiteral("Section1"), SectionKind::Detail, 570);
    const char *texts[] = {"Text2", "Text4", "Text5", "Text6", "Text7", "Text8", "Text1"};
    for (int i = 0; i < 7; ++i)
        text(detail, texts[i], "", at(kTicketColumns[i].left, 144, kTicketColumns[i].width)).wraps();
    ReportSection &foot = l.addSection(QStringLiteral("Section3"), SectionKind::PageFooter, 570);
    label(foot, "Label9", QStringLiteral("Instance ID"), at(432, 144, 2025));
    placeholder(foot, "Label10", at(2304, 144, 2025));
    // shown once the screen has filled them
    foot.at(0).setVisible(false);
    foot.at(1).setVisible(false);
    l.addSection(QStringLiteral("Section5"), SectionKind::ReportFooter, 360);
    return l;
}

namespace {

// A slip of named values for the passenger: a title, then one line per field, its name on
// the left and its value beside it, all at one size. A long value (a 40-character name, a
// long place name or route) wraps at its blanks and keeps its size.
template <size_t N>
ReportLayout fieldSlip(const QString &name, const QString &caption, const TicketField (&fields)[N], Paper paper)
{
    ReportLayout l(name, caption);
    l.page = paper == Paper::Roll ? report::PageSetup::ticketRoll() : report::PageSetup{};
    const int width = report::PageSetup::ticketRoll().bodyWidth();
    l.addSection(QStringLiteral("Section4"), SectionKind::ReportHeader, 480)
        .addLabel(QStringLiteral("Label3"), caption, at(0, 0, width, 330))
        .setFont(ticketTitle())
        .setAlign(Align::Centre);
    ReportSection &detail = l.addSection(QStringLiteral("Section1"), SectionKind::Detail, 0);
    int top = 0;
    for (const TicketField &f : fields) {
        label(detail, f.label, QString::fromUtf8(f.caption), at(0, top, kTicketValueLeft - 60, kOneLine));
        text(detail, f.value, f.field, at(kTicketValueLeft, top, width - kTicketValueLeft, kOneLine))
            .setFont(heading())
            .keepSize()
            .wraps();
        top += kTicketLine;
    }
    detail.height = top;
    l.addSection(QStringLiteral("Section5"), SectionKind::ReportFooter, 120);
    return l;
}

}  // namespace

// The passenger's ticket; the report footer holds the QR code.
ReportLayout FullTicketReport(Paper paper)
{
    ReportLayout l = fieldSlip(QStringLiteral("FullTicketReport"), QStringLiteral("Journey Ticket"), kTicketFields, paper);
    l.title = QStringLiteral("TicketReport");
    return l;
}

ReportLayout RefundSlip(Paper paper)
{
    return fieldSlip(QStringLiteral("RefundSlip"), QStringLiteral("Refund Slip"), kRefundFields, paper);
}

// The seat chart: the run in the page header, the seat number at the left of each line and
// who holds the seat at its right, a legend at every page's foot. The stop columns and the
// marks under them depend on the route: the filling adds them between the two.
ReportLayout SeatMatrix()
{
    using namespace seatchart;
    ReportLayout l(QStringLiteral("SeatMatrix"), QStringLiteral("SeatMatrix"));
    l.addSection(QStringLiteral("Section4"), SectionKind::ReportHeader, 645)
        .addLabel(QStringLiteral("Label1"), QStringLiteral("SEAT MATRIX"), at(1296, 0, 6045, 420))
        .setFont(title())
        .setAlign(Align::Centre);
    ReportSection &head = l.addSection(QStringLiteral("Section2"), SectionKind::PageHeader, 945);
    label(head, "Label2", QStringLiteral("Seat"), at(0, kNamesTop, kSeatWidth)).setFont(heading());
    const int holdersLeft = l.page.bodyWidth() - kHoldersWidth;
    label(head, "Label3", QStringLiteral("Customer no."), at(holdersLeft, kNamesTop, kHoldersWidth))
        .setFont(heading())
        .wraps();
    label(head, "Label4", QStringLiteral("Instance Number:"), at(144, 0, 1400));
    placeholder(head, "Label5", at(1584, 0, 1152));
    label(head, "Label6", QStringLiteral("Date of Journey:"), at(2736, 0, 1305));
    // the date ("30 Sep 2026") has room to spare; "Route ID:" and the route number stand
    // where a long date once needed them
    placeholder(head, "Label7", at(4140, 0, 2700)).wraps();
    label(head, "Label8", QStringLiteral("Route ID:"), at(6900, 0, 1000));
    placeholder(head, "Label9", at(7950, 0, 1008));
    ReportSection &detail = l.addSection(QStringLiteral("Section1"), SectionKind::Detail, 285);
    text(detail, "Text1", "", at(0, 0, kSeatWidth)).setAlign(Align::Right);
    text(detail, "Text2", "", at(holdersLeft, 0, kHoldersWidth)).wraps();
    l.addSection(QStringLiteral("Section3"), SectionKind::PageFooter, 390)
        .addLabel(QStringLiteral("Legend"),
                  QStringLiteral("X  held on the stretch between the two stops above it      -  free      "
                                 "Customer no.  who holds the seat      All Free  no booking on this run"),
                  at(0, 60, l.page.bodyWidth()))
        .wraps();
    l.addSection(QStringLiteral("Section5"), SectionKind::ReportFooter, 375);
    return l;
}

ReportLayout RouteDetails()
{
    ReportLayout l(QStringLiteral("RouteDetails"), QStringLiteral("DataReport2"));
    l.addSection(QStringLiteral("Section4"), SectionKind::ReportHeader, 360);
    ReportSection &head = l.addSection(QStringLiteral("Section2"), SectionKind::PageHeader, 1695);
    head.addLabel(QStringLiteral("Route"), QStringLiteral("Route and service Details"), at(1728, 0, 4755, 435))
        .setFont(title())
        .setAlign(Align::Centre);
    label(head, "Label1", QStringLiteral("Route ID"), at(144, 576, 1008));
    placeholder(head, "Label2", at(1152, 576, 720));
    placeholder(head, "Label3", at(1872, 576, 5616)).wraps();
    label(head, "Label4", QStringLiteral("Bus Instance"), at(144, 1296, 1005));
    label(head, "Label5", QStringLiteral("Departure Date "), at(1728, 1296, 1290));
    label(head, "Label6", QStringLiteral("KiloMeters"), at(4464, 1296, 1140));
    head.addLine(QStringLiteral("Line1"), at(144, 1584, 5616, 0));
    ReportSection &detail = l.addSection(QStringLiteral("Section1"), SectionKind::Detail, 540);
    text(detail, "Text1", "", at(144, 144, 1005));
    // the departure with its time ("30 Sep 2026 22:47") needs more than the design's 1440 twips
    text(detail, "Text2", "", at(1584, 144, 2800));
    text(detail, "Text3", "", at(4464, 144, 720));
    footers(l, "Section3", 360, "Section5", 360);
    return l;
}

ReportLayout AR()
{
    ReportLayout l(QStringLiteral("AR"), QStringLiteral("Accident Report Information"));
    l.addSection(QStringLiteral("Section4"), SectionKind::ReportHeader, 360);
    ReportSection &head = l.addSection(QStringLiteral("Section2"), SectionKind::PageHeader, 1440);
    // the design's 2745 twips hold the bold title only at a size below the floor
    head.addLabel(QStringLiteral("Label1"), QStringLiteral("Customer Details for Accident Report"), at(2000, 0, 4300))
        .setFont(heading())
        .setAlign(Align::Centre);
    label(head, "Label2", QStringLiteral("Vehicle Registration"), at(144, 432, 1584));
    placeholder(head, "Label3", at(2016, 432, 1440)).wraps();
    label(head, "Label4", QStringLiteral("Bus Instance"), at(3888, 432, 1296));
    placeholder(head, "Label5", at(5472, 432, 1584));
    head.addLine(QStringLiteral("Line1"), at(144, 864, 7632, 0));
    label(head, "Label6", QStringLiteral("Passenger Name"), at(1008, 1152, 1440));
    label(head, "Label7", QStringLiteral("Age"), at(2880, 1152, 1155));
    label(head, "Label8", QStringLiteral("Gender"), at(4464, 1152, 1140));
    label(head, "Label9", QStringLiteral("Contact Phone"), at(5904, 1152, 1152));
    head.addLine(QStringLiteral("Line2"), at(144, 1008, 7488, 0));
    ReportSection &detail = l.addSection(QStringLiteral("Section1"), SectionKind::Detail, 540);
    // the name takes the room up to the age: a 40-character name wraps at its blanks
    text(detail, "Text1", "", at(1008, 144, 1800)).wraps();
    text(detail, "Text2", "", at(2880, 144, 1152));
    text(detail, "Text3", "", at(4464, 144, 1152));
    // a phone as typed ("+91 98450 12345") is wider than the design's 1152 twips
    text(detail, "Text4", "", at(5904, 144, 1700));
    footers(l, "Section3", 360, "Section5", 360);
    return l;
}

ReportLayout DataReport1()
{
    ReportLayout l(QStringLiteral("DataReport1"), QStringLiteral("DataReport1"));
    l.dataMember = QStringLiteral("GetPassengerList");
    l.addSection(QStringLiteral("ReportHeader"), SectionKind::ReportHeader, 1275)
        .addLabel(QStringLiteral("Label1"), QStringLiteral("Passenger List"), at(2160, 576, 2880, 435))
        .setFont(title())
        .setAlign(Align::Centre);
    ReportSection &head = l.addSection(QStringLiteral("PageHeader"), SectionKind::PageHeader, 432);
    label(head, "Label3", QStringLiteral("Customer Id"), at(144, 0, 1155));
    label(head, "Label2", QStringLiteral("Name"), at(2016, 0, 1440));
    label(head, "Label4", QStringLiteral("Origin"), at(5616, 0, 576));
    label(head, "Label6", QStringLiteral("Destin"), at(6624, 0, 1005));
    for (auto &c : head.controls)
        c.setFont(heading());
    ReportSection &detail = l.addSection(QStringLiteral("GetPassengerList_Detail"), SectionKind::Detail, 672);
    text(detail, "txtCUSTOMER_ID", "CUSTOMER_ID", at(144, 144, 1440));
    text(detail, "txtNAME", "NAME", at(2016, 144, 1700)).wraps();
    // a step right of the design's 3744, so that the name beside it can wrap at its blanks
    label(detail, "Label5", QStringLiteral("SEAT_NO:"), at(3800, 144, 800));
    text(detail, "txtSEAT_NO", "SEAT_NO", at(4608, 144, 864));
    text(detail, "txtORIGIN", "ORIGIN", at(5616, 144, 864));
    text(detail, "Text1", "DESTIN", at(6624, 144, 864));
    for (auto &c : detail.controls)
        if (c.isTextBox())
            c.setDataMember(QStringLiteral("GetPassengerList"));
    footers(l, "PageFooter", 360, "ReportFooter", 360);
    return l;
}

ReportLayout TimeTable()
{
    ReportLayout l(QStringLiteral("TimeTable"), QStringLiteral("DataReport2"));
    l.dataMember = QStringLiteral("TimeTable");
    l.addSection(QStringLiteral("ReportHeader"), SectionKind::ReportHeader, 1164);
    ReportSection &head = l.addSection(QStringLiteral("PageHeader"), SectionKind::PageHeader, 1101);
    head.addLabel(QStringLiteral("Label1"), QStringLiteral("Time Table for all Buses"), at(2592, 0, 4455, 420))
        .setFont(title())
        .setAlign(Align::Centre);
    label(head, "Label2", QStringLiteral("Instance No."), at(288, 720, 1005));
    label(head, "Label3", QStringLiteral("Route Number"), at(1440, 720, 1155));
    label(head, "Label4", QStringLiteral("Departure Date"), at(3024, 720, 1875));
    label(head, "Label5", QStringLiteral("Dep. Location"), at(4896, 720, 1725));
    label(head, "Label6", QStringLiteral("Class"), at(7488, 720, 720));
    ReportSection &detail = l.addSection(QStringLiteral("TimeTable_Detail"), SectionKind::Detail, 615);
    text(detail, "txtINSTANCE_ID", "INSTANCE_ID", at(288, 288, 1008));
    text(detail, "txtBUS_ID", "BUS_ID", at(1440, 288, 1440));
    text(detail, "txtDEP_DATE", "DEP_DATE", at(3024, 288, 1440));
    detail.controls.back().setFormat(QStringLiteral("d mmm yyyy hh:nn"));
    text(detail, "txtLOCATION", "LOCATION", at(5040, 288, 1155)).wraps();
    text(detail, "txtCITY", "CITY", at(6192, 288, 1005)).wraps();
    // "Semi - Luxury" is wider than the design's 720 twips; the column has the room to the margin
    text(detail, "txtDESCRIPTION", "DESCRIPTION", at(7488, 288, 1500)).wraps();
    for (auto &c : detail.controls)
        c.setDataMember(QStringLiteral("TimeTable"));
    footers(l, "PageFooter", 360, "ReportFooter", 360);
    return l;
}

// The conductor's manifest of one run: the run in the heading, one line per seat held, then
// the seats free on each stretch of the route and the totals. The heading's values, the
// stretches and the totals are placeholders the filling sets. On A4 the seats stand in
// columns under one heading; on the roll, 72 mm wide, each seat is a block of named fields
// as on the ticket.
ReportLayout Manifest(Paper paper, int stretches)
{
    ReportLayout l(QStringLiteral("Manifest"), QStringLiteral("Conductor's Manifest"));
    const bool roll = paper == Paper::Roll;
    if (roll)
        l.page = report::PageSetup::ticketRoll();
    const int width = l.page.bodyWidth();
    ReportSection &top = l.addSection(QStringLiteral("ReportHeader"), SectionKind::ReportHeader, roll ? 0 : 1200);
    top.addLabel(QStringLiteral("Label1"), QStringLiteral("Conductor's Manifest"), at(0, 0, width, roll ? 330 : 400))
        .setFont(roll ? ticketTitle() : title())
        .setAlign(Align::Centre);

    struct HeadingField {
        const char *label, *caption, *value;
        int left, labelWidth, valueWidth, top;  // on A4
    };
    static const HeadingField runFields[] = {
        {"lblRun", "Run", "txtRun", 0, 700, 1400, 540},
        {"lblRoute", "Route", "txtRoute", 2200, 800, 6826, 540},
        {"lblDate", "Date", "txtDate", 0, 700, 1400, 840},
        {"lblDeparts", "Departs", "txtDeparts", 2200, 800, 1000, 840},
        {"lblVehicle", "Vehicle", "txtVehicle", 4100, 800, 1700, 840},
        {"lblClass", "Class", "txtClass", 6700, 700, 2326, 840},
    };
    int rollTop = 480;
    for (const HeadingField &f : runFields) {
        // on the roll one field a line, its name on the left as on the ticket
        const TwipRect name = roll ? at(0, rollTop, kTicketValueLeft - 60, kOneLine) : at(f.left, f.top, f.labelWidth);
        const TwipRect value = roll ? at(kTicketValueLeft, rollTop, width - kTicketValueLeft, kOneLine)
                                    : at(f.left + f.labelWidth, f.top, f.valueWidth);
        label(top, f.label, QString::fromLatin1(f.caption), name);
        placeholder(top, f.value, value).setFont(heading()).keepSize().wraps();
        rollTop += kTicketLine;
    }
    if (roll)
        top.height = rollTop + 60;

    struct ManifestColumn {
        const char *head, *field;
        Column at;  // on A4
    };
    static const ManifestColumn columns[] = {
        {"Seat", "SEAT", {0, 450}},
        {"Customer no.", "CUSTOMERID", {500, 1250}},
        {"Passenger", "NAME", {1850, 2450}},
        {"Age/Gender", "AGE_GENDER", {4400, 1150}},
        {"Boards at", "BOARDS", {5650, 1625}},
        {"Alights at", "ALIGHTS", {7375, 1651}},
    };
    if (roll) {
        ReportSection &detail = l.addSection(QStringLiteral("Detail"), SectionKind::Detail, 0);
        detail.addLine(QStringLiteral("Line1"), at(0, 30, width, 0));
        int y = 90;
        for (const ManifestColumn &c : columns) {
            const QString field = QString::fromLatin1(c.field);
            detail.addLabel(QStringLiteral("lbl") + field, QString::fromLatin1(c.head),
                            at(0, y, kTicketValueLeft - 60, kOneLine));
            detail.addTextBox(QStringLiteral("txt") + field, field, at(kTicketValueLeft, y, width - kTicketValueLeft, kOneLine))
                .setFont(heading())
                .keepSize()
                .wraps();
            y += kTicketLine;
        }
        detail.height = y;
    } else {
        ReportSection &head = l.addSection(QStringLiteral("PageHeader"), SectionKind::PageHeader, 420);
        ReportSection &detail = l.addSection(QStringLiteral("Detail"), SectionKind::Detail, 345);
        for (const ManifestColumn &c : columns) {
            const QString field = QString::fromLatin1(c.field);
            head.addLabel(QStringLiteral("lbl") + field, QString::fromLatin1(c.head), at(c.at.left, 0, c.at.width))
                .setFont(heading())
                .wraps();
            detail.addTextBox(QStringLiteral("txt") + field, field, at(c.at.left, 30, c.at.width, kOneLine))
                .keepSize()
                .wraps();
        }
        head.addLine(QStringLiteral("Line1"), at(0, 330, width, 0));
    }

    // the stretches: the two stops, then the seats held and free on it at the right
    ReportSection &foot = l.addSection(QStringLiteral("ReportFooter"), SectionKind::ReportFooter, 0);
    foot.addLine(QStringLiteral("Line2"), at(0, 60, width, 0));
    int y = 150;
    if (stretches > 0) {
        const int count = roll ? 650 : 1500;  // "Seats free" on A4, "Free" on the roll
        const int freeLeft = width - count, heldLeft = freeLeft - count - 60, stretchWidth = heldLeft - 60;
        label(foot, "lblStretches", QStringLiteral("Seats free per stretch"), at(0, y, width, kOneLine))
            .setFont(heading());
        y += kTicketLine;
        label(foot, "lblStretch", QStringLiteral("Stretch"), at(0, y, stretchWidth, kOneLine)).setFont(heading());
        label(foot, "lblHeld", roll ? QStringLiteral("Held") : QStringLiteral("Seats held"), at(heldLeft, y, count, kOneLine))
            .setFont(heading())
            .setAlign(Align::Right);
        label(foot, "lblFree", roll ? QStringLiteral("Free") : QStringLiteral("Seats free"), at(freeLeft, y, count, kOneLine))
            .setFont(heading())
            .setAlign(Align::Right);
        y += kTicketLine;
        for (int k = 1; k <= stretches; ++k) {
            foot.addLabel(QStringLiteral("txtStretch%1").arg(k), QString(), at(0, y, stretchWidth, kOneLine)).keepSize().wraps();
            foot.addLabel(QStringLiteral("txtHeld%1").arg(k), QString(), at(heldLeft, y, count, kOneLine))
                .setAlign(Align::Right);
            foot.addLabel(QStringLiteral("txtFree%1").arg(k), QString(), at(freeLeft, y, count, kOneLine))
                .setAlign(Align::Right);
            y += kTicketLine;
        }
        y += 60;
    }
    placeholder(foot, "lblTotals", at(0, y, width, kOneLine)).setFont(heading()).keepSize().wraps();
    foot.height = y + kTicketLine + 60;
    return l;
}

}  // namespace nbk::reports::layouts
