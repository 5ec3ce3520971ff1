#pragma once
#include "common/Notice.h"

namespace nbk {

// Shows the notices in order through the message box.
void showNotices(const Notices &notices);
// A Confirm that asks through the message box.
Confirm confirmByMessageBox();

}  // namespace nbk
