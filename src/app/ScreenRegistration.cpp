#include "app/ScreenRegistration.h"

#include "operations/screens/Screens.h"
#include "reports/screens/Screens.h"
#include "reservation/screens/Screens.h"
#include "routes/screens/Screens.h"

namespace nbk {

// Defined with the application, which links every subsystem: the common library comes
// after them on the link line and could not reach their registrations.
void registerAllScreens()
{
    reservation::registerScreens();
    operations::registerScreens();
    routes::registerScreens();
    reports::registerScreens();
}

}  // namespace nbk
