#include "reports/engine/Paginator.h"

#include "reports/engine/ReportData.h"
#include "reports/engine/TextFit.h"

#include <algorithm>
#include <limits>
#include <numeric>
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

// A band laid out for one row: its items relative to the band's top-left corner and the
// height it takes once its wrapped texts have grown.
struct LaidOutBand {
    std::vector<PageItem> items;
    int height = 0;
};

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
        // the same on every page
        footer_ = layOut(pageFooter_, 0);
        header_ = layOut(pageHeader_, 0);
        footerTop_ = layout.page.roll ? std::numeric_limits<int>::max() / 2
                                      : layout.page.height - layout.page.bottomMargin - footer_.height;
    }

    PagedReport run()
    {
        startPage(true);
        for (int r = 0; r < data_.rowCount(); ++r)
            place(layOut(detail_, r));
        place(layOut(reportFooter_, data_.rowCount() - 1));
        endPage();
        return std::move(out_);
    }

private:
    void startPage(bool first)
    {
        out_.pages.emplace_back();
        y_ = layout_.page.topMargin;
        if (first)
            stamp(layOut(reportHeader_, 0));
        stamp(header_);
        bodyStart_ = y_;
    }

    void endPage()
    {
        if (!layout_.page.roll)
            y_ = footerTop_;
        stamp(footer_);
        // a roll is cut where its content ends
        if (layout_.page.roll)
            out_.page.height = y_ + layout_.page.bottomMargin;
    }

    // A band that does not fit goes whole to the next page; one taller than an empty page
    // is placed anyway (and runs into the footer) rather than looping for ever.
    void place(const LaidOutBand &band)
    {
        if (band.height == 0 && band.items.empty())
            return;
        if (y_ + band.height > footerTop_ && y_ > bodyStart_) {
            endPage();
            startPage(false);
        }
        stamp(band);
    }

    void stamp(const LaidOutBand &band)
    {
        auto &items = out_.pages.back().items;
        for (PageItem item : band.items) {
            item.rect.left += layout_.page.leftMargin;
            item.rect.top += y_;
            items.push_back(std::move(item));
        }
        y_ += band.height;
    }

    LaidOutBand layOut(const Band &band, int row) const
    {
        LaidOutBand out;
        if (!band)
            return out;
        const ReportSection &s = *band.section;
        std::vector<const ReportControl *> placed;
        std::vector<int> grown;  // twips each item grew by
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
            item.rect = c.rect;
            item.font = c.font;
            item.align = c.align;
            item.section = s.name;
            item.control = c.name;
            int growth = 0;
            if (item.kind == ItemKind::Text) {
                const FittedText fitted = fitText(item.text, c);
                item.lines = fitted.lines;
                item.font.pointSize = fitted.pointSize;
                growth = std::max(0, fitted.height - c.rect.height);
                item.rect.height += growth;
            }
            out.items.push_back(std::move(item));
            placed.push_back(&c);
            grown.push_back(growth);
        }
        // what stands below a grown text moves down with it, and with whatever moved that
        // text down (lines of fields one under another); the band grows by the most
        std::vector<size_t> order(placed.size());
        std::iota(order.begin(), order.end(), size_t(0));
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            const TwipRect &ra = placed[a]->rect, &rb = placed[b]->rect;
            return ra.top != rb.top ? ra.top < rb.top : ra.bottom() < rb.bottom();
        });
        std::vector<int> shift(placed.size(), 0);
        int bandGrowth = 0;
        for (size_t j : order) {
            for (size_t i = 0; i < placed.size(); ++i)
                if (i != j && placed[j]->rect.top >= placed[i]->rect.bottom())
                    shift[j] = std::max(shift[j], shift[i] + grown[i]);
            out.items[j].rect.top += shift[j];
            bandGrowth = std::max(bandGrowth, shift[j] + grown[j]);
        }
        out.height = s.height + bandGrowth;
        return out;
    }

    const ReportLayout &layout_;
    const ReportData &data_;
    PagedReport out_;
    Band reportHeader_, pageHeader_, detail_, pageFooter_, reportFooter_;
    LaidOutBand header_, footer_;
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
