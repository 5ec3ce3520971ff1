#include "support/MessageScript.h"
#include "data/session/Class1.h"

#include <utility>

namespace nbk::test {

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

class ScriptedPrompt : public Prompt {
public:
    int ask(const QString &text, int style, const QString &title) override
    {
        ScriptState &s = script();
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
            return defaultAnswer(style);
        const int a = s.answers.front();
        s.answers.pop_front();
        return a;
    }
};
}  // namespace

void MessageScript::install()
{
    static ScriptedPrompt prompt;
    ui::setPrompt(&prompt);
    data::Class1::setRefusalSink([](const QString &text, const QString &title) {
        ui::showMessage(text, mb::Critical | mb::OKOnly, title);
    });
}

void MessageScript::begin(std::deque<int> answers)
{
    install();
    ScriptState &s = script();
    s.active = true;
    s.answers = std::move(answers);
    s.shown.clear();
}
void MessageScript::answer(int button) { script().answers.push_back(button); }
void MessageScript::end() { script() = ScriptState{}; }
bool MessageScript::active() { return script().active; }
const std::vector<ShownMessage> &MessageScript::shown() { return script().shown; }
QStringList MessageScript::texts()
{
    QStringList t;
    for (const auto &m : script().shown)
        t << m.text;
    return t;
}
QStringList MessageScript::headlines()
{
    QStringList t = texts();
    for (QString &s : t)
        s = s.section(QStringLiteral("\r\n"), 0, 0);
    return t;
}
void MessageScript::clearShown() { script().shown.clear(); }
void MessageScript::onShown(std::function<void(const ShownMessage &)> f) { script().onShown = std::move(f); }

}  // namespace nbk::test
