// Every report filled with long data (40-character names, long place and station names, the
// longest long date) keeps each text inside its control, apart from every other text and at
// a readable size: on the paginator's items, and in the PDF at 1200 dpi and at 96 dpi.
#include "reports/BuildSeatChart.h"
#include "reports/DayStatementQueries.h"
#include "reports/DayStatementReport.h"
#include "reports/FillReports.h"
#include "reports/QStringPrint.h"
#include "reports/RefundSlip.h"
#include "reports/SeatChart.h"
#include "reports/ServiceQueries.h"
#include "reports/TicketQueries.h"
#include "reports/engine/Renderer.h"
#include "reports/screens/PrintReport.h"
#include "reports/engine/TextFit.h"

#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace nbk;
using namespace nbk::reports;
using data::ResultSet;
using report::PageItem;

namespace {

const QString kName = QStringLiteral("Venkatasubramanian Ramakrishnan Iyengars");
const QString kOrigin = QStringLiteral("Kempegowda Bus Station Majestic");
const QString kDestination = QStringLiteral("Tiruchirappalli Central Bus Stand");
const QStringList kStops{kOrigin, QStringLiteral("Chikkamagaluru"), QStringLiteral("Channarayapatna"),
                         QStringLiteral("Sakleshpura"), kDestination};
// late in the evening of a two-digit day: "30 Sep 2026 22:47"
const QDateTime kDeparture(QDate(2026, 9, 30), QTime(22, 47));

ResultSet ticketRows(int n)
{
    std::vector<QVariantList> rows;
    for (int i = 0; i < n; ++i)
        rows.push_back({1000001 + i, kName, 2147483, kOrigin, kDestination, kDeparture, 32767, 120, "F",
                        "+91 98450 12345"});
    return ResultSet({"CUSTOMERID", "NAME", "INSTANCE", "ORIGIN", "DESTINATION", "JOURNEY_DATE", "FARE", "AGE",
                      "GENDER", "PHONE"},
                     rows);
}

const QString kRouteName = QStringLiteral("Coastal Karnataka Overnight Express Service");

CustomerTicket longTicket()
{
    return {1000001, ticketRows(1), ResultSet({"seat_no"}, {{1}, {22}, {50}, {7}, {8}, {9}, {10}, {11}, {12}, {13}}),
            ResultSet({"RUN", "ROUTE", "ROUTE_NAME", "ROUTE_FROM", "ROUTE_TO", "CLASS", "CLASS_NAME", "DEPARTS",
                       "VEHICLE"},
                      {{2147483, 214748, kRouteName, kOrigin, kDestination, 4, "Air - Bus", kDeparture,
                        "KA-09-MN-4521"}})};
}
FilledReport customerTicket() { return fillFullTicketReport(longTicket()); }
FilledReport customerTicketA4() { return fillFullTicketReport(longTicket(), Paper::A4); }

RunManifest longManifest()
{
    RunManifest m{longTicket().run,
                  ResultSet({"SEAT", "CUSTOMERID", "NAME", "AGE", "GENDER", "BOARDS", "ALIGHTS"},
                            {{1, 2147483647, kName, 120, "F", kOrigin, kDestination},
                             {50, 1000001, kName, 120, "M", kDestination, kOrigin}})};
    for (int k = 1; k < kStops.size(); ++k)
        m.stretches.append({kStops[k - 1], {}, kStops[k], {}, 200, 0});
    m.vehicleSeats = 200;
    return m;
}
FilledReport manifest() { return fillManifest(longManifest(), Paper::A4); }
FilledReport manifestRoll() { return fillManifest(longManifest(), Paper::Roll); }

FilledReport instanceList() { return fillTicketReport({QStringLiteral("0002147483"), ticketRows(3)}); }

// Longer than an upright page holds: the page turns. Twice as long: the lines wrap as well.
const QStringList kLongRoute = kStops + kStops;

FilledReport seatChartOf(const QStringList &stops)
{
    std::vector<QVariantList> lines;
    SeatChartData c;
    for (int seat = 1; seat <= chart::kSeatLines; ++seat) {
        // two customers on a third of the seats, one on another third
        QList<chart::Booking> b;
        if (seat % 3)
            b << chart::Booking{1, 2, QString::number(2147483000 + seat)};
        if (seat % 3 == 1)
            b << chart::Booking{3, 4, QString::number(2147482000 + seat)};
        lines.push_back({seat, chart::seatLine(stops, b)});
        c.seats << chart::SeatMarks{seat, chart::heldStretches(int(stops.size()), b), chart::holders(b)};
    }
    c.stops = stops;
    c.instanceId = 2147483;
    c.headerLine = chart::headerLine(stops);
    c.lines = ResultSet({"seat_no", "line"}, lines);
    c.run = ResultSet({"INSTANCE_ID", "BUS_ID", "DEP_DATE"}, {{2147483, 214748, kDeparture}});
    return fillSeatMatrix(c);
}
FilledReport seatChart() { return seatChartOf(kStops); }
FilledReport longSeatChart() { return seatChartOf(kLongRoute); }

FilledReport routeMap()
{
    return fillRouteDetails({QStringLiteral("214748"), kStops.join(QLatin1Char('-')),
                             ResultSet({"INSTANCE_ID", "DEP_DATE", "KM"},
                                       {{2147483, kDeparture, 1234.5}, {2147484, kDeparture, 1234.5}})});
}

FilledReport accidentReport()
{
    return fillAccidentReport(
        {QStringLiteral("  KA-09-MN-4521 "), QStringLiteral("2147483"),
         ResultSet({"REGISTRATION", "INSTANCE", "NAME", "AGE", "GENDER", "PHONE", "CUSTOMER_ID", "DEP_DATE"},
                   {{"KA-09-MN-4521", 2147483, kName, 120, "F", "+91 98450 12345", 1000001, kDeparture}})});
}

FilledReport passengerList()
{
    return fillPassengerList(ResultSet({"CUSTOMER_ID", "INSTANCE_ID", "JOURNEY_DATE", "NAME", "AGE", "PHONE", "GENDER",
                                        "ORIGIN", "DESTIN", "FARE", "INSTANCE_ID", "SEAT_NO", "ROUTE_SEQUENCE1",
                                        "ROUTE_SEQUENCE2", "CUSTOMER_ID", "STATUS"},
                                       {{1000001, 2147483, kDeparture, kName, 120, "+91 98450 12345", "F", "Ke123456",
                                         "Ti123457", 32767, 2147483, 50, 1, 4, 1000001, "r"}}));
}

FilledReport timeTable()
{
    return fillTimeTable(ResultSet({"INSTANCE_ID", "BUS_ID", "DEP_DATE", "LOCATION", "CITY", "DESCRIPTION"},
                                   {{2147483, 214748, QDateTime(QDate(2026, 12, 30), QTime(22, 47)), kOrigin,
                                     QStringLiteral("Tiruchirappalli"), "Semi - Luxury"}}));
}

FilledReport dayStatement()
{
    DayStatementData d{QDate(2026, 9, 30), kName, {}, 32767 * 31, 32767 * 30};
    const QList<int> seats{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25,
                           26, 27, 28, 29, 30, 31};
    d.lines.push_back({kDeparture, "Booking", 2147483647, kName, 2147483647, seats, 32767 * 31, 0});
    d.lines.push_back({kDeparture, "Partial cancellation", 2147483647, kName, 2147483647, seats.mid(1), 0, 32767 * 30});
    return fillDayStatement(d);
}

// A partial cancellation of many seats in the last slab, paise in every amount.
RefundSlipData longRefund()
{
    RefundSlipData r;
    r.cancellation = {kDeparture.addDays(-2), "Partial cancellation", 2147483647, kName, 2147483647,
                      {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}, 0, 16383.25, 16383.75, kDeparture, 0.5};
    r.slabFrom = 24;
    return r;
}
FilledReport refundSlip() { return fillRefundSlip(longRefund()); }
FilledReport refundSlipA4() { return fillRefundSlip(longRefund(), Paper::A4); }

struct Case {
    const char *name;
    FilledReport (*make)();
    QStringList whole;  // texts that wrap rather than lose a character
};

const Case kCases[] = {
    {"FullTicketReport", customerTicket,
     {kName, kOrigin, kDestination, "30 Sep 2026 22:47", "214748 " + kRouteName, "1, 22, 50, 7, 8, 9, 10, 11, 12, 13"}},
    {"FullTicketReportA4", customerTicketA4, {kName, kOrigin, kDestination, "30 Sep 2026 22:47"}},
    {"RefundSlip", refundSlip,
     {kName, "30 Sep 2026 22:47", "28 Sep 2026", "\u20B9 32767", "\u20B9 16383.75 (50%, slab from 24 h before departure)",
      "\u20B9 16383.25", "1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16"}},
    {"RefundSlipA4", refundSlipA4, {kName, "\u20B9 16383.25"}},
    {"Manifest", manifest,
     {kName, kOrigin, kDestination, "214748 " + kRouteName, "120 / Female", "2147483647",
      kOrigin + " to Chikkamagaluru", "Sakleshpura to " + kDestination, "Bookings: 2   Passengers: 2   Seats held: 2 of 200"}},
    {"ManifestRoll", manifestRoll,
     {kName, kOrigin, kDestination, "214748 " + kRouteName, "120 / Female", "2147483647",
      kOrigin + " to Chikkamagaluru", "Sakleshpura to " + kDestination, "Bookings: 2   Passengers: 2   Seats held: 2 of 200"}},
    {"TicketReport", instanceList, {kName, kOrigin, kDestination, "30 Sep 2026 22:47"}},
    {"SeatMatrix", seatChart, QStringList{"30 Sep 2026", "2147483001, 2147482001"} + kStops},
    {"SeatMatrixWrapped", longSeatChart, kLongRoute},
    {"RouteDetails", routeMap, {kStops.join(QLatin1Char('-')), "30 Sep 2026 22:47"}},
    {"AR", accidentReport, {kName, "  KA-09-MN-4521 ", "+91 98450 12345"}},
    {"DataReport1", passengerList, {kName}},
    {"TimeTable", timeTable, {kOrigin, "Tiruchirappalli", "30 Dec 2026 22:47", "Semi - Luxury"}},
    {"DayStatement", dayStatement, {kName, "30 Sep 2026", "Partial cancellation", "1015777"}},
};

// Where an item's lines are drawn, in twips from the page's corner.
QRectF drawnBox(const PageItem &item)
{
    double width = 0;
    for (const QString &line : item.lines)
        width = std::max(width, report::textWidth(line, item.font, item.font.pointSize));
    const double height = item.lines.size() * report::lineHeight(item.font, item.font.pointSize);
    double left = item.rect.left;
    if (item.align == report::Align::Centre)
        left += (item.rect.width - width) / 2;
    else if (item.align == report::Align::Right)
        left += item.rect.width - width;
    return {left, double(item.rect.top), width, height};
}

std::string what(const PageItem &item) { return (item.section + QLatin1Char('.') + item.control + QStringLiteral(": ") + item.text).toStdString(); }

// Word boxes of every page as pdftotext reads them, in points.
std::vector<std::vector<std::pair<QString, QRectF>>> pdfWords(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    p.waitForFinished(60000);
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    std::vector<std::vector<std::pair<QString, QRectF>>> pages;
    static const QRegularExpression tag(QStringLiteral(
        R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    for (auto m = tag.globalMatch(html); m.hasNext();) {
        const auto w = m.next();
        if (w.captured(0) == QLatin1String("<page ")) {
            pages.emplace_back();
            continue;
        }
        const double x0 = w.captured(1).toDouble(), y0 = w.captured(2).toDouble();
        pages.back().push_back({w.captured(5), QRectF(x0, y0, w.captured(3).toDouble() - x0, w.captured(4).toDouble() - y0)});
    }
    return pages;
}

class ReportFit : public testing::TestWithParam<Case> {};

TEST_P(ReportFit, TextsStayInTheirControlsApartAndReadable)
{
    const FilledReport f = GetParam().make();
    const report::PagedReport r = report::paginate(f.layout, f.data);
    const report::PageSetup &page = r.page;
    QStringList shown;
    for (const auto &p : r.pages) {
        std::vector<std::pair<const PageItem *, QRectF>> texts;
        for (const PageItem &item : p.items) {
            if (item.kind != report::ItemKind::Text)
                continue;
            const QRectF box = drawnBox(item);
            EXPECT_GE(item.font.pointSize, report::kFloorPointSize) << what(item);
            // half a twip for rounding
            EXPECT_TRUE(QRectF(item.rect.left, item.rect.top, item.rect.width, item.rect.height)
                            .adjusted(-0.5, -0.5, 0.5, 0.5)
                            .contains(box))
                << what(item);
            EXPECT_LE(box.right(), page.width - page.rightMargin) << what(item);
            for (const auto &[other, otherBox] : texts)
                EXPECT_FALSE(box.intersects(otherBox)) << what(item) << " over " << what(*other);
            texts.push_back({&item, box});
            shown << QString(item.lines.join(QString())).remove(QLatin1Char(' '));
        }
    }
    for (const QString &text : GetParam().whole)
        EXPECT_TRUE(shown.contains(QString(text).remove(QLatin1Char(' '))))
            << text.toStdString() << " not whole in " << testing::PrintToString(shown);

    // the same on paper: the PDF writer at 1200 dpi and a printer at the screen's 96
    QTemporaryDir dir;
    const QString fine = dir.filePath(QStringLiteral("fine.pdf")), coarse = dir.filePath(QStringLiteral("coarse.pdf"));
    ASSERT_TRUE(report::writePdf(r, fine));
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(coarse);
    ASSERT_TRUE(report::print(r, printer));
    ASSERT_EQ(printer.resolution(), 96);
    for (const QString &pdf : {fine, coarse}) {
        const auto pages = pdfWords(pdf);
        ASSERT_EQ(int(pages.size()), r.pageCount()) << pdf.toStdString();
        for (size_t n = 0; n < pages.size(); ++n) {
            const auto &words = pages[n];
            ASSERT_FALSE(words.empty());
            for (size_t i = 0; i < words.size(); ++i) {
                const auto &[word, box] = words[i];
                // a box is about 1.16 times the size; 7 points give 8.1
                EXPECT_GE(box.height(), report::kFloorPointSize) << word.toStdString();
                // inside the rectangle of a control (points are 20 twips), a point to spare
                const auto &items = r.pages[n].items;
                EXPECT_TRUE(std::any_of(items.begin(), items.end(), [&](const PageItem &it) {
                    const QRectF at(it.rect.left / 20.0 - 1, it.rect.top / 20.0, it.rect.width / 20.0 + 2,
                                    it.rect.height / 20.0);
                    return at.left() <= box.left() && box.right() <= at.right() && at.top() <= box.center().y()
                           && box.center().y() <= at.bottom();
                })) << word.toStdString() << " outside its control on page " << n + 1 << " of " << pdf.toStdString();
                for (size_t j = 0; j < i; ++j) {
                    // a tenth of a point: the boxes of neighbouring lines may touch
                    const QRectF common = box.intersected(words[j].second);
                    EXPECT_FALSE(common.width() > 0.1 && common.height() > 0.1)
                        << word.toStdString() << " over " << words[j].first.toStdString() << " on page " << n + 1
                        << " of " << pdf.toStdString();
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryReport, ReportFit, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case> &i) { return std::string(i.param.name); });

}  // namespace
