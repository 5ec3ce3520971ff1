#pragma once
#include "data/session/ResultSet.h"
#include "reports/ReportOutcome.h"
#include "reports/SeatChart.h"

#include <QString>
#include <optional>

namespace nbk::data {
class Class1;
}

namespace nbk::reports {

// The chart of one run, read back from TempBusRoute before its rows were deleted again.
struct SeatChartData {
    qint32 instanceId = 0;
    QString headerLine;
    data::ResultSet lines;  // seat_no and the chart line, seats 1 to 50
    data::ResultSet run;    // the run's bus_instance row
    // what the report draws: the stop names and each seat's marks under their stretches
    QStringList stops;
    QList<chart::SeatMarks> seats;
};

struct SeatChartOutcome {
    std::optional<Message> message;  // set: nothing is drawn
    SeatChartData chart;
};

// Builds the seat chart of the run whose id is typed: the lines go into TempBusRoute
// inside the session's transaction (held by this task alone), are read back and deleted
// before the commit. A session that can write nothing (a hot standby) gets the same lines
// without them.
SeatChartOutcome buildSeatChart(data::Class1 &session, const QString &typedInstanceId);

}  // namespace nbk::reports
