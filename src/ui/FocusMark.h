#pragma once

class QStyle;

namespace nbk::ui {

// The application's style, with a clear frame in the highlight colour around the push
// button that has the keyboard focus (the clerk sees what Space and Enter press). Once
// per application; later calls change nothing.
void installFocusMark();

// True when `style` draws that frame.
bool drawsFocusMark(const QStyle *style);

}  // namespace nbk::ui
