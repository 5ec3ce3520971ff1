#pragma once
#include <QApplication>
#include <functional>

namespace nbk::app {

// The client's application object. Its safety net turns an error that escapes any
// handler into a message box, so the client survives; the handler's own transaction has
// rolled back as it unwound, and no other task's is touched.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

// Runs deliver; a DbException or other exception escaping it is shown (stop icon,
// "Error"). Returns deliver's result, or false after an error.
bool runGuarded(const std::function<bool()> &deliver);

}  // namespace nbk::app
