#pragma once
#include "ui/Screen.h"

class QLabel;
class QLineEdit;
class QPushButton;

// Lists the passengers of the run of a vehicle involved in an accident.
class ARF : public nbk::ui::Screen {
    Q_OBJECT
public:
    explicit ARF(QWidget *parent = nullptr);

    QLabel *Label1 = nullptr;
    QLineEdit *Text1 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;

private:
    void Command1_Click();
};
