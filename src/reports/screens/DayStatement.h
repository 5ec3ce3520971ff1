#pragma once
#include "ui/Screen.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;

// The day statement of a login: what it took and refunded on one day. A clerk sees the
// clerk's own; the supervisor chooses any login.
class DayStatement : public nbk::ui::Screen {
    Q_OBJECT
public:
    explicit DayStatement(QWidget *parent = nullptr);

    QLabel *Label1 = nullptr;
    QDateEdit *dtpDay = nullptr;
    QLabel *Label2 = nullptr;
    QComboBox *cmbLogin = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;

private:
    void dtpDay_Change();
    void Command1_Click();
    bool anyLogin_ = false;
};
