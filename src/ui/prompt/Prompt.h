#pragma once
#include <QString>

namespace nbk {

// Message-box style values as the screens give them: buttons + icon + default button.
namespace mb {
constexpr int OKOnly = 0;
constexpr int OKCancel = 1;
constexpr int YesNo = 4;
constexpr int Critical = 16;     // stop
constexpr int Question = 32;
constexpr int Exclamation = 48;  // warning
constexpr int Information = 64;
constexpr int DefaultButton2 = 256;
// answers
constexpr int OK = 1;
constexpr int Cancel = 2;
constexpr int Yes = 6;
constexpr int No = 7;
}  // namespace mb

// The one way the client tells or asks the person at the counter: a text, a style value
// and a title, answered with the button pressed. The client installs the modal message
// box; tests and the load driver install a script.
class Prompt {
public:
    virtual ~Prompt() = default;
    virtual int ask(const QString &text, int style, const QString &title) = 0;
};

// The button a box answers with when nobody presses one (Enter on its default button).
int defaultAnswer(int style);

namespace ui {
// The installed prompt (not owned); null: messages go to standard error and are answered
// with the default button.
void setPrompt(Prompt *p);
Prompt *prompt();
int showMessage(const QString &text, int style, const QString &title);
}  // namespace ui

}  // namespace nbk
