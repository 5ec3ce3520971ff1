#pragma once
#include <QSize>

namespace nbk::ui {

// Sizes in the layouts are twips (1/1440 inch); the screen has its own dots per inch.
int twipsToPixels(int twips);
QSize twipsToPixels(int widthTwips, int heightTwips);

}  // namespace nbk::ui
