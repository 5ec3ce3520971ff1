#include "ui/prompt/Prompt.h"

#include <cstdio>

namespace nbk {

int defaultAnswer(int style)
{
    const bool second = style & mb::DefaultButton2;
    switch (style & 7) {
    case mb::OKCancel:
        return second ? mb::Cancel : mb::OK;
    case mb::YesNo:
        return second ? mb::No : mb::Yes;
    default:
        return mb::OK;
    }
}

namespace ui {

namespace {
Prompt *&installed()
{
    static Prompt *p = nullptr;
    return p;
}
}  // namespace

void setPrompt(Prompt *p) { installed() = p; }
Prompt *prompt() { return installed(); }

int showMessage(const QString &text, int style, const QString &title)
{
    if (Prompt *p = installed())
        return p->ask(text, style, title);
    std::fprintf(stderr, "%s: %s\n", qPrintable(title.trimmed()), qPrintable(text));
    return defaultAnswer(style);
}

}  // namespace ui
}  // namespace nbk
