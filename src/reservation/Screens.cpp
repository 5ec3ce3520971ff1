#include "reservation/Screens.h"

#include "app/common/ScreenRegistry.h"
#include "reservation/Instances.h"
#include "reservation/frmCustomer.h"
#include "reservation/frmPlaces.h"
#include "reservation/frmReservation.h"

namespace nbk::reservation {

void registerScreens()
{
    registerScreen(QStringLiteral("frmReservation"), [] { return new frmReservation; });
    registerScreen(QStringLiteral("frmPlaces"), [] { return new frmPlaces; });
    registerScreen(QStringLiteral("Instances"), [] { return new Instances; });
}

}  // namespace nbk::reservation
