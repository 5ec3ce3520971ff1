#pragma once
#include "ui/Screen.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// Prints the ticket of one customer or every ticket of one run.
class Ticket : public nbk::ui::Screen {
    Q_OBJECT
public:
    explicit Ticket(QWidget *parent = nullptr);

    QGroupBox *Frame2 = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *Text1 = nullptr;
    QGroupBox *Frame1 = nullptr;
    QRadioButton *Option1 = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *Text2 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;

private:
    QButtonGroup *Option1Group = nullptr;
    void Text1_Change();
    void Text2_Change();
    void Option1_Click();
    void Command1_Click();
    void printByCustomer();
    void printByInstance();
};
