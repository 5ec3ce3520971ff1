#include "reservation/BookingSummary.h"

#include "common/PeopleDates.h"
#include "data/dialect/DbError.h"

#include <QStringList>

namespace {
QString placeText(const QString &name, const QString &code)
{
    return name.isEmpty() ? code : name + QStringLiteral(" (") + code + QLatin1Char(')');
}
}  // namespace

BookingSummary SummaryOf(const PendingBooking &booking)
{
    const nbk::reservation::ReservationState &b = booking.request;
    BookingSummary s;
    s.from = placeText(b.OriginName, b.OriginPlace);
    s.to = placeText(b.DestinationName, b.DestinationPlace);
    s.departs = nbk::peopleDateTime(b.JourneyDateTime);
    s.run = QStringLiteral("%1 (route %2)").arg(b.BookedInstanceId).arg(booking.RouteId);
    QStringList seats;
    for (qint16 seat : booking.seats())
        seats << QString::number(seat);
    s.seats = seats.join(QStringLiteral(", "));
    try {
        s.fare = QString::number(booking.fare());
    } catch (const nbk::data::DbException &) {
        s.fare = QStringLiteral("too large to be recorded");
    }
    return s;
}
