#include "ui/Keys.h"
#include <QEvent>
#include <QTimer>
#include <QLineEdit>

#include "ui/ChildWindows.h"
#include "ui/Twips.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

namespace nbk::ui {

namespace {
const char *const kRequestedSize = "nbkRequestedSize";

// Watches the key presses that reach the screen: those its controls left alone.
class DialogKeys : public QObject {
public:
    DialogKeys(QWidget *screen, QAbstractButton *forward, QAbstractButton *cancel)
        : QObject(screen), forward_(forward), cancel_(cancel)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *k = static_cast<QKeyEvent *>(event);
        // Alt+Enter or Ctrl+Escape mean something else (or nothing) to the clerk
        if ((k->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier || k->isAutoRepeat())
            return false;
        auto *screen = static_cast<QWidget *>(watched);
        switch (k->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (auto *focused = qobject_cast<QPushButton *>(screen->focusWidget()))
                return press(focused);
            return press(forward_);
        case Qt::Key_Escape:
            return press(cancel_);
        default:
            return false;
        }
    }

private:
    static bool press(QAbstractButton *b)
    {
        if (!b || !b->isEnabled())
            return false;
        b->click();
        return true;
    }

    QPointer<QAbstractButton> forward_;
    QPointer<QAbstractButton> cancel_;
};
}  // namespace

void setDialogKeys(QWidget *screen, QAbstractButton *forward, QAbstractButton *cancel)
{
    if (!screen)
        return;
    screen->installEventFilter(new DialogKeys(screen, forward, cancel));
    // drawn as the default button, so the clerk sees what Enter does
    if (auto *b = qobject_cast<QPushButton *>(forward))
        b->setDefault(true);
}

void sizeInTwips(QWidget *screen, int widthTwips, int heightTwips)
{
    if (!screen)
        return;
    const QSize outer(twipsToDeviceX(widthTwips, *screen), twipsToDeviceY(heightTwips, *screen));
    screen->setProperty(kRequestedSize, outer);
    if (qobject_cast<QMdiSubWindow *>(screen->parentWidget()))
        fitChildWindow(screen, true);
    else
        screen->resize(outer.expandedTo(screen->minimumSizeHint()));
}

QSize requestedSize(const QWidget *screen)
{
    return screen ? screen->property(kRequestedSize).toSize() : QSize();
}

}  // namespace nbk::ui

namespace nbk::ui {

namespace {
class SelectOnFocus : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::FocusIn) {
            // after the event: a mouse press would otherwise place the caret over the selection
            QPointer<QLineEdit> box = qobject_cast<QLineEdit *>(o);
            QTimer::singleShot(0, box, [box] {
                if (box && box->hasFocus())
                    box->selectAll();
            });
            if (box)
                box->selectAll();
        }
        return false;
    }
};
}  // namespace

void selectAllOnFocus(QLineEdit *box)
{
    if (box)
        box->installEventFilter(new SelectOnFocus(box));
}

}  // namespace nbk::ui
