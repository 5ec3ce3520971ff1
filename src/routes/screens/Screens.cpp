#include "routes/screens/Screens.h"

#include "ui/ScreenRegistry.h"

#include "routes/screens/dlgRouteSelect.h"
#include "routes/screens/frmAddRoute.h"
#include "routes/screens/frmEditRoute.h"

namespace nbk::routes {

// The frequency and class screens belong to the route entry's wizard and open with it.
void registerScreens()
{
    registerScreen(QStringLiteral("frmAddRoute"), [] { return new frmAddRoute; });
    registerScreen(QStringLiteral("frmEditRoute"), [] { return new frmEditRoute; });
    registerScreen(QStringLiteral("dlgRouteSelect"), [] { return new dlgRouteSelect; });
}

}  // namespace nbk::routes
