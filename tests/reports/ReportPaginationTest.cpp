#include "data/session/ResultSet.h"
#include "reports/engine/Paginator.h"
#include "reports/engine/TextFit.h"
#include "reports/QStringPrint.h"

#include <gtest/gtest.h>
#include <stdexcept>

using namespace nbk::report;

namespace {

// A page with 2000 twips of body: report header 300, page header 200, page footer 200,
// details of 400, report footer 300. Page 1 holds three details (1300 left), later pages
// exactly four (1600 left).
ReportLayout smallLayout()
{
    ReportLayout l(QStringLiteral("Small"), QStringLiteral("Small report"));
    l.page = {3000, 2200, 100, 100, 100, 100};
    l.addSection(QStringLiteral("Head"), SectionKind::ReportHeader, 300)
        .addLabel(QStringLiteral("Title"), QStringLiteral("TITLE"), {500, 50, 1000, 200});
    l.addSection(QStringLiteral("PageHead"), SectionKind::PageHeader, 200)
        .addLabel(QStringLiteral("Heading"), QStringLiteral("HEADING"), {0, 0, 1000, 200});
    l.addSection(QStringLiteral("Rows"), SectionKind::Detail, 400)
        .addTextBox(QStringLiteral("Text1"), QStringLiteral("N"), {200, 100, 800, 200});
    l.addSection(QStringLiteral("PageFoot"), SectionKind::PageFooter, 200)
        .addLabel(QStringLiteral("Foot"), QStringLiteral("FOOT"), {0, 0, 1000, 200});
    l.addSection(QStringLiteral("Tail"), SectionKind::ReportFooter, 300)
        .addLabel(QStringLiteral("End"), QStringLiteral("END"), {0, 0, 1000, 200});
    return l;
}

ReportData numbered(int n)
{
    ReportData d;
    d.columns = {QStringLiteral("n")};
    for (int i = 1; i <= n; ++i)
        d.rows.push_back({QStringLiteral("row%1").arg(i)});
    return d;
}

std::vector<const PageItem *> itemsOf(const ReportPage &p, const QString &section)
{
    std::vector<const PageItem *> out;
    for (const auto &i : p.items)
        if (i.section == section)
            out.push_back(&i);
    return out;
}

}  // namespace

TEST(ReportPagination, BandsGoToTheirPagesAndNoneIsSplit)
{
    const ReportLayout layout = smallLayout();
    const PagedReport r = paginate(layout, numbered(7));
    ASSERT_EQ(r.pageCount(), 3);
    EXPECT_EQ(r.title, QStringLiteral("Small report"));
    EXPECT_EQ(r.pages[0].texts(), (QStringList{"TITLE", "HEADING", "row1", "row2", "row3", "FOOT"}));
    // four details fill page 2 exactly; the report footer no longer fits
    EXPECT_EQ(r.pages[1].texts(), (QStringList{"HEADING", "row4", "row5", "row6", "row7", "FOOT"}));
    EXPECT_EQ(r.pages[2].texts(), (QStringList{"HEADING", "END", "FOOT"}));

    // positions: margins, band offsets and control offsets add up
    const auto title = itemsOf(r.pages[0], QStringLiteral("Head"));
    ASSERT_EQ(title.size(), 1u);
    EXPECT_EQ(title[0]->rect, (TwipRect{600, 150, 1000, 200}));
    const auto rows1 = itemsOf(r.pages[0], QStringLiteral("Rows"));
    ASSERT_EQ(rows1.size(), 3u);
    EXPECT_EQ(rows1[0]->rect, (TwipRect{300, 100 + 300 + 200 + 100, 800, 200}));
    EXPECT_EQ(rows1[2]->rect.top, 100 + 500 + 800 + 100);
    const auto rows2 = itemsOf(r.pages[1], QStringLiteral("Rows"));
    ASSERT_EQ(rows2.size(), 4u);
    EXPECT_EQ(rows2[0]->rect.top, 100 + 200 + 100);
    for (const auto &page : r.pages) {
        const auto foot = itemsOf(page, QStringLiteral("PageFoot"));
        ASSERT_EQ(foot.size(), 1u);
        EXPECT_EQ(foot[0]->rect.top, 2200 - 100 - 200);  // at the foot of the body
        for (const auto *row : itemsOf(page, QStringLiteral("Rows")))
            EXPECT_LE(row->rect.top - 100 + 400, foot[0]->rect.top) << row->text.toStdString();
    }
}

TEST(ReportPagination, NoRowsStillGivesHeadersAndFooters)
{
    const PagedReport r = paginate(smallLayout(), numbered(0));
    ASSERT_EQ(r.pageCount(), 1);
    EXPECT_EQ(r.pages[0].texts(), (QStringList{"TITLE", "HEADING", "END", "FOOT"}));
}

TEST(ReportPagination, BandTallerThanThePageEndsOnPagesOfItsOwn)
{
    ReportLayout layout = smallLayout();
    layout.section(QStringLiteral("Rows")).height = 5000;
    const PagedReport r = paginate(layout, numbered(3));
    // the first row shares page 1 with the headers; each later row takes a page
    ASSERT_EQ(r.pageCount(), 4);
    EXPECT_EQ(itemsOf(r.pages[0], QStringLiteral("Rows")).size(), 1u);
    EXPECT_EQ(itemsOf(r.pages[2], QStringLiteral("Rows")).size(), 1u);
    EXPECT_EQ(r.pages[3].texts(), (QStringList{"HEADING", "END", "FOOT"}));
}

TEST(ReportPagination, HiddenControlsSectionsAndEmptyTextsGiveNoItems)
{
    ReportLayout layout = smallLayout();
    layout.section(QStringLiteral("Head")).visible = false;
    layout.setVisible(QStringLiteral("PageFoot"), 0, false);
    auto &rows = layout.section(QStringLiteral("Rows"));
    rows.addLabel(QStringLiteral("Blank"), QString(), {0, 0, 100, 100});
    rows.addLine(QStringLiteral("Rule"), {0, 350, 2000, 0});
    ReportData data = numbered(1);
    data.rows[0][0] = QVariant();  // a null value prints nothing
    const PagedReport r = paginate(layout, data);
    ASSERT_EQ(r.pageCount(), 1);
    EXPECT_EQ(r.pages[0].texts(), (QStringList{"HEADING", "END"}));
    const auto detail = itemsOf(r.pages[0], QStringLiteral("Rows"));
    ASSERT_EQ(detail.size(), 1u);
    EXPECT_EQ(detail[0]->kind, ItemKind::Line);
    // without its header the page header moves to the top of the body
    EXPECT_EQ(itemsOf(r.pages[0], QStringLiteral("PageHead"))[0]->rect.top, 100);
}

// The ticket screens fill the seven headings and the seven fields by walking the
// sections' controls in their order.
TEST(ReportPagination, CaptionsAndFieldsSetByPositionShowTheColumns)
{
    ReportLayout l(QStringLiteral("TicketReport"), QStringLiteral("TicketReport"));
    auto &head = l.addSection(QStringLiteral("Section2"), SectionKind::PageHeader, 735);
    auto &rows = l.addSection(QStringLiteral("Section1"), SectionKind::Detail, 570);
    const int lefts[] = {288, 1584, 2592};
    for (int i = 0; i < 3; ++i) {
        head.addLabel(QStringLiteral("Label%1").arg(i + 2), QStringLiteral("Label"), {lefts[i], 288, 900, 285});
        rows.addTextBox(QStringLiteral("Text%1").arg(i + 2), QString(), {lefts[i], 144, 900, 285});
    }
    rows.addLabel(QStringLiteral("Note"), QStringLiteral("seat"), {4000, 144, 900, 285});

    const nbk::data::ResultSet rs({"CUSTOMERID", "NAME", "FARE"},
                                  {{101, "Ravi", 250.0}, {102, "Asha", 12.5}, {103, "Manu", QVariant()}});
    const ReportData data = ReportData::fromResultSet(rs);
    int column = 0;
    for (int i = 0; i < l.section(QStringLiteral("section2")).count(); ++i)
        l.setCaption(QStringLiteral("Section2"), i, data.columns[i] + QStringLiteral(" :"));
    for (auto &c : l.section(QStringLiteral("Section1")).controls)
        if (c.isTextBox())
            c.dataField = data.columns[column++].toLower();  // letter case of the field is free

    const PagedReport r = paginate(l, data);
    ASSERT_EQ(r.pageCount(), 1);
    EXPECT_EQ(r.pages[0].texts(),
              (QStringList{"CUSTOMERID :", "NAME :", "FARE :", "101", "Ravi", "250", "seat", "102",
                           "Asha", "12.5", "seat", "103", "Manu", "seat"}));
    EXPECT_EQ(itemsOf(r.pages[0], QStringLiteral("Section1")).size(), 3u * 4 - 1);

    l.setCaption(QStringLiteral("Section1"), QStringLiteral("note"), QStringLiteral("Seat Number :  "));
    EXPECT_EQ(paginate(l, data).pages[0].texts()[6], QStringLiteral("Seat Number :  "));
    EXPECT_THROW(l.control(QStringLiteral("Section2"), 3), std::out_of_range);
    EXPECT_THROW(l.section(QStringLiteral("Section9")), std::out_of_range);
}

TEST(ReportPagination, FieldThatIsNoColumnIsRefusedNotPrintedEmpty)
{
    ReportLayout layout = smallLayout();
    layout.control(QStringLiteral("Rows"), 0).dataField = QStringLiteral("missing");
    EXPECT_THROW(paginate(layout, numbered(1)), std::invalid_argument);
    layout.control(QStringLiteral("Rows"), 0).visible = false;
    EXPECT_NO_THROW(paginate(layout, numbered(1)));
}

TEST(ReportPagination, RowsReadFromResultSetLeaveItsCursorAlone)
{
    nbk::data::ResultSet rs({"a"}, {{1}, {2}, {3}});
    rs.moveNext();
    const ReportData d = ReportData::fromResultSet(rs);
    ASSERT_EQ(d.rowCount(), 3);
    EXPECT_EQ(d.rows[2][0].toInt(), 3);
    EXPECT_EQ(rs.position(), 1);
    EXPECT_EQ(rs.value(0).toInt(), 2);
    rs.close();
    EXPECT_EQ(ReportData::fromResultSet(rs).rowCount(), 0);
}

// Layout definitions keep the section and control they just added while adding more.
TEST(ReportPagination, ReferencesFromAddSurviveLaterAdds)
{
    ReportLayout l;
    auto &first = l.addSection(QStringLiteral("A"), SectionKind::PageHeader, 100);
    auto &label = first.addLabel(QStringLiteral("L1"), QStringLiteral("one"), {0, 0, 10, 10});
    for (int i = 0; i < 100; ++i) {
        l.addSection(QStringLiteral("S%1").arg(i), SectionKind::Detail, 10);
        first.addLabel(QStringLiteral("X%1").arg(i), QString(), {});
    }
    label.caption = QStringLiteral("changed");
    EXPECT_EQ(l.section(QStringLiteral("a")).at(0).caption, QStringLiteral("changed"));
    EXPECT_EQ(&l.section(QStringLiteral("A")), &first);
}

// A text wider than its control: a little too wide takes a smaller size; far too wide, at
// the floor, is cut with an ellipsis or wraps, its control growing, the control below it
// moving down, the one beside it staying, and the next band starting lower.
TEST(ReportPagination, WideTextShrinksThenIsCutOrWrapsGrowingItsBand)
{
    const QString longText = QStringLiteral("Venkatasubramanian Ramakrishnan Iyengars of Chikkamagaluru");
    const ReportFont font;
    const int narrow = int(textWidth(QStringLiteral("Ramakrishnan"), font, 8)) - 10;
    struct Case { const char *what; QString text; Overflow overflow; };
    for (const Case &c : {Case{"shrinks", QStringLiteral("Ramakrishnan"), Overflow::Cut},
                          Case{"cut", longText, Overflow::Cut}, Case{"wraps", longText, Overflow::Wrap}}) {
        ReportLayout l(QStringLiteral("Fit"), QStringLiteral("Fit"));
        auto &d = l.addSection(QStringLiteral("Rows"), SectionKind::Detail, 700);
        d.addTextBox(QStringLiteral("Name"), QStringLiteral("n"), {0, 0, narrow, 285}).setOverflow(c.overflow);
        d.addLabel(QStringLiteral("Below"), QStringLiteral("below"), {0, 300, 1000, 285});
        d.addLabel(QStringLiteral("Beside"), QStringLiteral("beside"), {narrow + 100, 0, 1000, 285});
        ReportData data;
        data.columns = {QStringLiteral("n")};
        data.rows = {{c.text}, {c.text}};
        const PagedReport r = paginate(l, data);
        const std::vector<PageItem> &items = r.pages[0].items;
        ASSERT_EQ(items.size(), 6u) << c.what;
        const PageItem &name = items[0], &below = items[1], &beside = items[2], &next = items[3];
        EXPECT_EQ(name.text, c.text) << c.what;
        EXPECT_GE(name.font.pointSize, kFloorPointSize) << c.what;
        EXPECT_EQ(beside.rect.top, name.rect.top) << c.what;
        if (c.overflow == Overflow::Cut) {
            ASSERT_EQ(name.lines.size(), 1) << c.what;
            EXPECT_LE(textWidth(name.lines[0], name.font, name.font.pointSize), narrow) << c.what;
            EXPECT_EQ(name.lines[0].endsWith(QChar(0x2026)), c.text == longText) << c.what;
            EXPECT_LT(name.font.pointSize, 8) << c.what;
            EXPECT_EQ(next.rect.top - name.rect.top, 700) << c.what;
            continue;
        }
        EXPECT_GT(name.lines.size(), 2);
        EXPECT_EQ(name.lines.join(QString()).remove(QLatin1Char(' ')), QString(longText).remove(QLatin1Char(' ')));
        const int growth = name.rect.height - 285;
        EXPECT_GE(growth, int(lineHeight(font, kFloorPointSize) * name.lines.size()) - 285);
        EXPECT_EQ(below.rect.top - name.rect.top, 300 + growth);
        EXPECT_EQ(next.rect.top - name.rect.top, 700 + growth);
    }
}

// Fields one under another that both wrap push what stands below them by both growths; on a
// roll the rows never break to a second page and the page ends where they do.
TEST(ReportPagination, StackedWrappedTextsPushTogetherAndARollIsAsLongAsItsRows)
{
    const QString longText = QStringLiteral("Venkatasubramanian Ramakrishnan Iyengars of Chikkamagaluru");
    ReportLayout l(QStringLiteral("Roll"), QStringLiteral("Roll"));
    l.page = PageSetup::ticketRoll();
    auto &d = l.addSection(QStringLiteral("Rows"), SectionKind::Detail, 900);
    d.addTextBox(QStringLiteral("First"), QStringLiteral("n"), {0, 0, 1500, 285}).wraps();
    d.addTextBox(QStringLiteral("Second"), QStringLiteral("n"), {0, 300, 1500, 285}).wraps();
    d.addLabel(QStringLiteral("Below"), QStringLiteral("below"), {0, 600, 1000, 285});
    ReportData data;
    data.columns = {QStringLiteral("n")};
    for (int i = 0; i < 30; ++i)
        data.rows.push_back({longText});
    const PagedReport r = paginate(l, data);
    ASSERT_EQ(r.pageCount(), 1);
    const std::vector<PageItem> &items = r.pages[0].items;
    ASSERT_EQ(items.size(), 90u);
    const PageItem &first = items[0], &second = items[1], &below = items[2], &next = items[3];
    const int growth = first.rect.height - 285;
    ASSERT_GT(growth, 0);
    EXPECT_EQ(second.rect.top - first.rect.top, 300 + growth);
    EXPECT_EQ(below.rect.top - first.rect.top, 600 + 2 * growth);
    EXPECT_EQ(next.rect.top - first.rect.top, 900 + 2 * growth);
    EXPECT_EQ(r.page.width, l.page.width);
    EXPECT_EQ(r.page.height, l.page.topMargin + 30 * (900 + 2 * growth) + l.page.bottomMargin);
}
