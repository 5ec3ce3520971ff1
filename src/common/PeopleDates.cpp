#include "common/PeopleDates.h"

#include <QLocale>

namespace nbk {

QString peopleDate(const QDate &d)
{
    // the C locale's month names are the English ones whatever the machine is set to
    return d.isValid() ? QLocale::c().toString(d, QStringLiteral("d MMM yyyy")) : QString();
}

QString peopleDateTime(const QDateTime &t)
{
    return t.isValid() ? QLocale::c().toString(t, QStringLiteral("d MMM yyyy HH:mm")) : QString();
}

}  // namespace nbk
