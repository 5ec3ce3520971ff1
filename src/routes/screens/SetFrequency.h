#pragma once
#include "ui/Screen.h"

#include <QPointer>
#include <array>

class QCheckBox;
class QComboBox;
class QPushButton;
class RouteWizard;

// The route wizard's second screen: the days a route runs, with the interval between its
// buses and the first bus of each day.
class SetFrequency : public nbk::ui::Screen {
    Q_OBJECT
public:
    explicit SetFrequency(RouteWizard *wizard, QWidget *parent = nullptr);

    // Row k = 0 .. 7: Monday .. Sunday, Everyday. Each DayCheck has objectName "DayCheck"
    // and each DayDetail "DayDetail", with their index in the property "index".
    std::array<QCheckBox *, 8> DayCheck{};
    std::array<QComboBox *, 24> DayDetail{};
    QPushButton *Command1 = nullptr;  // Cancel
    QPushButton *Command2 = nullptr;  // Next >>
    QPushButton *Command3 = nullptr;  // << Back

protected:
    void onClosed() override;

private:
    void Form_Load();
    void DayDetail_Click(int index);
    void Command1_Click();
    void Command2_Click();

    QPointer<RouteWizard> wizard_;
};
