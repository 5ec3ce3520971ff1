#pragma once
#include <QDateTime>
#include <QString>

// Creates a bus run for the journey when the route plan allows one: 1 when a run was
// inserted (RouteIdText then holds its route id), -1 otherwise.
qint16 CreateBusInstance(QString &RouteIdText, const QString &Origin, const QString &Destination,
                         qint16 ClassIndex, const QDateTime &Wanted, qint16 Slack);
QString FormatDepartureText(const QDateTime &day, int hour, int minute);
QDateTime NearestDeparture(const QDateTime &target, const QDateTime &first, double interval);
QString ComposeVehicleQuery(const QString &place, qint16 slack, const QDateTime &departure, qint16 classIndex);
bool DateTimeDiffers(const QDateTime &a, const QDateTime &b);
