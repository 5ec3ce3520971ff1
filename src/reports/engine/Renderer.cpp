#include "reports/engine/Renderer.h"

#include "reports/engine/TextFit.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPageSize>
#include <QPdfWriter>

#include <cmath>

namespace nbk::report {

namespace {

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

}  // namespace

// A page wider than tall is the same sheet turned: printers know sheets upright.
QPageSize pageSizeOf(const PageSetup &page)
{
    const int shorter = std::min(page.width, page.height), longer = std::max(page.width, page.height);
    return QPageSize(QSizeF(shorter / 1440.0, longer / 1440.0), QPageSize::Inch, QString(), QPageSize::ExactMatch);
}

QPageLayout::Orientation orientationOf(const PageSetup &page)
{
    return page.width > page.height ? QPageLayout::Landscape : QPageLayout::Portrait;
}


void renderPage(const ReportPage &page, QPainter &painter)
{
    QPaintDevice *device = painter.device();
    if (!device)
        return;
    painter.save();
    // everything in twips: the fonts' advances are then the paginator's on every device
    painter.scale(device->logicalDpiX() / 1440.0, device->logicalDpiY() / 1440.0);
    const double pixel = 1440.0 / device->logicalDpiY();  // a device pixel, in twips
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);  // QR modules stay square
    ReportFont lastDesign;
    bool fontSet = false;
    for (const PageItem &item : page.items) {
        const QRectF r(item.rect.left, item.rect.top, item.rect.width, item.rect.height);
        switch (item.kind) {
        case ItemKind::Text: {
            if (!fontSet || !(lastDesign == item.font)) {
                painter.setFont(twipFont(item.font, item.font.pointSize));
                lastDesign = item.font;
                fontSet = true;
            }
            painter.setPen(Qt::black);
            const double line = lineHeight(item.font, item.font.pointSize);
            const QStringList lines = item.lines.isEmpty() ? QStringList{item.text} : item.lines;
            // the paginator fitted every line to the rectangle in these very metrics: no clip
            // (a clip per text would double a long list's PDF time)
            for (qsizetype i = 0; i < lines.size(); ++i)
                painter.drawText(QRectF(r.left(), r.top() + i * line, r.width(), line),
                                 alignFlags(item.align) | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip,
                                 lines[i]);
            break;
        }
        case ItemKind::Line:
            // flat ends: the line covers its rectangle's width and no more
            painter.setPen(QPen(Qt::black, std::max(pixel, double(item.lineWidth)), Qt::SolidLine, Qt::FlatCap));
            painter.drawLine(r.topLeft(), r.bottomRight());
            break;
        case ItemKind::Image:
            painter.drawImage(r, item.image);
            break;
        }
    }
    painter.restore();
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
    writer.setPageOrientation(orientationOf(report.page));
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
    const int w = int(std::lround(report.page.width * dotsPerInch / 1440.0));
    const int h = int(std::lround(report.page.height * dotsPerInch / 1440.0));
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
