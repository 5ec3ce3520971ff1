#include "ui/Keys.h"

#include "ui/Twips.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeySequence>
#include <QPointer>
#include <QShortcut>
#include <QWidget>

namespace nbk::ui {

namespace {
void pressOnKey(QWidget *screen, QAbstractButton *button, const QKeySequence &key, bool focusedButtonFirst)
{
    auto *s = new QShortcut(key, screen);
    s->setContext(Qt::WidgetWithChildrenShortcut);
    QPointer<QAbstractButton> b = button;
    QObject::connect(s, &QShortcut::activated, screen, [b, focusedButtonFirst] {
        if (focusedButtonFirst) {
            if (auto *focused = qobject_cast<QAbstractButton *>(QApplication::focusWidget());
                focused && focused->isEnabled() && focused->isVisible()) {
                focused->click();
                return;
            }
        }
        if (b && b->isEnabled() && b->isVisible())
            b->click();
    });
}
}  // namespace

void setDialogKeys(QWidget *screen, QAbstractButton *forward, QAbstractButton *cancel)
{
    if (!screen)
        return;
    if (forward) {
        pressOnKey(screen, forward, QKeySequence(Qt::Key_Return), true);
        pressOnKey(screen, forward, QKeySequence(Qt::Key_Enter), true);
    }
    if (cancel)
        pressOnKey(screen, cancel, QKeySequence(Qt::Key_Escape), false);
}

void sizeInTwips(QWidget *screen, int widthTwips, int heightTwips)
{
    if (!screen)
        return;
    const QSize wanted = twipsToPixels(widthTwips, heightTwips);
    screen->resize(wanted.expandedTo(screen->minimumSizeHint()));
}

}  // namespace nbk::ui
