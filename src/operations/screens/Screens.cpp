#include "operations/screens/Screens.h"

#include "ui/ScreenRegistry.h"

#include "operations/screens/frmCancel.h"
#include "operations/screens/frmCharges.h"
#include "operations/screens/frmEnquiry.h"

namespace nbk::operations {

void registerScreens()
{
    registerScreen(QStringLiteral("frmCancel"), [] { return new frmCancel; });
    registerScreen(QStringLiteral("frmEnquiry"), [] { return new frmEnquiry; });
    registerScreen(QStringLiteral("frmCharges"), [] { return new frmCharges; });
}

}  // namespace nbk::operations
