#include "ui/ChildWindows.h"

#include "ui/Keys.h"

#include <QApplication>
#include <QLayout>
#include <QMdiSubWindow>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionTitleBar>

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

// The width the title bar lacks to show the whole caption (0 when it fits).
int captionShortfall(QMdiSubWindow *sub, int width)
{
    QStyleOptionTitleBar opt;
    opt.initFrom(sub);
    opt.text = sub->windowTitle();
    opt.titleBarFlags = sub->windowFlags();
    opt.subControls = QStyle::SC_All;
    opt.rect = QRect(0, 0, width, sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, &opt, sub));
    const QRect label = sub->style()->subControlRect(QStyle::CC_TitleBar, &opt, QStyle::SC_TitleBarLabel, sub);
    // the frame draws its caption in this font, bold when active; allow for its border
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    const int needed = QFontMetrics(font).horizontalAdvance(opt.text) + 8;
    return qMax(0, needed - label.width());
}

QSize neededSize(QMdiSubWindow *sub, QSize size)
{
    size = size.expandedTo(sub->minimumSizeHint());
    size.rwidth() += captionShortfall(sub, size.width());
    return size;
}

// Moves a child window the frame placed partly outside its area back in, as far as it fits.
void keepInside(QMdiSubWindow *sub)
{
    QMdiArea *a = sub->mdiArea();
    if (!a)
        return;
    const QRect room = a->viewport()->rect();
    QRect g = sub->geometry();
    if (g.right() > room.right())
        g.moveRight(room.right());
    if (g.bottom() > room.bottom())
        g.moveBottom(room.bottom());
    g.moveLeft(qMax(g.left(), room.left()));
    g.moveTop(qMax(g.top(), room.top()));
    sub->move(g.topLeft());
}

// Grows a child window when its contents ask for more room (a list that got a longer
// entry, a longer caption).
class GrowWithContents : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::LayoutRequest || event->type() == QEvent::WindowTitleChange) {
            if (auto *sub = qobject_cast<QMdiSubWindow *>(watched); sub && sub->widget())
                fitChildWindow(sub->widget(), false);
        }
        return false;
    }
};
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
        sub->installEventFilter(new GrowWithContents(sub));
        fitChildWindow(screen, true);
    }
    if (QMdiSubWindow *sub = subWindowOf(screen)) {
        const bool placed = sub->isVisible();
        sub->show();
        if (!placed)
            keepInside(sub);
        screen->show();
        if (area())
            area()->setActiveSubWindow(sub);
    } else {
        screen->show();
        screen->raise();
        screen->activateWindow();
    }
}

void fitChildWindow(QWidget *screen, bool opening)
{
    QMdiSubWindow *sub = subWindowOf(screen);
    if (!sub)
        return;
    if (opening) {
        // the screen's layout still holds what it measured as a window of its own, whose
        // margins are wider: measured afresh, a screen whose contents need more than its
        // designed size opens no larger than they need
        if (screen->layout())
            screen->layout()->invalidate();
        screen->updateGeometry();
        const QSize requested = requestedSize(screen);
        sub->resize(neededSize(sub, requested.isValid() ? requested : sub->sizeHint()));
        return;
    }
    const QSize needed = neededSize(sub, sub->size());
    if (needed != sub->size()) {
        sub->resize(needed);
        if (sub->isVisible())
            keepInside(sub);
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
