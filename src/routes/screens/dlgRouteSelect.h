#pragma once
#include "ui/Screen.h"

class QComboBox;
class QPushButton;

// The routes a place search found: preview one, or take it on to edit or delete.
class dlgRouteSelect : public nbk::ui::Screen {
    Q_OBJECT
public:
    explicit dlgRouteSelect(QWidget *parent = nullptr);

    QComboBox *cmbRouteID = nullptr;
    QPushButton *Command1 = nullptr;  // Preview Route
    QPushButton *OKButton = nullptr;
    QPushButton *CancelButton = nullptr;

private:
    void Command1_Click();
    void OKButton_Click();
};

// A route number as the route screens take it: a number within 16 bits, else nothing.
bool routeNumber16(const QString &typed, qint16 &id);
