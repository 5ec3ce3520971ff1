#pragma once
#include <QString>

namespace nbk::data {

class Class1;

// The seats of a run's vehicle and how many of them some seat row of the run holds on a
// segment of r1..r2 (both ends included): what the run search offers and the manifest
// shows per stretch. total is 0 when the vehicle is unknown.
struct StretchSeatCount {
    int total = 0;
    int held = 0;
    int free() const { return total > held ? total - held : 0; }
};

// Through the seat matrix store's commands (SQLcmdGetMaxSeats, SQLcmdGetFullSeats). Raises
// DbException.
StretchSeatCount countStretchSeats(Class1 &s, const QString &registration, qint32 r1, qint32 r2, qint32 iid);

}  // namespace nbk::data
