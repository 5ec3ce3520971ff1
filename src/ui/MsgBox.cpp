#include "ui/MsgBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <utility>

namespace nbk::ui {

namespace {
struct ScriptState {
    bool active = false;
    std::deque<int> answers;
    std::vector<ShownMessage> shown;
    std::function<void(const ShownMessage &)> onShown;
};
ScriptState &script()
{
    static ScriptState s;
    return s;
}

int defaultButton(int style)
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
}  // namespace

QString defaultTitle()
{
    const QString name = QApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("nbk-reservation") : name;
}

int MsgBox(const QString &text, int style, const QString &title)
{
    ScriptState &s = script();
    if (s.active) {
        s.shown.push_back({text, style, title});
        if (s.onShown) {
            // the observer may show boxes of its own (taking the next answers); this box
            // takes its answer after them
            const auto observer = std::exchange(s.onShown, nullptr);
            const ShownMessage m = s.shown.back();
            observer(m);
            if (!script().onShown)
                script().onShown = observer;
        }
        if (s.answers.empty())
            return defaultButton(style);
        const int a = s.answers.front();
        s.answers.pop_front();
        return a;
    }
    QMessageBox box(QApplication::activeWindow());
    box.setText(text);
    box.setWindowTitle(title.isEmpty() ? defaultTitle() : title);
    // the stop icon wins when a style sets more than one icon flag (80 = stop + information)
    const int icon = style & 0x70;
    if ((icon & mb::Critical) == mb::Critical && icon != mb::Exclamation)
        box.setIcon(QMessageBox::Critical);
    else if (icon == mb::Question)
        box.setIcon(QMessageBox::Question);
    else if (icon == mb::Exclamation)
        box.setIcon(QMessageBox::Warning);
    else if (icon == mb::Information)
        box.setIcon(QMessageBox::Information);
    const int buttons = style & 7;
    QMessageBox::StandardButton def = QMessageBox::Ok;
    if (buttons == mb::OKCancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        def = (style & mb::DefaultButton2) ? QMessageBox::Cancel : QMessageBox::Ok;
    } else if (buttons == mb::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        def = (style & mb::DefaultButton2) ? QMessageBox::No : QMessageBox::Yes;
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    box.setDefaultButton(def);
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return mb::Cancel;
    case QMessageBox::Yes:
        return mb::Yes;
    case QMessageBox::No:
        return mb::No;
    case QMessageBox::Ok:
        return mb::OK;
    default:
        // closed with Escape or the close box: the cancelling answer
        return buttons == mb::YesNo ? mb::No : buttons == mb::OKCancel ? mb::Cancel : mb::OK;
    }
}

void MessageScript::begin(std::deque<int> answers)
{
    ScriptState &s = script();
    s.active = true;
    s.answers = std::move(answers);
    s.shown.clear();
}
void MessageScript::answer(int button) { script().answers.push_back(button); }
void MessageScript::end()
{
    script() = ScriptState{};
}
bool MessageScript::active() { return script().active; }
const std::vector<ShownMessage> &MessageScript::shown() { return script().shown; }
QStringList MessageScript::texts()
{
    QStringList t;
    for (const auto &m : script().shown)
        t << m.text;
    return t;
}
void MessageScript::clearShown() { script().shown.clear(); }
void MessageScript::onShown(std::function<void(const ShownMessage &)> f) { script().onShown = std::move(f); }

void installMessageHook()
{
    data::setMessageFunction([](const QString &text, int style, const QString &title) {
        return MsgBox(text, style, title);
    });
}

}  // namespace nbk::ui
