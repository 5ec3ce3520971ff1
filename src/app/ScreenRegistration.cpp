#include "app/ScreenRegistration.h"

#include "operations/Screens.h"
#include "reports/Screens.h"
#include "reservation/Screens.h"
#include "routes/Screens.h"

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
