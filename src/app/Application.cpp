#include "app/Application.h"

#include "data/dialect/DbError.h"
#include "ui/MsgBox.h"

#include <exception>

namespace nbk::app {

namespace {
void reportEscapedError(const QString &text)
{
    // The failed handler's own transaction rolled back as its Transaction unwound; what
    // is still open belongs to another task (a booking waiting at its customer screen)
    // and stays that task's to finish.
    ui::MsgBox(text.isEmpty() ? QStringLiteral("Unexpected error") : text, mb::Critical | mb::OKOnly,
               QStringLiteral("Error"));
}
}  // namespace

bool runGuarded(const std::function<bool()> &deliver)
{
    try {
        return deliver();
    } catch (const data::DbException &e) {
        reportEscapedError(e.error().description);
    } catch (const std::exception &e) {
        reportEscapedError(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        reportEscapedError(QString());
    }
    return false;
}

Application::Application(int &argc, char **argv) : QApplication(argc, argv) {}

bool Application::notify(QObject *receiver, QEvent *event)
{
    return runGuarded([&] { return QApplication::notify(receiver, event); });
}

}  // namespace nbk::app
