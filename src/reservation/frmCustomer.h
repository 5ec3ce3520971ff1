#pragma once
#include "ui/Screen.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The last step of a reservation: the passenger's details, the fare, and the commit or
// rollback of the booking transaction BookSeats left open.
class frmCustomer : public nbk::ui::Screen {
    Q_OBJECT
public:
    explicit frmCustomer(QWidget *parent = nullptr);

    QLineEdit *txtname = nullptr;
    QLineEdit *phone = nullptr;
    QLineEdit *txtage = nullptr;
    QComboBox *cmbGen = nullptr;
    QPushButton *Command1 = nullptr;  // Ok
    QPushButton *Command2 = nullptr;  // Cancel

    // The fare of the booking in the reservation state, in 16-bit arithmetic with halves
    // to the even neighbour; raises nbk::data::DbException 6 when it does not fit.
    static qint16 ComputeFare();

protected:
    bool queryClose() override;

private:
    void Form_Load();
    void Command1_Click();
    void Command2_Click();
};
