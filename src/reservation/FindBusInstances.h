#pragma once
#include "data/RowTable.h"

#include <QString>

// Finds the runs for the request in the reservation state; books an exact match or
// lists the runs near the wanted time. routeIdText may be replaced by on-demand creation.
// True: booked directly or all rows examined; false: ended with a failure message.
bool FindBusInstances(QString &routeIdText);

// Minutes from the run's first stop to its boarding place for run row `row`: the
// distance over the speed plus one stop at each place before the boarding place.
qint16 BoardingOffsetFor(const nbk::data::RowTable &rows, int row);
