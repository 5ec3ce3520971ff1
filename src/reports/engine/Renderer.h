#pragma once
#include "reports/engine/Paginator.h"

#include <QString>

class QPainter;
class QPrinter;

namespace nbk::report {

// Paints one laid-out page on whatever device the painter is on, converting twips through
// that device's own resolution: the preview, a printer and a PDF show the same page.
void renderPage(const ReportPage &page, QPainter &painter);

// Every page in turn on a printer (preview printers included), one sheet each; the
// printer's page size is set from the report. False when the painter cannot start.
bool print(const PagedReport &report, QPrinter &printer);

// Writes the report to a PDF file through QPdfWriter at 1200 dpi. On failure returns false
// and tells why in *error.
bool writePdf(const PagedReport &report, const QString &path, QString *error = nullptr);
bool writePdf(const ReportLayout &layout, const ReportData &data, const QString &path,
              QString *error = nullptr);

// A page as an image at the given resolution (white background), for checks and thumbnails.
QImage renderPageImage(const PagedReport &report, int pageIndex, int dotsPerInch);

}  // namespace nbk::report
