#pragma once
#include "reports/engine/ReportData.h"
#include "reports/engine/ReportLayout.h"

#include <QImage>
#include <QString>
#include <vector>

namespace nbk::report {

enum class ItemKind { Text, Line, Image };

// One thing to draw on a page, already placed: rect in twips from the page's top-left
// corner (margins included).
struct PageItem {
    ItemKind kind = ItemKind::Text;
    QString text;       // the value or caption, whole
    QStringList lines;  // what is drawn: the text fitted to its rectangle, wrapped or cut
    TwipRect rect;      // grown downwards by a wrapped text
    ReportFont font;    // at the size the text was fitted to
    Align align = Align::Left;
    QImage image;
    int lineWidth = 15;
    QString section;  // the section and control it came from, for tests and tools
    QString control;
};

struct ReportPage {
    std::vector<PageItem> items;
    // Texts in their order on the page (top to bottom, left to right).
    QStringList texts() const;
};

// A report laid out into pages: what the renderer, the printer and the preview share.
struct PagedReport {
    QString title;
    PageSetup page;
    std::vector<ReportPage> pages;

    int pageCount() const { return int(pages.size()); }
    QStringList texts() const;  // of every page in turn
};

// Lays out the layout over the rows: report header once at the top of the first page,
// page header and page footer on every page (the footer at the foot of the body), one
// detail band per row, report footer after the last row. Texts are fitted to their
// controls (TextFit.h); on a roll (PageSetup::roll) there is one page, its footer follows the
// content and the page is as tall as they are; a wrapped text grows its control, moves the controls below it down
// and makes its band taller. A band is never split: one that does not fit in what is left
// of the page starts the next page. Invisible sections and
// controls, and texts that are empty, give no items. Throws std::invalid_argument when a
// visible text box is bound to a column the rows do not have (a text box with no data field
// stays empty). Needs a QGuiApplication, for the fonts' metrics.
PagedReport paginate(const ReportLayout &layout, const ReportData &data);

}  // namespace nbk::report
