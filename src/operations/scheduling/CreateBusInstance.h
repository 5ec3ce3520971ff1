#pragma once
#include "common/Notice.h"
#include "common/ReservationState.h"

#include <QDateTime>
#include <QString>

// Creates a bus run for the journey when the route plan allows one: 1 when a run was
// inserted (RouteIdText then holds its route id), -1 otherwise. What the clerk is to be
// told is added to `notices`; the question about a run near the wanted time goes to
// `confirm`. Raises DbException when the database fails.
qint16 CreateBusInstance(QString &RouteIdText, const QString &Origin, const QString &Destination,
                         qint16 ClassIndex, const QDateTime &Wanted, qint16 Slack, nbk::Notices &notices,
                         const nbk::Confirm &confirm);
// The same for a request: its places, class and wanted time; the route the search goes on
// with comes back in routeIdText.
qint16 CreateBusInstance(const nbk::reservation::ReservationState &request, QString &routeIdText, qint16 Slack,
                         nbk::Notices &notices, const nbk::Confirm &confirm);
QString FormatDepartureText(const QDateTime &day, int hour, int minute);
QDateTime NearestDeparture(const QDateTime &target, const QDateTime &first, double interval);
QString ComposeVehicleQuery(const QString &place, qint16 slack, const QDateTime &departure, qint16 classIndex);
bool DateTimeDiffers(const QDateTime &a, const QDateTime &b);
