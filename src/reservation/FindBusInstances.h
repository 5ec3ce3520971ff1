#pragma once
#include <QString>

// Finds the runs for the request in the reservation state; books an exact match or
// lists the runs near the wanted time. routeIdText may be replaced by on-demand creation.
// True: booked directly or all rows examined; false: ended with a failure message.
bool FindBusInstances(QString &routeIdText);
