#include "reports/screens/Screens.h"

#include "ui/ScreenRegistry.h"

#include "reports/screens/ARF.h"
#include "reports/screens/BusMatrix.h"
#include "reports/screens/DayStatement.h"
#include "reports/screens/ShiftClose.h"
#include "reports/screens/Manifest.h"
#include "reports/screens/ReportViews.h"
#include "reports/screens/RouteTest.h"
#include "reports/screens/Ticket.h"

namespace nbk::reports {

void registerScreens()
{
    registerScreen(QStringLiteral("Ticket"), [] { return new Ticket; });
    registerScreen(QStringLiteral("BusMatrix"), [] { return new BusMatrix; });
    registerScreen(QStringLiteral("RouteTest"), [] { return new RouteTest; });
    registerScreen(QStringLiteral("ARF"), [] { return new ARF; });
    registerScreen(QStringLiteral("DayStatement"), [] { return new DayStatement; });
    registerScreen(QStringLiteral("ShiftClose"), [] { return new ShiftClose; });
    registerScreen(QStringLiteral("Manifest"), [] { return new Manifest; });
    // the two fixed reports open their report window at once, under these names
    registerScreen(QStringLiteral("DataReport1"), []() -> QWidget * {
        showPassengerList();
        return nullptr;
    });
    registerScreen(QStringLiteral("TimeTable"), []() -> QWidget * {
        showTimeTable();
        return nullptr;
    });
}

}  // namespace nbk::reports
