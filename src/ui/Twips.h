#pragma once
#include <QSize>

class QPaintDevice;

namespace nbk::ui {

// Sizes in the layouts are twips (1/1440 inch). Each device has its own resolution: the
// screen, a printer and a PDF writer each convert through theirs.
double twipsToDevice(double twips, int dotsPerInch);
int twipsToDeviceX(double twips, const QPaintDevice &device);
int twipsToDeviceY(double twips, const QPaintDevice &device);

// On the screen (its logical resolution, 96 without one).
int twipsToPixels(int twips);
QSize twipsToPixels(int widthTwips, int heightTwips);

}  // namespace nbk::ui
