#pragma once
#include <QImage>
#include <QString>

namespace nbk::report {

// The text as a QR code, one pixel per module, black on white, with the four-module quiet
// zone around it. A null image when the text cannot be encoded.
QImage qrCode(const QString &text);

}  // namespace nbk::report
