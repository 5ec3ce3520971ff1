#pragma once
#include "ui/Screen.h"

#include <QPointer>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class RouteMap;
class RouteWizard;
class SetClass;
class SetFrequency;

// The route wizard's first screen: the places of a route, its distances, halts, journey
// time and fuel grade. Next >> stores them in the wizard's transaction and moves on to
// the frequency screen; adding or editing as the route flags said when it opened.
class frmAddRoute : public nbk::ui::Screen {
    Q_OBJECT
public:
    explicit frmAddRoute(QWidget *parent = nullptr);

    RouteWizard *wizard() const { return wizard_; }
    SetFrequency *frequency() const;
    SetClass *classes() const;

    QLineEdit *txtr = nullptr;
    QLineEdit *txtk = nullptr;
    QLineEdit *Text5 = nullptr;  // the places' Kannada names, optional
    QLineEdit *Text1 = nullptr;
    QLineEdit *Text2 = nullptr;
    QLineEdit *Text3 = nullptr;
    QCheckBox *chkEst = nullptr;
    QLineEdit *Text4 = nullptr;
    QLabel *Label10 = nullptr;
    QComboBox *cmbfpi = nullptr;
    QPushButton *ok = nullptr;
    QPushButton *cancel = nullptr;
    RouteMap *map = nullptr;

protected:
    void onClosed() override;

private:
    void Form_Load();
    void spot_Click(const QString &city);
    void txtr_Change();
    void Text3_Change();
    void chkEst_Click();
    void Text4_Change();
    void ok_Click();
    void setEstimateControls(bool enabled);
    void showEstimate();

    RouteWizard *wizard_ = nullptr;
    bool clearing_ = false;
};
