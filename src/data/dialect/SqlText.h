#pragma once
#include <QString>

namespace nbk::data {

// The one way typed text enters a statement: the body of a '...' literal, with every
// quote doubled, so that no typed text can end the literal early. The statement's own
// pieces supply the surrounding quotes.
QString sqlText(const QString &typed);

// A statement piece or message kept as a Latin-1 constant, as a QString.
inline QString L(const char *latin1) { return QString::fromLatin1(latin1); }

}  // namespace nbk::data
