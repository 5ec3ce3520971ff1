#pragma once
#include "app/Form1.h"
#include "app/Login.h"
#include "app/MDIForm1.h"
#include "app/StartApplication.h"
#include "common/Globals.h"
#include "ui/ScreenRegistry.h"
#include "support/TestDatabase.h"
#include "support/MessageScript.h"
#include "ui/MsgBox.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace nbk::test {

// The client as the program starts it, on a fresh test database.
class ShellTest : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        QApplication::setQuitOnLastWindowClosed(false);
        RouteAddMode = RouteEditMode = RouteDeleteMode = false;
        StartApplication();
        test::MessageScript::clearShown();
    }
    void TearDown() override
    {
        EndApplication();
        flush();
        IsConnected = false;
        LoginState = 0;
        DbTest::TearDown();
    }

    static void flush() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    app::MDIForm1 *main() { return MainWindow(); }
    QAction *menu(const char *name) { return main()->menuItem(QString::fromLatin1(name)); }
    app::Login *login() { return findScreenAs<app::Login>(QStringLiteral("Login")); }
    app::Form1 *form1() { return findScreenAs<app::Form1>(QStringLiteral("Form1")); }

    static void key(QWidget *w, int k, const QString &text = QString())
    {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier, text);
        QCoreApplication::sendEvent(w, &press);
    }
    static void type(QWidget *w, const QString &text)
    {
        for (QChar c : text)
            key(w, c.toUpper().unicode(), QString(c));
    }

    // Fills the open login dialog and presses Enter in Password.
    void logIn(const QString &user, const QString &password)
    {
        app::Login *l = login();
        ASSERT_NE(l, nullptr);
        l->User->setText(user);
        l->Password->setText(password);
        l->Server->setText(db().server());
        key(l->Password, Qt::Key_Return, QStringLiteral("\r"));
        flush();
    }
};

}  // namespace nbk::test
