#pragma once
#include "ui/prompt/Prompt.h"

#include <QString>

namespace nbk::ui {

// The one message box of the client: text, style value (buttons + icon + default
// button, as the screens give them) and title; returns the button pressed (mb::OK,
// mb::Yes, ...). An empty title is the application's default title. Goes through the
// installed prompt (ui::setPrompt).
int MsgBox(const QString &text, int style = mb::OKOnly, const QString &title = QString());

// The real modal message box, as the client installs it.
class ModalPrompt : public Prompt {
public:
    int ask(const QString &text, int style, const QString &title) override;
};

// Installs the modal message box for the client's run.
void installModalPrompt();

QString defaultTitle();

}  // namespace nbk::ui
