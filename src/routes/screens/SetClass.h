#pragma once
#include "ui/Screen.h"

#include <QPointer>
#include <array>

class QCheckBox;
class QPushButton;
class RouteWizard;

// The route wizard's last screen: the classes of bus that serve each day the route runs.
// OK stores them and commits the whole addition or edit.
class SetClass : public nbk::ui::Screen {
    Q_OBJECT
public:
    explicit SetClass(RouteWizard *wizard, QWidget *parent = nullptr);

    // Box 8c + 8 - d: class c (0 Shuttle .. 4 Air Bus), day d (1 Monday .. 8 Everyday);
    // objectName "Check1", index in the property "index".
    std::array<QCheckBox *, 40> Check1{};
    QPushButton *Command1 = nullptr;  // OK
    QPushButton *Command2 = nullptr;  // Start over

protected:
    void onClosed() override;

private:
    void Command1_Click();

    QPointer<RouteWizard> wizard_;
};
