#include "routes/MapOutline.h"

#include <QFile>

namespace nbk::routes {

QList<QPolygonF> parseOutline(const QByteArray &text)
{
    QList<QPolygonF> pieces;
    QPolygonF piece;
    auto flush = [&] {
        if (piece.size() >= 3)
            pieces << piece;
        piece.clear();
    };
    for (const QByteArray &raw : text.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        if (line.startsWith('>')) {
            flush();
            continue;
        }
        const QList<QByteArray> f = line.simplified().split(' ');
        bool okX = false, okY = false;
        const double x = f.value(0).toDouble(&okX), y = f.size() >= 2 ? f[1].toDouble(&okY) : 0;
        if (okX && okY)
            piece << QPointF(x, y);
    }
    flush();
    return pieces;
}

const QList<QPolygonF> &stateOutline()
{
    static const QList<QPolygonF> outline = [] {
        QFile f(QStringLiteral(":/routes/map/karnataka.txt"));
        return f.open(QIODevice::ReadOnly) ? parseOutline(f.readAll()) : QList<QPolygonF>{};
    }();
    return outline;
}

}  // namespace nbk::routes
