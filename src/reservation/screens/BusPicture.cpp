#include "reservation/screens/BusPicture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

QPixmap BusPicture(QSize size, qreal devicePixelRatio)
{
    QPixmap pm(size * devicePixelRatio);
    pm.setDevicePixelRatio(devicePixelRatio);
    pm.fill(Qt::transparent);
    if (size.isEmpty())
        return pm;

    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    // drawn on a 200 x 160 canvas, scaled to the size asked for
    const qreal scale = qMin(size.width() / 200.0, size.height() / 160.0);
    p.translate((size.width() - 200 * scale) / 2, (size.height() - 160 * scale) / 2);
    p.scale(scale, scale);

    // sky and road
    QLinearGradient sky(0, 0, 0, 130);
    sky.setColorAt(0, QColor(0xcf, 0xe8, 0xfa));
    sky.setColorAt(1, QColor(0xf4, 0xfa, 0xff));
    p.fillRect(QRectF(0, 0, 200, 130), sky);
    p.fillRect(QRectF(0, 130, 200, 30), QColor(0x55, 0x5a, 0x60));
    p.setPen(QPen(QColor(0xf2, 0xd3, 0x4f), 2, Qt::DashLine));
    p.drawLine(QPointF(0, 148), QPointF(200, 148));

    // body: a red coach with a cream band, rounded at the front (right)
    QPainterPath body;
    body.addRoundedRect(QRectF(14, 52, 172, 72), 10, 10);
    p.setPen(QPen(QColor(0x5a, 0x10, 0x10), 1.5));
    p.setBrush(QColor(0xc6, 0x28, 0x28));
    p.drawPath(body);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf3, 0xe6, 0xc4));
    p.drawRect(QRectF(15, 98, 170, 8));

    // windows, the driver's windscreen and the door
    p.setBrush(QColor(0x2f, 0x4f, 0x6f));
    for (int i = 0; i < 5; ++i)
        p.drawRoundedRect(QRectF(22 + i * 26, 60, 22, 26), 3, 3);
    p.drawRoundedRect(QRectF(156, 60, 24, 30), 4, 4);
    p.setBrush(QColor(0x8a, 0x1c, 0x1c));
    p.drawRect(QRectF(156, 94, 17, 28));
    p.setBrush(QColor(0xff, 0xe0, 0x7a));
    p.drawEllipse(QRectF(178, 108, 7, 7));  // head lamp

    // wheels
    for (qreal x : {48.0, 132.0}) {
        p.setBrush(QColor(0x22, 0x22, 0x22));
        p.drawEllipse(QPointF(x, 124), 14, 14);
        p.setBrush(QColor(0xb0, 0xb4, 0xb8));
        p.drawEllipse(QPointF(x, 124), 6, 6);
    }
    return pm;
}
