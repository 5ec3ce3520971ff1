#include "common/Clock.h"

namespace nbk {

namespace {
QDateTime &fixedNow()
{
    static QDateTime t;
    return t;
}
}  // namespace

QDateTime currentDateTime()
{
    return fixedNow().isValid() ? fixedNow() : QDateTime::currentDateTime();
}

QDate currentDate() { return currentDateTime().date(); }

void setFixedNow(const QDateTime &now) { fixedNow() = now; }

}  // namespace nbk
