#pragma once
#include "reports/engine/ReportLayout.h"

#include <QFont>
#include <QStringList>

namespace nbk::report {

// Text is measured and drawn in twips: a font's pixel size is its size in twips, and the
// renderer scales the painter to the device. Every device then lays out the same glyph
// advances, and what fits in the paginator fits on the screen, the printer and the PDF.
// These need a QGuiApplication (the font database).
QFont twipFont(const ReportFont &font, double pointSize);
double textWidth(const QString &text, const ReportFont &font, double pointSize);  // twips
double lineHeight(const ReportFont &font, double pointSize);                      // twips

// A text as its control shows it: the size taken and the lines drawn, top to bottom.
struct FittedText {
    double pointSize = 0;
    QStringList lines;
    int height = 0;  // twips the lines need
    bool cut = false;
};

// The design's size when the text fits; else the largest half-point size down to the floor
// at which it fits on one line; else, at the floor, wrapped or cut as the control says.
FittedText fitText(const QString &text, const ReportControl &control);

}  // namespace nbk::report
