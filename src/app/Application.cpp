#include "app/Application.h"

#include "data/Class1.h"
#include "data/DbError.h"
#include "ui/MsgBox.h"

#include <exception>

namespace nbk::app {

namespace {
void reportEscapedError(const QString &text)
{
    // half-done work of the failed handler must not stay open for a later commit
    if (DbSession && DbSession->IsInTransaction())
        DbSession->RollBackTransaction();
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
