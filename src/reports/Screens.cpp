#include "reports/Screens.h"

#include "app/common/ScreenRegistry.h"

#include "reports/ARF.h"
#include "reports/BusMatrix.h"
#include "reports/DayStatement.h"
#include "reports/ReportViews.h"
#include "reports/RouteTest.h"
#include "reports/Ticket.h"

namespace nbk::reports {

void registerScreens()
{
    registerScreen(QStringLiteral("Ticket"), [] { return new Ticket; });
    registerScreen(QStringLiteral("BusMatrix"), [] { return new BusMatrix; });
    registerScreen(QStringLiteral("RouteTest"), [] { return new RouteTest; });
    registerScreen(QStringLiteral("ARF"), [] { return new ARF; });
    registerScreen(QStringLiteral("DayStatement"), [] { return new DayStatement; });
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
