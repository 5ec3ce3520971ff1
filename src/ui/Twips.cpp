#include "ui/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace nbk::ui {

int twipsToPixels(int twips)
{
    double dpi = 96.0;
    if (auto *screen = QGuiApplication::primaryScreen())
        dpi = screen->logicalDotsPerInch();
    return int(std::lround(twips * dpi / 1440.0));
}

QSize twipsToPixels(int widthTwips, int heightTwips)
{
    return {twipsToPixels(widthTwips), twipsToPixels(heightTwips)};
}

}  // namespace nbk::ui
