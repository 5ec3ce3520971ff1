#include "reports/SeatChart.h"

#include <algorithm>

namespace nbk::reports::chart {

namespace {

const QString kGap = QStringLiteral("     ");
const QString kFree = QStringLiteral("-----");
const QString kTaken = QStringLiteral("--X--");

QString underline(const QString &name) { return QString(name.trimmed().size(), QLatin1Char('-')); }

}  // namespace

QString headerLine(const QStringList &stopNames)
{
    QString h;
    for (const QString &name : stopNames)
        h += kGap + name.trimmed();
    return h;
}

QString seatLine(const QStringList &stopNames, const QList<Booking> &bookings)
{
    if (bookings.isEmpty())
        return QString::fromLatin1(kAllFree);
    // stretch k runs from stop k - 1 to stop k; the line ends where the last name begins
    const int stretches = int(stopNames.size()) - 1;
    const QList<bool> taken = heldStretches(int(stopNames.size()), bookings);
    QString line;
    for (int k = 1; k <= stretches; ++k) {
        if (k == 1)
            line += kGap;
        line += underline(stopNames.at(k - 1)) + (taken[k - 1] ? kTaken : kFree);
    }
    return line;
}

QList<bool> heldStretches(int stops, const QList<Booking> &bookings)
{
    const int stretches = std::max(stops - 1, 0);
    QList<bool> taken(stretches, false);
    for (const Booking &b : bookings)
        for (int k = std::max(b.first, 1); k <= std::min(b.last, stretches); ++k)
            taken[k - 1] = true;
    return taken;
}

QString holders(const QList<Booking> &bookings)
{
    QList<Booking> byStretch = bookings;
    std::stable_sort(byStretch.begin(), byStretch.end(),
                     [](const Booking &a, const Booking &b) { return a.first < b.first; });
    QStringList out;
    for (const Booking &b : byStretch) {
        const QString who = b.customer.trimmed();
        if (!who.isEmpty() && !out.contains(who))
            out << who;
    }
    return out.join(QStringLiteral(", "));
}

}  // namespace nbk::reports::chart
