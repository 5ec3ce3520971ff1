#include "app/common/ScreenRegistry.h"

#include "operations/frmCancel.h"

namespace nbk::operations {

void registerScreens()
{
    registerScreen(QStringLiteral("frmCancel"), [] { return new frmCancel; });
}

}  // namespace nbk::operations
