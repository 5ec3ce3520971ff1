#pragma once
#include <QWidget>

class QCloseEvent;

namespace nbk::ui {

// Base of every task screen. A screen that has closed drops its objectName at once, so
// the same handler can open a fresh one under that name before the old one is deleted.
class Screen : public QWidget {
    Q_OBJECT
public:
    explicit Screen(QWidget *parent = nullptr);
    bool isClosed() const { return closed_; }

protected:
    // False keeps the screen open (for example when the clerk answers No).
    virtual bool queryClose() { return true; }
    // Runs once when the screen has closed.
    virtual void onClosed() {}
    void closeEvent(QCloseEvent *e) final;

private:
    bool closed_ = false;
};

}  // namespace nbk::ui
