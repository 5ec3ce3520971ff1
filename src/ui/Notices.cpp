#include "ui/Notices.h"

#include "ui/MsgBox.h"

namespace nbk {

void showNotices(const Notices &notices)
{
    for (const Notice &n : notices)
        ui::MsgBox(n.text, n.style, n.title);
}

Confirm confirmByMessageBox()
{
    return [](const Notice &q) { return ui::MsgBox(q.text, q.style, q.title) == mb::Yes; };
}

}  // namespace nbk
