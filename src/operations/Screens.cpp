#include "operations/Screens.h"

#include "app/common/ScreenRegistry.h"

#include "operations/frmCancel.h"
#include "operations/frmEnquiry.h"

namespace nbk::operations {

void registerScreens()
{
    registerScreen(QStringLiteral("frmCancel"), [] { return new frmCancel; });
    registerScreen(QStringLiteral("frmEnquiry"), [] { return new frmEnquiry; });
}

}  // namespace nbk::operations
