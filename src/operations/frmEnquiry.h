#pragma once
#include "ui/Screen.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

// Which bus runs could carry a journey: the journey request's twin that books nothing.
class frmEnquiry : public nbk::ui::Screen {
    Q_OBJECT
public:
    explicit frmEnquiry(QWidget *parent = nullptr);

    QLineEdit *txtDD = nullptr;
    QComboBox *cmbMonth = nullptr;
    QComboBox *cmbYear = nullptr;
    QLineEdit *txthh = nullptr;
    QLineEdit *txtmin = nullptr;
    QComboBox *cmbClass = nullptr;
    QComboBox *cmbSeats = nullptr;
    QLineEdit *txtFrom = nullptr;
    QLineEdit *txtTo = nullptr;
    QPushButton *cmdNext = nullptr;
    QPushButton *cmdCancel = nullptr;

private:
    void cmdNext_Click();
    void cmdCancel_Click();
    // The checks and the stored request; false after the message.
    bool checkRequest();
    void search();

    QGroupBox *Frame1 = nullptr;
    QGroupBox *Frame2 = nullptr;
};
