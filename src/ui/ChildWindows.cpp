#include "ui/ChildWindows.h"

#include <QApplication>
#include <QMdiSubWindow>
#include <QPointer>

namespace nbk::ui {

namespace {
QPointer<QMdiArea> &area()
{
    static QPointer<QMdiArea> a;
    return a;
}

QMdiSubWindow *subWindowOf(QWidget *w)
{
    return w ? qobject_cast<QMdiSubWindow *>(w->parentWidget()) : nullptr;
}
}  // namespace

void setMdiArea(QMdiArea *a) { area() = a; }
QMdiArea *mdiArea() { return area(); }

QWidget *findChildWindow(const QString &objectName)
{
    if (QMdiArea *a = area()) {
        for (QMdiSubWindow *s : a->subWindowList())
            if (s->widget() && s->widget()->objectName() == objectName)
                return s->widget();
    }
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == objectName)
            return w;
    return nullptr;
}

bool isChildWindowOpen(const QString &objectName) { return findChildWindow(objectName) != nullptr; }

void showChildWindow(QWidget *screen)
{
    if (!screen)
        return;
    QMdiArea *a = area();
    if (a && !subWindowOf(screen)) {
        QMdiSubWindow *sub = a->addSubWindow(screen);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->setWindowTitle(screen->windowTitle());
        sub->adjustSize();
    }
    if (QMdiSubWindow *sub = subWindowOf(screen)) {
        sub->show();
        screen->show();
        if (area())
            area()->setActiveSubWindow(sub);
    } else {
        screen->show();
        screen->raise();
        screen->activateWindow();
    }
}

void hideChildWindow(QWidget *screen)
{
    if (!screen)
        return;
    if (QMdiSubWindow *sub = subWindowOf(screen))
        sub->hide();
    else
        screen->hide();
}

bool closeChildWindow(QWidget *screen)
{
    if (!screen)
        return true;
    if (QMdiSubWindow *sub = subWindowOf(screen))
        return sub->close();
    return screen->close();
}

bool closeChildWindow(const QString &objectName)
{
    return closeChildWindow(findChildWindow(objectName));
}

}  // namespace nbk::ui
