#pragma once
#include "data/MessageHook.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

namespace nbk::ui {

// The one message box of the client: text, style value (buttons + icon + default
// button, as the screens give them) and title; returns the button pressed (mb::OK,
// mb::Yes, ...). An empty title is the application's default title.
int MsgBox(const QString &text, int style = mb::OKOnly, const QString &title = QString());

// What a box showed, as tests read it.
struct ShownMessage {
    QString text;
    int style = 0;
    QString title;
    int icon() const { return style & 0x70; }
    int buttons() const { return style & 0x7; }
};

// In tests boxes are not shown: each is recorded and answered from a script (answers in
// order; when the script runs out, the default button).
class MessageScript {
public:
    static void begin(std::deque<int> answers = {});
    static void answer(int button);  // append an answer
    static void end();
    static bool active();
    static const std::vector<ShownMessage> &shown();
    static QStringList texts();
    static void clearShown();
    // Runs when a box is shown, before it is answered (what another clerk does meanwhile).
    static void onShown(std::function<void(const ShownMessage &)> f);
};

// Connects the data layer's message hook to MsgBox.
void installMessageHook();

QString defaultTitle();

}  // namespace nbk::ui
