#pragma once
#include "common/ReservationState.h"
#include "reservation/screens/JourneyForm.h"
#include "ui/Screen.h"

class QShowEvent;

// The journey request: date, time, class, seats, places and an optional route number.
class frmReservation : public nbk::ui::Screen, public JourneyForm {
    Q_OBJECT
public:
    explicit frmReservation(QWidget *parent = nullptr);

    // Brings the request back after the search could not carry on: shown, Next enabled.
    void showAgain();
    // The open journey request screen, or null.
    static frmReservation *open();
    // Shows the open journey request screen again unless the wizard has moved on to the
    // run choice or the customer details (so it is never left hidden with nothing ahead).
    static void resumeIfAbandoned();
    // The request as last submitted (its checks, then its places once resolved).
    const nbk::reservation::ReservationState &request() const { return request_; }

protected:
    void showEvent(QShowEvent *e) override;

private:
    void cmdNext_Click();
    void cmdCancel_Click();
    // Checks of the typed date and time into request_; false after the message.
    bool checkRequest();
    void submit();

    // the request this screen is making, handed on by value to the place and run choices
    nbk::reservation::ReservationState request_;
};
