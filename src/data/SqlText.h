#pragma once
#include <QString>

namespace nbk::data {

// The one way typed text enters a statement: the body of a '...' literal, with every
// quote doubled, so that no typed text can end the literal early. The statement's own
// pieces supply the surrounding quotes.
QString sqlText(const QString &typed);

}  // namespace nbk::data
