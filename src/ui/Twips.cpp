#include "ui/Twips.h"

#include <QGuiApplication>
#include <QPaintDevice>
#include <QScreen>
#include <cmath>

namespace nbk::ui {

double twipsToDevice(double twips, int dotsPerInch) { return twips * dotsPerInch / 1440.0; }

int twipsToDeviceX(double twips, const QPaintDevice &device)
{
    return int(std::lround(twipsToDevice(twips, device.logicalDpiX())));
}

int twipsToDeviceY(double twips, const QPaintDevice &device)
{
    return int(std::lround(twipsToDevice(twips, device.logicalDpiY())));
}

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
