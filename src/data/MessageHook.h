#pragma once
#include <QString>
#include <functional>

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

namespace data {
// The data layer shows no windows: Class1's login messages go through this hook, which
// the ui layer connects to its message box.
using MessageFunction = std::function<int(const QString &text, int style, const QString &title)>;
void setMessageFunction(MessageFunction f);
int showMessage(const QString &text, int style, const QString &title);
}  // namespace data

}  // namespace nbk
