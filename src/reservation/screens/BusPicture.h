#pragma once
#include <QPixmap>
#include <QSize>

// The picture of the place confirmation screen: a bus on the road, seen from the side,
// drawn to fit `size` (device-independent pixels) at the screen's pixel ratio.
QPixmap BusPicture(QSize size, qreal devicePixelRatio = 1.0);
