#include "reports/engine/QrCode.h"

#include <qrencode.h>

#include <memory>

namespace nbk::report {

QImage qrCode(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString8bit(utf8.constData(), 0, QR_ECLEVEL_M), &QRcode_free);
    if (!code || code->width <= 0)
        return {};
    constexpr int quiet = 4;
    const int side = code->width + 2 * quiet;
    QImage image(side, side, QImage::Format_Mono);
    image.setColor(0, qRgb(255, 255, 255));
    image.setColor(1, qRgb(0, 0, 0));
    image.fill(0);
    for (int y = 0; y < code->width; ++y)
        for (int x = 0; x < code->width; ++x)
            if (code->data[y * code->width + x] & 1)  // bit 0: dark module
                image.setPixel(quiet + x, quiet + y, 1);
    return image;
}

}  // namespace nbk::report
