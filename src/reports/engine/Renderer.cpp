#include "reports/engine/Renderer.h"

#include "reports/engine/TextFit.h"

#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QTextLayout>
#include <QPageSize>
#include <QPdfWriter>

#include <algorithm>
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

// Scripts whose letters the shaper rewrites (conjuncts, vowel signs drawn before their
// consonant, ligatures). Qt's PDF writer maps a drawn glyph back to text only when it is some
// character's own glyph: the text of such a name copied out of a PDF comes back as scattered
// letters, or not at all.
// The code points of a text with where each starts.
std::vector<std::pair<qsizetype, char32_t>> codePoints(const QString &text)
{
    std::vector<std::pair<qsizetype, char32_t>> out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out.push_back({i, QChar::surrogateToUcs4(text[i], text[i + 1])});
            ++i;
        } else {
            out.push_back({i, text[i].unicode()});
        }
    }
    return out;
}

bool shapedScript(const QString &text)
{
    // most lines are Latin letters, digits and signs: no list of code points for them
    if (std::all_of(text.begin(), text.end(), [](QChar ch) { return ch.unicode() < 0x0370; }))
        return false;
    for (const auto &[at, c] : codePoints(text)) {
        switch (QChar::script(c)) {
        case QChar::Script_Common:
        case QChar::Script_Inherited:
        case QChar::Script_Latin:
        case QChar::Script_Greek:
        case QChar::Script_Cyrillic:
            continue;
        default:
            return true;
        }
    }
    return false;
}

// A line of such a text on a PDF: the shaped glyphs as outlines, looking as on the screen, and
// under them, in white, each character's own glyph in reading order over the same width. The
// PDF's text layer then holds the characters as typed, and nothing else.
void drawShapedLine(QPainter &painter, const QRectF &box, Align align, const QString &line, const QFont &font)
{
    const QFontMetricsF metrics(font);
    const double width = metrics.horizontalAdvance(line);
    double x = box.left();
    if (align == Align::Centre)
        x += (box.width() - width) / 2;
    else if (align == Align::Right)
        x += box.width() - width;
    const QPointF origin(x, box.top() + metrics.ascent());

    // the font each character is drawn in (the fallback for a script the design's lacks)
    QTextLayout layout(line, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    struct Glyph {
        QRawFont font;
        quint32 index;
        double advance;
    };
    std::vector<Glyph> glyphs;
    double total = 0;
    for (const auto &[at, c] : codePoints(line)) {
        const QList<QGlyphRun> runs = layout.glyphRuns(int(at), c > 0xFFFF ? 2 : 1);
        QRawFont raw = runs.isEmpty() ? QRawFont::fromFont(font) : runs.first().rawFont();
        const QList<quint32> index = raw.glyphIndexesForString(QString::fromUcs4(&c, 1));
        if (index.isEmpty() || index.first() == 0)
            continue;
        const double advance = raw.advancesForGlyphIndexes(index).value(0).x();
        glyphs.push_back({raw, index.first(), advance});
        total += advance;
    }
    const double scale = total > 0 ? width / total : 1;
    painter.save();
    painter.setPen(Qt::white);
    double pen = 0;
    for (size_t i = 0; i < glyphs.size();) {
        QGlyphRun run;
        run.setRawFont(glyphs[i].font);
        QList<quint32> indexes;
        QList<QPointF> positions;
        for (; i < glyphs.size() && glyphs[i].font == run.rawFont(); ++i) {
            indexes << glyphs[i].index;
            positions << QPointF(pen, 0);
            pen += glyphs[i].advance * scale;
        }
        run.setGlyphIndexes(indexes);
        run.setPositions(positions);
        painter.drawGlyphRun(origin, run);
    }
    painter.restore();
    QPainterPath outline;
    outline.addText(origin, font, line);
    painter.fillPath(outline, Qt::black);
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
    const double sx = device->logicalDpiX() / 1440.0, sy = device->logicalDpiY() / 1440.0;
    const bool pdf = painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Pdf;
    // Everything in twips, so that the fonts' advances are the paginator's on every device.
    // On a fine PDF the coordinates are mapped here instead and the fonts sized in points: text
    // under a scaled painter costs the PDF writer a fifth more time, and at the writer's
    // resolution the advances of a font without hinting scale exactly (at a screen's they do not).
    const bool mapped = pdf && device->logicalDpiY() >= 600;
    if (!mapped)
        painter.scale(sx, sy);
    const auto onDevice = [&](const QRectF &r) {
        return mapped ? QRectF(r.left() * sx, r.top() * sy, r.width() * sx, r.height() * sy) : r;
    };
    const double unit = mapped ? sy : 1.0;          // a twip, in the painter's units
    const double pixel = mapped ? 1.0 : 1.0 / sy;   // a device pixel, in the painter's units
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);  // QR modules stay square
    ReportFont lastDesign;
    bool fontSet = false;
    // a pen set again, even the same one, makes the PDF engine write the graphics state again
    bool textPen = false;
    for (const PageItem &item : page.items) {
        const QRectF r(item.rect.left, item.rect.top, item.rect.width, item.rect.height);
        switch (item.kind) {
        case ItemKind::Text: {
            if (!fontSet || !(lastDesign == item.font)) {
                QFont font = twipFont(item.font, item.font.pointSize);
                if (mapped)
                    font.setPointSizeF(item.font.pointSize);
                painter.setFont(font);
                lastDesign = item.font;
                fontSet = true;
            }
            if (!textPen) {
                painter.setPen(Qt::black);
                textPen = true;
            }
            const double line = lineHeight(item.font, item.font.pointSize);
            const QStringList lines = item.lines.isEmpty() ? QStringList{item.text} : item.lines;
            // the paginator fitted every line to the rectangle in these very metrics: no clip
            // (a clip per text would double a long list's PDF time)
            for (qsizetype i = 0; i < lines.size(); ++i) {
                const QRectF box(r.left(), r.top() + i * line, r.width(), line);
                if (pdf && shapedScript(lines[i])) {
                    painter.save();
                    if (mapped)
                        painter.scale(sx, sy);
                    drawShapedLine(painter, box, item.align, lines[i], twipFont(item.font, item.font.pointSize));
                    painter.restore();
                } else {
                    painter.drawText(onDevice(box),
                                     alignFlags(item.align) | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip,
                                     lines[i]);
                }
            }
            break;
        }
        case ItemKind::Line: {
            // flat ends: the line covers its rectangle's width and no more
            const QRectF d = onDevice(r);
            painter.setPen(QPen(Qt::black, std::max(pixel, item.lineWidth * unit), Qt::SolidLine, Qt::FlatCap));
            painter.drawLine(d.topLeft(), d.bottomRight());
            textPen = false;
            break;
        }
        case ItemKind::Image:
            painter.drawImage(onDevice(r), item.image);
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
