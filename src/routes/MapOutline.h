#pragma once
#include <QList>
#include <QPolygonF>
#include <QRectF>

namespace nbk::routes {

// The state's outline as pieces of (longitude, latitude) points, read once from the
// resource shipped with the map; empty when the resource is missing or unreadable.
const QList<QPolygonF> &stateOutline();
// Parses "lon lat" rows, pieces separated by lines starting with '>', '#' lines ignored.
QList<QPolygonF> parseOutline(const QByteArray &text);

}  // namespace nbk::routes
