#pragma once
#include "ui/Screen.h"

class QLabel;
class QLineEdit;
class QPushButton;

// Reports a route's stops and the runs that serve it.
class RouteTest : public nbk::ui::Screen {
    Q_OBJECT
public:
    explicit RouteTest(QWidget *parent = nullptr);

    QLabel *Label2 = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *Text1 = nullptr;
    QPushButton *Ok = nullptr;
    QPushButton *Command2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;

private:
    void Ok_Click();
};
