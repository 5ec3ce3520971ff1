#pragma once
#include "ui/Screen.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Cancels a reservation by its customer id, whole or in part, in one transaction.
class frmCancel : public nbk::ui::Screen {
    Q_OBJECT
public:
    explicit frmCancel(QWidget *parent = nullptr);

    QLineEdit *txtcid = nullptr;
    QComboBox *cmbseats = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *Command2 = nullptr;

private:
    void Form_Load();
    void offerSeatsHeld();
    void cmdCancel_Click();
    void offerRefundSlip(const QString &cid);
    void Command2_Click();

    QLabel *Label1 = nullptr;
};
