#include "app/common/ScreenRegistry.h"

namespace nbk::operations {

void registerScreens()
{
}

}  // namespace nbk::operations
