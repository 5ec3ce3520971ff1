#pragma once
#include "ui/Screen.h"

class QLineEdit;
class QPushButton;

// Finds the route to edit or delete: by its number, or by a place it touches.
class frmEditRoute : public nbk::ui::Screen {
    Q_OBJECT
public:
    explicit frmEditRoute(QWidget *parent = nullptr);

    QLineEdit *RID = nullptr;
    QLineEdit *Place = nullptr;
    QPushButton *Command1 = nullptr;  // OK
    QPushButton *Command2 = nullptr;  // Cancel

private:
    void Command1_Click();
    void searchByPlace();
};
