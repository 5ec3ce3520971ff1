#pragma once
#include "ui/Screen.h"

class QLabel;
class QLineEdit;
class QPushButton;

// Charts which seats of one run are taken on which stretches of its route.
class BusMatrix : public nbk::ui::Screen {
    Q_OBJECT
public:
    explicit BusMatrix(QWidget *parent = nullptr);

    QLabel *Label1 = nullptr;
    QLineEdit *txtIID = nullptr;
    QLabel *Label2 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;

private:
    void Command1_Click();
};
