#pragma once
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

// Screens are opened by name, so that one subsystem can open another's screen without
// linking to its class. Each subsystem registers its screens at start-up.
namespace nbk {

using ScreenFactory = std::function<QWidget *()>;

void registerScreen(const QString &name, ScreenFactory make);
bool isScreenRegistered(const QString &name);
// Every registered screen name, sorted.
QStringList registeredScreens();

// The open screen of that name, shown; or a new one, created, named and shown inside the
// main window. Null when no screen of that name is registered (or its factory showed a
// window of its own under that name and nothing is open).
QWidget *openScreen(const QString &name);
// The open screen of that name, or null.
QWidget *findScreen(const QString &name);
template <class T>
T *findScreenAs(const QString &name)
{
    return qobject_cast<T *>(findScreen(name));
}
// Closes the open screen of that name (its close handling may refuse); true when closed
// or not open.
bool closeScreen(const QString &name);

}  // namespace nbk
