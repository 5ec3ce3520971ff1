#pragma once
#include "common/Notice.h"

#include <ostream>

namespace nbk {
// A failed expectation names the focus by its number rather than its bytes.
inline void PrintTo(Focus f, std::ostream *os) { *os << "Focus " << int(f); }
}  // namespace nbk
