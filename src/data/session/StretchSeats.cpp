#include "data/session/StretchSeats.h"

#include "data/dialect/Numbers.h"
#include "data/session/Class1.h"
#include "data/session/Command.h"

namespace nbk::data {

StretchSeatCount countStretchSeats(Class1 &s, const QString &registration, qint32 r1, qint32 r2, qint32 iid)
{
    StretchSeatCount out;
    s.SetupMaxSeats();
    s.SQLcmdGetMaxSeats().setValue(0, registration);
    const ResultSet cap = s.SQLcmdGetMaxSeats().execute();
    if (!cap.eof() && !cap.value(0).isNull())
        out.total = int(CLng(cap.value(0)));
    s.SetupGetFullSeats(r1, r2, iid);
    for (ResultSet taken = s.SQLcmdGetFullSeats().execute(); !taken.eof(); taken.moveNext())
        ++out.held;
    return out;
}

}  // namespace nbk::data
