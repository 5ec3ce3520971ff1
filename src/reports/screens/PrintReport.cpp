#include "reports/screens/PrintReport.h"

#include "reports/engine/Renderer.h"

#include <QPainter>
#include <QPrinter>

namespace nbk::report {

bool print(const PagedReport &report, QPrinter &printer)
{
    printer.setFullPage(true);  // item positions count from the paper's corner
    printer.setPageSize(pageSizeOf(report.page));
    printer.setPageOrientation(orientationOf(report.page));
    if (!report.title.isEmpty())
        printer.setDocName(report.title);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    for (int i = 0; i < report.pageCount(); ++i) {
        if (i > 0)
            printer.newPage();
        renderPage(report.pages[size_t(i)], painter);
    }
    return painter.end();
}

}  // namespace nbk::report
