#pragma once
#include "ui/Screen.h"

class QLabel;
class QLineEdit;
class QPushButton;

// A report's request window: one value typed, the report shown or its refusal told.
class ValueRequest : public nbk::ui::Screen {
    Q_OBJECT
public:
    QLabel *Label1 = nullptr;
    QLineEdit *Text1 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;

protected:
    ValueRequest(QWidget *parent, const QString &name, const QString &title, const QString &prompt,
                 const QString &action);
    // Builds and shows the report for the value typed.
    virtual void request(const QString &value) = 0;
};
