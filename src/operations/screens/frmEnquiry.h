#pragma once
#include "common/ReservationState.h"
#include "reservation/screens/JourneyForm.h"
#include "ui/Screen.h"

// Which bus runs could carry a journey: the journey request's twin that books nothing.
class frmEnquiry : public nbk::ui::Screen, public JourneyForm {
    Q_OBJECT
public:
    explicit frmEnquiry(QWidget *parent = nullptr);
    // The enquiry as last submitted.
    const nbk::reservation::ReservationState &request() const { return request_; }

private:
    void cmdNext_Click();
    void cmdCancel_Click();
    // The checks into request_; false after the message.
    bool checkRequest();
    void search();

    // the enquiry this screen is making (EnquiryMode set), handed on by value
    nbk::reservation::ReservationState request_;
};
