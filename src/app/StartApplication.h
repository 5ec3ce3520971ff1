#pragma once
#include <QString>

class QWidget;

namespace nbk::app {
class MDIForm1;
// Registers the shell's own windows (login dialog, query test window) by name.
void registerScreens();
}  // namespace nbk::app

// Creates the session and the main window (which opens the login dialog) and sets the
// menus for a client without a session.
void StartApplication();
// Destroys what StartApplication made: the main window with its child windows, then the
// session last.
void EndApplication();
// The main window while the program runs; null before start-up and after the end.
nbk::app::MDIForm1 *MainWindow();

// Acts on LoginState after a login attempt made in the window current: 2 opens the
// window named next, 1 ends the program, 0 brings current back fresh.
void ShowNextForm(QWidget *current, const QString &next);
// Menus of a logged-in session; Route-Management only for the supervisor.
void EnableSessionMenus();
// The server dropped the session's connection. With nothing pending: nothing to say, the
// next action reconnects. With a task's transaction lost: after the running handler, tells
// the clerk what was not saved (kWorkLost; kWorkUncertain when the loss met its commit) and
// lets the session reconnect. When the server was not found again: tells the clerk once
// (kConnectionLost), closes every screen of the session, resets the menus and opens the
// login dialog.
void ConnectionLost();
extern const char *const kConnectionLost;
extern const char *const kWorkLost;
extern const char *const kWorkUncertain;
extern const char *const kSeekingServer;
