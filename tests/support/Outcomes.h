#pragma once
// What the outcome tests compare a procedure's outcome by.
#include "common/Notice.h"

#include <QStringList>
#include <ostream>

namespace nbk {

// A failed expectation names the focus by its number rather than its bytes.
inline void PrintTo(Focus f, std::ostream *os) { *os << "Focus " << int(f); }

namespace test {
// The notices in order, each as "text|title", separated by "/".
inline QString noticeTexts(const Notices &notices)
{
    QStringList t;
    for (const Notice &n : notices)
        t << n.text + QLatin1Char('|') + n.title;
    return t.join(QLatin1Char('/'));
}
}  // namespace test

}  // namespace nbk
