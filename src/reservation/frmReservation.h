#pragma once
#include "ui/Screen.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QShowEvent;

// The journey request: date, time, class, seats, places and an optional route number.
class frmReservation : public nbk::ui::Screen {
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

    QLineEdit *txtDD = nullptr;
    QComboBox *cmbMonth = nullptr;
    QComboBox *cmbYear = nullptr;
    QLineEdit *txthh = nullptr;
    QLineEdit *txtmin = nullptr;
    QRadioButton *Option1 = nullptr;
    QComboBox *cmbClass = nullptr;
    QComboBox *cmbSeats = nullptr;
    QLineEdit *txtFrom = nullptr;
    QLineEdit *txtTo = nullptr;
    QLineEdit *txtRoute = nullptr;
    QPushButton *cmdNext = nullptr;
    QPushButton *cmdCancel = nullptr;

protected:
    void showEvent(QShowEvent *e) override;

private:
    void cmdNext_Click();
    void cmdCancel_Click();
    // Checks of the typed date and time; false after the message.
    bool checkRequest();
    void submit();

    QGroupBox *Frame1 = nullptr;
    QGroupBox *Frame2 = nullptr;
};
