#pragma once
#include "ui/Screen.h"

#include <QList>

class QDateEdit;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;

// The close of a clerk's shift: the cash counted by denomination against what the trail
// says was taken, and the closes of a day this login may see (every clerk's for the supervisor).
class ShiftClose : public nbk::ui::Screen {
    Q_OBJECT
public:
    explicit ShiftClose(QWidget *parent = nullptr);

    QList<QSpinBox *> txtCount;  // one per denomination, largest first
    QLabel *lblCounted = nullptr;
    QDateEdit *txtDay = nullptr;  // the day whose closes the list shows
    QTableWidget *grdCloses = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;

private:
    void recount();
    void showCloses();
    void Command1_Click();
};
