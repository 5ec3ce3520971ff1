#pragma once
#include "ui/Screen.h"

class QDateTimeEdit;
class QLineEdit;
class QPushButton;
class QTableWidget;

// The supervisor's rules of the counter's money: the schedules of cancellation charges with
// the date each takes effect, and the fare categories with their share and ages.
class frmCharges : public nbk::ui::Screen {
    Q_OBJECT
public:
    explicit frmCharges(QWidget *parent = nullptr);

    QTableWidget *grdSlabs = nullptr;
    QDateTimeEdit *txtFrom = nullptr;
    QLineEdit *txtSlabs = nullptr;  // "72:10 24:25 0:50": from HOURS before departure PERCENT retained
    QPushButton *cmdAddSchedule = nullptr;
    QPushButton *cmdWithdrawSchedule = nullptr;

    QTableWidget *grdCategories = nullptr;
    QLineEdit *txtCategory = nullptr;
    QLineEdit *txtShare = nullptr;  // percent of the adult fare
    QLineEdit *txtMinAge = nullptr;
    QLineEdit *txtMaxAge = nullptr;
    QPushButton *cmdSaveCategory = nullptr;
    QPushButton *cmdWithdrawCategory = nullptr;
    QPushButton *cmdExit = nullptr;

private:
    void showRules();
    void cmdAddSchedule_Click();
    void cmdWithdrawSchedule_Click();
    void cmdSaveCategory_Click();
    void cmdWithdrawCategory_Click();
    // tells the refusal, or shows the rules as they now stand
    void done(const QString &refusal);
};
