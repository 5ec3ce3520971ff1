#include "reports/engine/TextFit.h"

#include <QFontMetricsF>
#include <QHash>
#include <QTextLayout>

#include <array>
#include <cmath>
#include <unordered_map>

namespace nbk::report {

namespace {

// Metrics are asked for once per font and size: a long list measures every field of every
// row. With them the advances of the ASCII characters, for a quick first answer.
struct FontMetrics {
    QFontMetricsF metrics;
    std::array<double, 128> ascii{};
    explicit FontMetrics(const QFont &font) : metrics(font)
    {
        for (int c = 32; c < 128; ++c)
            ascii[size_t(c)] = metrics.horizontalAdvance(QChar(c));
    }
};

const FontMetrics &fontMetrics(const ReportFont &f, double pointSize)
{
    struct Key {
        ReportFont font;
        double size;
        bool operator==(const Key &) const = default;
    };
    struct Hash {
        size_t operator()(const Key &k) const
        {
            return qHash(k.font.family) ^ qHash(k.size) ^ (k.font.bold << 1) ^ (k.font.italic << 2)
                   ^ (k.font.fixedPitch << 3);
        }
    };
    // kept to the end of the process: metrics must not outlive the application's fonts in
    // the destruction of statics
    static auto &cache = *new std::unordered_map<Key, FontMetrics, Hash>;
    static const std::pair<const Key, FontMetrics> *last = nullptr;
    if (last && last->first.size == pointSize && last->first.font == f)
        return last->second;
    const Key key{f, pointSize};
    auto it = cache.find(key);
    if (it == cache.end())
        it = cache.emplace(key, FontMetrics(twipFont(f, pointSize))).first;
    last = &*it;
    return it->second;
}

const QFontMetricsF &metrics(const ReportFont &f, double pointSize) { return fontMetrics(f, pointSize).metrics; }

// True when an ASCII text is certainly narrower than the width: the sum of its characters'
// advances, with room for kerning, spares shaping most fields of a long list.
bool surelyNarrower(const QString &text, const ReportFont &f, double pointSize, double width)
{
    const FontMetrics &m = fontMetrics(f, pointSize);
    double sum = 0;
    for (const QChar ch : text) {
        if (ch.unicode() < 32 || ch.unicode() >= 128)
            return false;
        sum += m.ascii[ch.unicode()];
    }
    return sum * 1.05 + 1 <= width;
}

bool narrowEnough(const QString &text, const ReportControl &c, double size)
{
    return surelyNarrower(text, c.font, size, c.rect.width) || textWidth(text, c.font, size) <= c.rect.width;
}

bool fitsOneLine(const QString &text, const ReportControl &c, double size)
{
    return lineHeight(c.font, size) <= c.rect.height && narrowEnough(text, c, size);
}

// Fixed pitch: a whole number of characters a line; otherwise at word boundaries (a word
// longer than the line breaks inside it).
QStringList wrap(const QString &text, const ReportControl &c, double size)
{
    QStringList lines;
    if (c.font.fixedPitch) {
        const double advance = metrics(c.font, size).horizontalAdvance(QLatin1Char('0'));
        const qsizetype perLine = std::max<qsizetype>(1, qsizetype(c.rect.width / advance));
        for (qsizetype at = 0; at < text.size(); at += perLine)
            lines << text.mid(at, perLine);
        return lines;
    }
    QTextLayout layout(text, twipFont(c.font, size));
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(c.rect.width);
        lines << text.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    lines.removeAll(QString());
    return lines;
}

}  // namespace

QFont twipFont(const ReportFont &f, double pointSize)
{
    QFont font(f.family);
    font.setPixelSize(std::max(1, int(std::lround(pointSize * 20))));
    font.setBold(f.bold);
    font.setItalic(f.italic);
    font.setFixedPitch(f.fixedPitch);
    if (f.fixedPitch)
        font.setStyleHint(QFont::Monospace);
    // hinting would fit glyphs to the pixels of one device and change the advances
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

double textWidth(const QString &text, const ReportFont &font, double pointSize)
{
    return metrics(font, pointSize).horizontalAdvance(text);
}

double lineHeight(const ReportFont &font, double pointSize) { return metrics(font, pointSize).height(); }

FittedText fitText(const QString &text, const ReportControl &c)
{
    FittedText out;
    const double design = c.font.pointSize;
    const double floor = c.shrink ? std::min(design, kFloorPointSize) : design;
    out.pointSize = design;
    // half points, as a designer would pick them
    while (!fitsOneLine(text, c, out.pointSize) && out.pointSize - 0.5 >= floor)
        out.pointSize -= 0.5;
    const double line = lineHeight(c.font, out.pointSize);
    if (narrowEnough(text, c, out.pointSize)) {
        out.lines = QStringList{text};
    } else if (c.overflow == Overflow::Wrap) {
        out.lines = wrap(text, c, out.pointSize);
    } else {
        out.lines = QStringList{metrics(c.font, out.pointSize).elidedText(text, Qt::ElideRight, c.rect.width)};
        out.cut = true;
    }
    out.height = int(std::ceil(line * out.lines.size()));
    return out;
}

}  // namespace nbk::report
