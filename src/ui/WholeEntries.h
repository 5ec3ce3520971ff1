#pragma once

class QComboBox;

namespace nbk::ui {

// A list that never cuts its entries: it is at least as wide as its longest entry (its
// window grows with it), its drop-down does not elide, and the chosen entry is also its
// tooltip.
void keepEntriesWhole(QComboBox *list);

// A list whose drop-down shows at most `visible` entries and scrolls (some styles open a
// list at its full length, past the screen's edge).
void boundPopup(QComboBox *list, int visible = 12);

}  // namespace nbk::ui
