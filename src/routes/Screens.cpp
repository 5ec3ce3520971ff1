#include "app/common/ScreenRegistry.h"

namespace nbk::routes {

void registerScreens()
{
}

}  // namespace nbk::routes
