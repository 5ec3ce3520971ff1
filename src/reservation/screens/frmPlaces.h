#pragma once
#include "common/ReservationState.h"
#include "ui/Screen.h"

class QComboBox;
class QLabel;
class QPushButton;

// Lets the clerk pick the start and end place when a typed name is not unique.
class frmPlaces : public nbk::ui::Screen {
    Q_OBJECT
public:
    explicit frmPlaces(QWidget *parent = nullptr);

    // The request whose places are to be confirmed (kept: Next searches for this copy) and
    // the candidates of each end, in row order, with the given entries selected.
    void fill(const nbk::reservation::ReservationState &request, const QStringList &fromNames,
              const QStringList &toNames, int fromChoice = 0, int toChoice = 0);
    const nbk::reservation::ReservationState &request() const { return request_; }

    QComboBox *cmbFrom = nullptr;
    QComboBox *cmbTo = nullptr;
    QLabel *Image1 = nullptr;
    QPushButton *cmdBack = nullptr;
    QPushButton *cmdNext = nullptr;
    QPushButton *cmdCancel = nullptr;

private:
    void cmdNext_Click();
    void cmdBack_Click();
    void cmdCancel_Click();

    nbk::reservation::ReservationState request_;
};
