#pragma once
#include "ui/Screen.h"

class QLabel;
class QLineEdit;
class QPushButton;

// Asks for a run number and shows the conductor's manifest of that run.
class Manifest : public nbk::ui::Screen {
    Q_OBJECT
public:
    explicit Manifest(QWidget *parent = nullptr);

    QLabel *Label1 = nullptr;
    QLineEdit *Text1 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;

private:
    void Command1_Click();
};
