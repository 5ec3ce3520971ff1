#pragma once
#include <QString>
#include <QtGlobal>

namespace nbk {

// Conversions the screens share. To 16 or 32 bits: nearest integer, halves to the even
// neighbour; a value out of range raises DbException 6 "Overflow".
qint16 CInt(double v);
qint32 CLng(double v);
qint16 CInt(const QVariant &v);
qint32 CLng(const QVariant &v);

// True for an optional sign, digits with at most one decimal point, and an optional
// exponent, blanks around allowed; false for empty text.
bool IsNumeric(const QString &text);
// The leading number of a text (0 when there is none).
double Val(const QString &text);

// A number in its shortest decimal form (250, 0.8333333333333334, 12.5).
QString shortestDecimal(double v);

}  // namespace nbk
