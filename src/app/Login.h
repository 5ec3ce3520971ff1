#pragma once
#include "ui/Screen.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace nbk::app {

// The login dialog, a child window of the main window.
class Login : public nbk::ui::Screen {
    Q_OBJECT
public:
    explicit Login(QWidget *parent = nullptr);

    QLineEdit *User = nullptr;
    QLineEdit *Password = nullptr;
    QLineEdit *Server = nullptr;
    QPushButton *Command1 = nullptr;  // Login
    QPushButton *Command2 = nullptr;  // Cancel
    QPushButton *Command3 = nullptr;  // Help

    // One login attempt with the boxes' texts, then on to the next window.
    void logIn();

    static QString helpText();

protected:
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void userKeyPress(int key);
    bool loaded_ = false;
};

}  // namespace nbk::app
