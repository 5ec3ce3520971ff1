#pragma once
#include "ui/prompt/Prompt.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

namespace nbk::test {

// What a box showed, as tests read it.
struct ShownMessage {
    QString text;
    int style = 0;
    QString title;
    int icon() const { return style & 0x70; }
    int buttons() const { return style & 0x7; }
};

// The tests' prompt: no box is shown; each is recorded and answered from a script
// (answers in order; when the script runs out, the default button). Installed for the
// whole test run, so no test can block on a real box.
class MessageScript {
public:
    static void begin(std::deque<int> answers = {});
    static void answer(int button);  // append an answer
    static void end();
    static bool active();
    static const std::vector<ShownMessage> &shown();
    static QStringList texts();
    static QStringList headlines();  // each text up to its first line break
    static void clearShown();
    // Runs when a box is shown, before it is answered (what another clerk does meanwhile).
    static void onShown(std::function<void(const ShownMessage &)> f);
    // Installs the script as the client's prompt.
    static void install();
};

}  // namespace nbk::test
