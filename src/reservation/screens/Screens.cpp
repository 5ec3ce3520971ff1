#include "reservation/screens/Screens.h"

#include "ui/ScreenRegistry.h"
#include "reservation/screens/Instances.h"
#include "reservation/screens/frmCustomer.h"
#include "reservation/screens/frmFindBooking.h"
#include "reservation/screens/frmPlaces.h"
#include "reservation/screens/frmReservation.h"

namespace nbk::reservation {

void registerScreens()
{
    registerScreen(QStringLiteral("frmReservation"), [] { return new frmReservation; });
    registerScreen(QStringLiteral("frmPlaces"), [] { return new frmPlaces; });
    registerScreen(QStringLiteral("Instances"), [] { return new Instances; });
    registerScreen(QStringLiteral("frmFindBooking"), [] { return new frmFindBooking; });
}

}  // namespace nbk::reservation
