#include "reports/engine/Renderer.h"

#include "ui/Twips.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>

#include <cmath>

namespace nbk::report {

namespace {

// Twips to the device's own units, kept fractional until the last step so that a 96-dpi
// screen and a 1200-dpi printer put an item at the same physical place.
struct Scale {
    double x;
    double y;
    explicit Scale(const QPaintDevice &d) : x(d.logicalDpiX() / 1440.0), y(d.logicalDpiY() / 1440.0) {}
    QRectF rect(const TwipRect &r) const { return {r.left * x, r.top * y, r.width * x, r.height * y}; }
};

QFont deviceFont(const ReportFont &f, const QPaintDevice &device)
{
    QFont font(f.family);
    // pixels of this device, not points: a QImage or a PDF writer would otherwise convert
    // points through a resolution of its own choosing
    font.setPixelSize(std::max(1, int(std::lround(f.pointSize * device.logicalDpiY() / 72.0))));
    font.setBold(f.bold);
    font.setItalic(f.italic);
    font.setFixedPitch(f.fixedPitch);
    if (f.fixedPitch)
        font.setStyleHint(QFont::Monospace);
    return font;
}

int alignFlags(Align a)
{
    switch (a) {
    case Align::Centre:
        return Qt::AlignHCenter;
    case Align::Right:
        return Qt::AlignRight;
    case Align::Left:
        break;
    }
    return Qt::AlignLeft;
}

QPageSize pageSizeOf(const PageSetup &page)
{
    return QPageSize(QSizeF(page.width / 1440.0, page.height / 1440.0), QPageSize::Inch,
                     QString(), QPageSize::ExactMatch);
}

}  // namespace

void renderPage(const ReportPage &page, QPainter &painter)
{
    QPaintDevice *device = painter.device();
    if (!device)
        return;
    const Scale s(*device);
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);  // QR modules stay square
    QFont lastFont;
    const ReportFont *lastDesign = nullptr;
    for (const PageItem &item : page.items) {
        const QRectF r = s.rect(item.rect);
        switch (item.kind) {
        case ItemKind::Text:
            if (!lastDesign || !(*lastDesign == item.font)) {
                lastFont = deviceFont(item.font, *device);
                lastDesign = &item.font;
                painter.setFont(lastFont);
            }
            painter.setPen(Qt::black);
            // long texts run on past the box rather than lose characters
            painter.drawText(r, alignFlags(item.align) | Qt::AlignTop | Qt::TextSingleLine
                                    | Qt::TextDontClip,
                             item.text);
            break;
        case ItemKind::Line:
            // flat ends: the line covers its rectangle's width and no more
            painter.setPen(QPen(Qt::black, std::max(1.0, item.lineWidth * s.y), Qt::SolidLine,
                                Qt::FlatCap));
            painter.drawLine(r.topLeft(), r.bottomRight());
            break;
        case ItemKind::Image:
            painter.drawImage(r, item.image);
            break;
        }
    }
    painter.restore();
}

bool print(const PagedReport &report, QPrinter &printer)
{
    printer.setFullPage(true);  // item positions count from the paper's corner
    printer.setPageSize(pageSizeOf(report.page));
    printer.setPageOrientation(QPageLayout::Portrait);
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

bool writePdf(const PagedReport &report, const QString &path, QString *error)
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    {
        // QPdfWriter reports nothing when it cannot write; find out first
        QFile probe(path);
        if (!probe.open(QIODevice::WriteOnly))
            return fail(QStringLiteral("Cannot write %1: %2").arg(path, probe.errorString()));
    }
    QPdfWriter writer(path);
    writer.setResolution(1200);
    writer.setPageSize(pageSizeOf(report.page));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setTitle(report.title);
    writer.setCreator(QStringLiteral("N.B.K Reservation System"));
    QPainter painter;
    if (!painter.begin(&writer))
        return fail(QStringLiteral("Cannot write %1").arg(path));
    for (int i = 0; i < report.pageCount(); ++i) {
        if (i > 0)
            writer.newPage();
        renderPage(report.pages[size_t(i)], painter);
    }
    if (!painter.end())
        return fail(QStringLiteral("Cannot finish %1").arg(path));
    return true;
}

bool writePdf(const ReportLayout &layout, const ReportData &data, const QString &path,
              QString *error)
{
    return writePdf(paginate(layout, data), path, error);
}

QImage renderPageImage(const PagedReport &report, int pageIndex, int dotsPerInch)
{
    const int w = int(std::lround(nbk::ui::twipsToDevice(report.page.width, dotsPerInch)));
    const int h = int(std::lround(nbk::ui::twipsToDevice(report.page.height, dotsPerInch)));
    QImage image(w, h, QImage::Format_RGB32);
    const int dpm = int(std::lround(dotsPerInch / 0.0254));
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
    image.fill(Qt::white);
    if (pageIndex < 0 || pageIndex >= report.pageCount())
        return image;
    QPainter painter(&image);
    renderPage(report.pages[size_t(pageIndex)], painter);
    return image;
}

}  // namespace nbk::report
