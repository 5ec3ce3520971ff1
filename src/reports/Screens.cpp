#include "app/common/ScreenRegistry.h"

namespace nbk::reports {

void registerScreens()
{
}

}  // namespace nbk::reports
