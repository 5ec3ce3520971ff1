#pragma once
#include "reservation/screens/JourneyForm.h"
#include "ui/Screen.h"

// Which bus runs could carry a journey: the journey request's twin that books nothing.
class frmEnquiry : public nbk::ui::Screen, public JourneyForm {
    Q_OBJECT
public:
    explicit frmEnquiry(QWidget *parent = nullptr);

private:
    void cmdNext_Click();
    void cmdCancel_Click();
    // The checks and the stored request; false after the message.
    bool checkRequest();
    void search();
};
