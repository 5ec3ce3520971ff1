#pragma once

class QComboBox;

namespace nbk::ui {

// A list that never cuts its entries: it is at least as wide as its longest entry (its
// window grows with it), its drop-down does not elide, and the chosen entry is also its
// tooltip.
void keepEntriesWhole(QComboBox *list);

}  // namespace nbk::ui
