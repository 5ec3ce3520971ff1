#include "reservation/screens/SearchFlow.h"
#include "ui/Notices.h"

#include "ui/ScreenRegistry.h"
#include "data/session/Class1.h"
#include "reservation/screens/Instances.h"
#include "reservation/screens/frmCustomer.h"
#include "reservation/screens/frmPlaces.h"
#include "reservation/screens/frmReservation.h"
#include "reservation/screens/frmSeats.h"
#include "reservation/SeatPlan.h"
#include "common/ReservationState.h"
#include "ui/ChildWindows.h"
#include "ui/MsgBox.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace nbk::reservation {

namespace {
std::function<void(const ReservationState &)> &searchedHook()
{
    static std::function<void(const ReservationState &)> hook;
    return hook;
}
}  // namespace

void setSearchedHook(std::function<void(const ReservationState &)> hook) { searchedHook() = std::move(hook); }

void showBookingOutcome(BookingOutcome &outcome)
{
    showNotices(outcome.notices);
    if (outcome.booking)
        frmCustomer::openFor(std::move(outcome.booking));
}

void bookOrChooseSeats(const ReservationState &request, qint16 row)
{
    const SeatPlan plan = RunSeatPlan(request, row);
    if (plan.laidOut) {
        frmSeats::openFor(request, row, plan);
        return;
    }
    BookingOutcome booking = BookSeats(request, row);
    showBookingOutcome(booking);
}

bool showSearchOutcome(ReservationState &request, SearchOutcome &outcome)
{
    TakeSearch(request, outcome);
    if (searchedHook())
        searchedHook()(request);
    frmReservation *requestScreen = nullptr;
    if (outcome.showRequest) {
        requestScreen = qobject_cast<frmReservation *>(openScreen(QStringLiteral("frmReservation")));
        if (requestScreen && outcome.enableNext)
            requestScreen->cmdNext->setEnabled(true);
    }
    // an exact match whose seats the clerk picks on the plan first
    if (outcome.chooseSeats) {
        frmSeats::openFor(outcome.seatRequest, outcome.seatRow, RunSeatPlan(outcome.seatRequest, outcome.seatRow));
        return outcome.result;
    }
    // a direct booking that failed has its reason in the booking's notices
    if (outcome.booked() || !outcome.booking.notices.empty()) {
        showBookingOutcome(outcome.booking);
        return outcome.result;
    }
    showNotices(outcome.notices);
    if (QWidget *box = requestScreen ? requestScreen->control(outcome.focus) : nullptr)
        box->setFocus();
    if (!outcome.entries.isEmpty()) {
        if (auto *choice = qobject_cast<Instances *>(openScreen(QStringLiteral("Instances"))))
            choice->fill(request, outcome.entries);
    } else if (outcome.result) {
        closeScreen(QStringLiteral("Instances"));
    }
    return outcome.result;
}

void showPlaceOutcome(const ReservationState &request, const PlaceOutcome &outcome)
{
    showNotices(outcome.notices);
    if (outcome.showRequestAgain) {
        if (auto *f = qobject_cast<frmReservation *>(openScreen(QStringLiteral("frmReservation"))))
            f->showAgain();
        return;
    }
    if (!outcome.choosePlaces)
        return;
    if (auto *places = qobject_cast<frmPlaces *>(openScreen(QStringLiteral("frmPlaces"))))
        places->fill(request, outcome.fromNames, outcome.toNames, outcome.fromChoice, outcome.toChoice);
}

bool nothingPending()
{
    if (!DbSession || !DbSession->IsInTransaction())
        return true;
    ui::MsgBox(data::pendingWorkMessage(DbSession->PendingTask()), mb::Critical | mb::OKOnly,
               QStringLiteral("Error"));
    if (QWidget *customer = findScreen(QStringLiteral("frmCustomer")))
        ui::showChildWindow(customer);
    return false;
}

}  // namespace nbk::reservation
