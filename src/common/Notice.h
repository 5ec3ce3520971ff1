#pragma once
#include "data/MessageHook.h"

#include <QString>
#include <functional>
#include <vector>

namespace nbk {

// A message a procedure leaves for its screen to show: the procedure decides what the
// clerk is told, the screen shows it.
struct Notice {
    QString text;
    int style = mb::OKOnly;
    QString title;
};
using Notices = std::vector<Notice>;

// How a procedure asks the clerk a question it needs answered now: true for Yes.
using Confirm = std::function<bool(const Notice &question)>;

}  // namespace nbk
