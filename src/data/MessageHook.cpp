#include "data/MessageHook.h"

#include <cstdio>

namespace nbk::data {

static MessageFunction &hook()
{
    static MessageFunction f;
    return f;
}

void setMessageFunction(MessageFunction f) { hook() = std::move(f); }

int showMessage(const QString &text, int style, const QString &title)
{
    if (hook())
        return hook()(text, style, title);
    std::fprintf(stderr, "%s: %s\n", qPrintable(title.trimmed()), qPrintable(text));
    return (style & 7) == mb::YesNo ? mb::Yes : mb::OK;
}

}  // namespace nbk::data
