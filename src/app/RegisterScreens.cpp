#include "app/common/ScreenRegistry.h"

namespace nbk {

// Lives with the application, which links every subsystem: the registry itself sits below
// them, and a program that only opens screens by name must not need them all.
void registerAllScreens()
{
    reservation::registerScreens();
    operations::registerScreens();
    routes::registerScreens();
    reports::registerScreens();
}

}  // namespace nbk
