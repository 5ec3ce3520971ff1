#include "routes/Screens.h"

#include "app/common/ScreenRegistry.h"

#include "routes/dlgRouteSelect.h"
#include "routes/frmAddRoute.h"
#include "routes/frmEditRoute.h"

namespace nbk::routes {

// The frequency and class screens belong to the route entry's wizard and open with it.
void registerScreens()
{
    registerScreen(QStringLiteral("frmAddRoute"), [] { return new frmAddRoute; });
    registerScreen(QStringLiteral("frmEditRoute"), [] { return new frmEditRoute; });
    registerScreen(QStringLiteral("dlgRouteSelect"), [] { return new dlgRouteSelect; });
}

}  // namespace nbk::routes
