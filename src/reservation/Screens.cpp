#include "app/common/ScreenRegistry.h"

namespace nbk::reservation {

void registerScreens()
{
}

}  // namespace nbk::reservation
