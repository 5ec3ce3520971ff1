#pragma once
#include <QSize>

class QAbstractButton;
class QLineEdit;
class QWidget;

namespace nbk::ui {

// The counter's keys on a screen: Enter (Return or keypad Enter) presses `forward`, the
// button that moves the task on, and Escape presses `cancel`; either may be null. A
// focused push button takes Enter for itself. Keys a control uses itself (Enter in a
// multi-line box, keys in an open list) never reach the screen, nor do keys a screen's own
// filter takes first.
void setDialogKeys(QWidget *screen, QAbstractButton *forward, QAbstractButton *cancel);

// A box whose text is selected whenever it gets the focus, by key or by mouse, so that
// what is typed replaces it ("18" in a day box that held "27" gives 18, not 2718).
void selectAllOnFocus(QLineEdit *box);

// Sizes a screen to its size in twips, converted through its screen's resolution. Inside
// the main window the size is the child window's outer size, frame and title included;
// either way never smaller than its contents.
void sizeInTwips(QWidget *screen, int widthTwips, int heightTwips);

// The outer size in pixels a screen asked for through sizeInTwips; invalid without one.
QSize requestedSize(const QWidget *screen);

}  // namespace nbk::ui
