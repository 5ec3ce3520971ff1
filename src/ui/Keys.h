#pragma once

class QAbstractButton;
class QWidget;

namespace nbk::ui {

// The counter's keys on a screen: Enter (Return or keypad Enter) presses `forward`, the
// button that moves the task on, and Escape presses `cancel`; either may be null. A
// focused button takes Enter for itself (Space and Enter press the button in focus).
void setDialogKeys(QWidget *screen, QAbstractButton *forward, QAbstractButton *cancel);

// Sizes a screen to its size in twips on its screen, never smaller than its contents.
void sizeInTwips(QWidget *screen, int widthTwips, int heightTwips);

}  // namespace nbk::ui
