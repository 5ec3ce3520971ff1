#pragma once
#include "ui/Screen.h"

class QComboBox;
class QLabel;
class QPushButton;

// Lets the clerk pick the start and end place when a typed name is not unique.
class frmPlaces : public nbk::ui::Screen {
    Q_OBJECT
public:
    explicit frmPlaces(QWidget *parent = nullptr);

    // The candidates of each end, in row order, with the given entries selected.
    void fill(const QStringList &fromNames, const QStringList &toNames, int fromChoice = 0, int toChoice = 0);

    QComboBox *cmbFrom = nullptr;
    QComboBox *cmbTo = nullptr;
    QLabel *Image1 = nullptr;
    QPushButton *cmdBack = nullptr;
    QPushButton *cmdNext = nullptr;
    QPushButton *cmdCancel = nullptr;

protected:
    void onClosed() override;

private:
    void cmdNext_Click();
    void cmdBack_Click();
    void cmdCancel_Click();

    // Next hands an enquiry on to the run search; any other way out ends it.
    bool handingOver_ = false;
};
