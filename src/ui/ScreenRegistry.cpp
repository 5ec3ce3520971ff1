#include "ui/ScreenRegistry.h"

#include "ui/ChildWindows.h"

#include <QHash>

namespace nbk {

namespace {
QHash<QString, ScreenFactory> &factories()
{
    static QHash<QString, ScreenFactory> f;
    return f;
}
}  // namespace

void registerScreen(const QString &name, ScreenFactory make) { factories().insert(name, std::move(make)); }

bool isScreenRegistered(const QString &name) { return factories().contains(name); }

QStringList registeredScreens()
{
    QStringList names = factories().keys();
    names.sort();
    return names;
}

QWidget *openScreen(const QString &name)
{
    if (QWidget *w = ui::findChildWindow(name)) {
        ui::showChildWindow(w);
        return w;
    }
    const auto it = factories().constFind(name);
    if (it == factories().constEnd())
        return nullptr;
    const ScreenFactory make = it.value();
    // a factory that shows a window of its own (or only a message) returns null
    QWidget *made = make();
    if (!made)
        return ui::findChildWindow(name);
    // shown here: a screen that names itself in its constructor is found as already open
    made->setObjectName(name);
    made->setAttribute(Qt::WA_DeleteOnClose);
    ui::showChildWindow(made);
    return made;
}

QWidget *findScreen(const QString &name) { return ui::findChildWindow(name); }

bool closeScreen(const QString &name) { return ui::closeChildWindow(name); }

}  // namespace nbk
