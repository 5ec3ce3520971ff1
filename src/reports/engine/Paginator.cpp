#include "reports/engine/Paginator.h"

#include "reports/engine/ReportData.h"

#include <algorithm>
#include <stdexcept>

namespace nbk::report {

QStringList ReportPage::texts() const
{
    std::vector<const PageItem *> sorted;
    for (const auto &item : items)
        if (item.kind == ItemKind::Text)
            sorted.push_back(&item);
    std::stable_sort(sorted.begin(), sorted.end(), [](const PageItem *a, const PageItem *b) {
        return a->rect.top != b->rect.top ? a->rect.top < b->rect.top : a->rect.left < b->rect.left;
    });
    QStringList out;
    for (const auto *item : sorted)
        out << item->text;
    return out;
}

QStringList PagedReport::texts() const
{
    QStringList out;
    for (const auto &p : pages)
        out << p.texts();
    return out;
}

namespace {

// One band ready to be stamped: the section and, for each text box, its column.
struct Band {
    const ReportSection *section = nullptr;
    std::vector<int> columns;  // per control; -1 for none

    int height() const { return section && section->visible ? section->height : 0; }
    explicit operator bool() const { return section && section->visible; }
};

Band bandOf(const ReportLayout &layout, SectionKind kind, const ReportData &data)
{
    Band b;
    b.section = layout.sectionOf(kind);
    if (!b.section)
        return b;
    for (const auto &c : b.section->controls) {
        int col = -1;
        if (c.isTextBox() && !c.dataField.isEmpty()) {
            col = data.columnIndex(c.dataField);
            // a binding to a column the rows do not have is a fault of the screen, not an
            // empty report: say which
            if (col < 0 && c.visible)
                throw std::invalid_argument(
                    QStringLiteral("Data field '%1' of %2 in %3 is not a column of the rows")
                        .arg(c.dataField, c.name, b.section->name)
                        .toStdString());
        }
        b.columns.push_back(col);
    }
    return b;
}

class Paginator {
public:
    Paginator(const ReportLayout &layout, const ReportData &data) : layout_(layout), data_(data)
    {
        out_.title = layout.title;
        out_.page = layout.page;
        reportHeader_ = bandOf(layout, SectionKind::ReportHeader, data);
        pageHeader_ = bandOf(layout, SectionKind::PageHeader, data);
        detail_ = bandOf(layout, SectionKind::Detail, data);
        pageFooter_ = bandOf(layout, SectionKind::PageFooter, data);
        reportFooter_ = bandOf(layout, SectionKind::ReportFooter, data);
        footerTop_ = layout.page.height - layout.page.bottomMargin - pageFooter_.height();
    }

    PagedReport run()
    {
        startPage(true);
        for (int r = 0; r < data_.rowCount(); ++r)
            place(detail_, r);
        place(reportFooter_, data_.rowCount() - 1);
        endPage();
        return std::move(out_);
    }

private:
    void startPage(bool first)
    {
        out_.pages.emplace_back();
        y_ = layout_.page.topMargin;
        if (first)
            stamp(reportHeader_, 0);
        stamp(pageHeader_, 0);
        bodyStart_ = y_;
    }

    void endPage()
    {
        y_ = footerTop_;
        stamp(pageFooter_, 0);
    }

    // A band that does not fit goes whole to the next page; one taller than an empty page
    // is placed anyway (and runs into the footer) rather than looping for ever.
    void place(const Band &band, int row)
    {
        if (!band)
            return;
        if (y_ + band.height() > footerTop_ && y_ > bodyStart_) {
            endPage();
            startPage(false);
        }
        stamp(band, row);
    }

    void stamp(const Band &band, int row)
    {
        if (!band)
            return;
        auto &items = out_.pages.back().items;
        const ReportSection &s = *band.section;
        const int left = layout_.page.leftMargin;
        for (size_t i = 0; i < s.controls.size(); ++i) {
            const ReportControl &c = s.controls[i];
            if (!c.visible)
                continue;
            PageItem item;
            switch (c.kind) {
            case ControlKind::Label:
                item.text = c.caption;
                break;
            case ControlKind::TextBox:
                if (band.columns[i] >= 0 && row >= 0 && row < data_.rowCount())
                    item.text = formatValue(data_.rows[size_t(row)].value(band.columns[i]), c.format);
                break;
            case ControlKind::Line:
                item.kind = ItemKind::Line;
                item.lineWidth = c.lineWidth;
                break;
            case ControlKind::Image:
                if (c.image.isNull())
                    continue;
                item.kind = ItemKind::Image;
                item.image = c.image;
                break;
            }
            if (item.kind == ItemKind::Text && item.text.isEmpty())
                continue;
            item.rect = {left + c.rect.left, y_ + c.rect.top, c.rect.width, c.rect.height};
            item.font = c.font;
            item.align = c.align;
            item.section = s.name;
            item.control = c.name;
            items.push_back(std::move(item));
        }
        y_ += s.height;
    }

    const ReportLayout &layout_;
    const ReportData &data_;
    PagedReport out_;
    Band reportHeader_, pageHeader_, detail_, pageFooter_, reportFooter_;
    int footerTop_ = 0;
    int bodyStart_ = 0;
    int y_ = 0;
};

}  // namespace

PagedReport paginate(const ReportLayout &layout, const ReportData &data)
{
    return Paginator(layout, data).run();
}

}  // namespace nbk::report
