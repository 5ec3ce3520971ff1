#pragma once
#include <QHash>
#include <QMainWindow>

class QAction;
class QMdiArea;
class QMenu;

namespace nbk::app {

// The main window: a multi-document frame whose menus open every task screen.
class MDIForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit MDIForm1(QWidget *parent = nullptr);
    ~MDIForm1() override;

    // The menu item of that name (a top menu's or submenu's own action for menus);
    // null for an unknown name.
    QAction *menuItem(const QString &name) const;
    QMdiArea *mdiArea() const { return mdi_; }
    // True once the window has closed (it is not deleted until the program ends).
    bool isClosed() const { return closed_; }

    // Opens the login dialog unless a session is open.
    void load();

    // Menu handlers.
    void connectToServer();
    void disconnectFromServer();
    void exitProgram();
    // Help > About: the program's version, the schema version it is built for and the one
    // the connected database records.
    void showAbout();

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    QMenu *addMenu(QMenu *parent, const QString &name, const QString &caption);
    QAction *addItem(QMenu *menu, const QString &name, const QString &caption, void (MDIForm1::*slot)());
    QAction *addItem(QMenu *menu, const QString &name, const QString &caption, const QString &screen);
    void addSeparator(QMenu *menu, const QString &name);
    void buildMenus();
    // Closes every child window; false when one of them stays open.
    bool closeChildWindows();

    void routeAdd();
    void routeDelete();
    void routeEdit();

    QMdiArea *mdi_ = nullptr;
    QHash<QString, QAction *> items_;
    bool closed_ = false;
};

}  // namespace nbk::app
