#include "app/common/ScreenRegistry.h"
#include "reservation/frmCustomer.h"

namespace nbk::reservation {

void registerScreens()
{
    registerScreen(QStringLiteral("frmCustomer"), [] { return new frmCustomer; });
}

}  // namespace nbk::reservation
