#pragma once
// The procedures run as a screen runs them: their notices shown (and so recorded by the
// message script), their questions asked through it.
#include "common/Notice.h"
#include "ui/Notices.h"
#include "operations/scheduling/CreateBusInstance.h"
#include "reservation/BookSeats.h"
#include "reservation/FindBusInstances.h"
#include "reservation/screens/SearchFlow.h"

namespace nbk::test {

inline qint16 createRun(QString &route, const QString &origin, const QString &destination, qint16 classIndex,
                        const QDateTime &wanted, qint16 slack)
{
    Notices notices;
    const qint16 r = CreateBusInstance(route, origin, destination, classIndex, wanted, slack, notices,
                                       confirmByMessageBox());
    showNotices(notices);
    return r;
}

inline bool runSearch(reservation::ReservationState &request, QString &route)
{
    SearchOutcome o = FindBusInstances(request, route, confirmByMessageBox());
    return reservation::showSearchOutcome(request, o);
}

// The request as the booking made it (its run, seats and fare's parts), on the seats picked
// first when any.
inline reservation::ReservationState bookRow(const reservation::ReservationState &request, qint16 row,
                                             const QList<qint16> &picked = {})
{
    BookingOutcome o = BookSeats(request, row, picked);
    reservation::showBookingOutcome(o);
    return o.request;
}

}  // namespace nbk::test
