#pragma once
#include "reports/engine/Paginator.h"

#include <QPageLayout>
#include <QPageSize>
#include <QString>

class QPainter;

namespace nbk::report {

// Paints one laid-out page on whatever device the painter is on, converting twips through
// that device's own resolution: the preview, a printer and a PDF show the same page.
void renderPage(const ReportPage &page, QPainter &painter);

// The sheet a page setup asks for, and which way it is turned, for a printer or PDF writer.
QPageSize pageSizeOf(const PageSetup &page);
QPageLayout::Orientation orientationOf(const PageSetup &page);

// Writes the report to a PDF file through QPdfWriter at 1200 dpi. On failure returns false
// and tells why in *error.
bool writePdf(const PagedReport &report, const QString &path, QString *error = nullptr);
bool writePdf(const ReportLayout &layout, const ReportData &data, const QString &path,
              QString *error = nullptr);

// A page as an image at the given resolution (white background), for checks and thumbnails.
QImage renderPageImage(const PagedReport &report, int pageIndex, int dotsPerInch);

}  // namespace nbk::report
