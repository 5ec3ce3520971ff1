#include "ui/Screen.h"

#include <QCloseEvent>
#include <QMdiSubWindow>

namespace nbk::ui {

Screen::Screen(QWidget *parent) : QWidget(parent) {}

void Screen::closeEvent(QCloseEvent *e)
{
    if (closed_) {
        e->accept();
        return;
    }
    if (!queryClose()) {
        e->ignore();
        return;
    }
    closed_ = true;
    setObjectName(QString());
    e->accept();
    // a screen that closes itself takes its frame window with it
    if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget())) {
        sub->hide();
        sub->deleteLater();
    }
    onClosed();
}

}  // namespace nbk::ui
