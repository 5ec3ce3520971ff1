#include "app/ScreenRegistration.h"
#include "app/StartApplication.h"

#include "app/Form1.h"
#include "app/Login.h"
#include "app/MDIForm1.h"
#include "common/Globals.h"
#include "ui/ScreenRegistry.h"
#include "data/schema/Schema.h"
#include "ui/ChildWindows.h"
#include "ui/FocusMark.h"
#include "ui/MsgBox.h"

#include <QAction>
#include <QApplication>
#include <QProgressDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>
#include <QPointer>
#include <memory>

extern const char *const kConnectionLost;
const char *const kConnectionLost =
    "The connection to the database was lost. Work that was not saved has been cancelled. "
    "Please log in again. ";
extern const char *const kWorkLost;
const char *const kWorkLost =
    "The connection to the database was lost. %1 was not saved: nothing of it is kept. "
    "Enter it again; the next step connects to the server again. ";
extern const char *const kWorkUncertain;
const char *const kWorkUncertain =
    "The connection to the database was lost while %1 was being saved. The server may have saved it "
    "before the loss: look it up before entering it again (a reservation: Reservation > Find Booking). "
    "The next step connects to the server again. ";
extern const char *const kSeekingServer;
const char *const kSeekingServer = "The server is being sought (%1 s). Please wait.";

namespace {
std::unique_ptr<nbk::data::Class1> ownedSession;
QPointer<nbk::app::MDIForm1> mainWindow;
QPointer<QProgressDialog> seeking;

// A reconnect runs inside the clerk's action: a window that says why the counter waits,
// repainted between attempts (keys and clicks wait until it ends).
void showSeeking(int seconds, bool done)
{
    if (done) {
        delete seeking.data();
        return;
    }
    if (!seeking) {
        seeking = new QProgressDialog(mainWindow);
        seeking->setWindowTitle(QStringLiteral("Server"));
        seeking->setCancelButton(nullptr);
        seeking->setRange(0, 0);
        seeking->setMinimumDuration(0);
        seeking->setWindowModality(Qt::ApplicationModal);
    }
    seeking->setLabelText(QString::fromLatin1(kSeekingServer).arg(seconds));
    seeking->show();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

QAction *item(const char *name)
{
    return mainWindow ? mainWindow->menuItem(QString::fromLatin1(name)) : nullptr;
}

void setItem(const char *name, bool enabled, bool visible)
{
    if (QAction *a = item(name)) {
        a->setEnabled(enabled);
        a->setVisible(visible);
    }
}

bool isSupervisor()
{
    // exactly the supervisor account: "Chief" is another account
    return DbSession && DbSession->UserName() == QLatin1String(nbk::data::schema::kSupervisor);
}
}  // namespace

namespace nbk::app {
void registerScreens()
{
    registerScreen(QStringLiteral("Login"), [] { return new Login; });
    registerScreen(QStringLiteral("Form1"), [] { return new Form1; });
}
}  // namespace nbk::app

void StartApplication()
{
    nbk::ui::installFocusMark();
    ownedSession = std::make_unique<nbk::data::Class1>();
    DbSession = ownedSession.get();
    DbSession->onConnectionLost = [](const nbk::data::DbError &) { ConnectionLost(); };
    DbSession->onSeekingServer = showSeeking;
    IsConnected = false;
    nbk::registerAllScreens();
    nbk::app::registerScreens();

    mainWindow = new nbk::app::MDIForm1;
    mainWindow->load();

    setItem("mnuConnectDisconnect", false, true);
    setItem("mnuReserve", false, false);
    if (QAction *a = item("mnuReport"))
        a->setVisible(false);
    setItem("mnuRoute", false, false);
    mainWindow->show();
}

void EndApplication()
{
    delete mainWindow.data();
    mainWindow = nullptr;
    if (DbSession == ownedSession.get())
        DbSession = nullptr;
    // the session goes last: it rolls back and closes the connection
    ownedSession.reset();
}

nbk::app::MDIForm1 *MainWindow() { return mainWindow.data(); }

void ShowNextForm(QWidget *current, const QString &next)
{
    switch (LoginState) {
    case 1:
        nbk::ui::closeChildWindow(current);
        if (mainWindow)
            mainWindow->close();
        break;
    case 2:
        if (!isSupervisor()) {
            if (QAction *a = item("mnuRoute"))
                a->setEnabled(false);
        }
        nbk::ui::closeChildWindow(current);
        nbk::openScreen(next);
        IsConnected = true;
        EnableSessionMenus();
        break;
    default: {
        // a fresh window of the same name, with the defaults of its load
        const QString name = current ? current->objectName() : QString();
        nbk::ui::closeChildWindow(current);
        if (!name.isEmpty())
            nbk::openScreen(name);
        break;
    }
    }
}

void ConnectionLost()
{
    // The failing statement's own handler ends first (with its own message). A loss with
    // nothing pending needs no word: the next action connects again. A task's transaction
    // that went with it is named, once, before anything may run again. Only when the
    // server cannot be found again (or reconnecting is off) does the session end: the
    // clerk is told once, the screens of the dead session close and the login opens.
    const bool ended = !DbSession || DbSession->ReconnectGaveUp() || DbSession->ReconnectLimit() <= 0;
    if (!ended) {
        const QString task = DbSession->LostTask();
        if (task.isEmpty())
            return;
        // a commit whose answer was lost may have been saved: "not saved" could be untrue
        const bool uncertain = DbSession->LostAtCommit();
        QTimer::singleShot(0, [task, uncertain] {
            if (!DbSession)
                return;
            const QString what = task.left(1).toUpper() + task.mid(1);
            nbk::ui::MsgBox(uncertain ? QString::fromLatin1(kWorkUncertain).arg(task) : QString::fromLatin1(kWorkLost).arg(what),
                            nbk::mb::Critical | nbk::mb::OKOnly, QStringLiteral("Error"));
            DbSession->ResumeAfterLoss();
        });
        return;
    }
    QTimer::singleShot(0, [] {
        if (!IsConnected)
            return;
        IsConnected = false;
        nbk::ui::MsgBox(QString::fromLatin1(kConnectionLost), nbk::mb::Critical | nbk::mb::OKOnly,
                        QStringLiteral("Error"));
        if (mainWindow)
            for (QMdiSubWindow *sub : mainWindow->mdiArea()->subWindowList())
                sub->close();
        for (const QString &name : nbk::registeredScreens())
            nbk::closeScreen(name);
        setItem("mnuConnectConnect", true, true);
        setItem("mnuConnectDisconnect", false, true);
        setItem("mnuReserve", false, false);
        if (QAction *a = item("mnuReport"))
            a->setVisible(false);
        setItem("mnuRoute", false, false);
        nbk::openScreen(QStringLiteral("Login"));
    });
}

void EnableSessionMenus()
{
    setItem("mnuConnectConnect", false, true);
    setItem("mnuConnectDisconnect", true, true);
    setItem("mnuReserve", true, true);
    if (QAction *a = item("mnuReport"))
        a->setVisible(true);
    setItem("mnuRoute", isSupervisor(), true);
}
