#pragma once
#include <QMdiArea>
#include <QString>
#include <QWidget>
#include <functional>

namespace nbk::ui {

// Screens open as child windows of the main window's frame, one instance each, found by
// their objectName. Without a frame (a screen tested alone) they are top-level windows.
void setMdiArea(QMdiArea *area);
QMdiArea *mdiArea();

QWidget *findChildWindow(const QString &objectName);
bool isChildWindowOpen(const QString &objectName);

// Shows the screen inside the frame (adding it on first show) and gives it the focus.
// Added, the child window takes the screen's size (sizeInTwips) or its contents' size, and
// from then on grows whenever its contents or its caption need more room.
void showChildWindow(QWidget *screen);
// Sizes the screen's child window: on `opening` to the screen's size, else only grown
// to what its contents and caption need.
void fitChildWindow(QWidget *screen, bool opening);
void hideChildWindow(QWidget *screen);
// Closes the screen; its closeEvent may refuse. True when it closed.
bool closeChildWindow(QWidget *screen);
bool closeChildWindow(const QString &objectName);

// Opens a screen: the open one when there is one, else make() creates it; then shown.
template <class T>
T *openChildWindow(const QString &objectName, const std::function<T *()> &make)
{
    if (auto *w = qobject_cast<T *>(findChildWindow(objectName))) {
        return w;
    }
    T *w = make();
    w->setObjectName(objectName);
    w->setAttribute(Qt::WA_DeleteOnClose);
    showChildWindow(w);
    return w;
}

template <class T>
T *childWindow(const QString &objectName)
{
    return qobject_cast<T *>(findChildWindow(objectName));
}

}  // namespace nbk::ui
