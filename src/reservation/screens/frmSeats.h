#pragma once
#include "common/ReservationState.h"
#include "reservation/SeatPlan.h"
#include "ui/Screen.h"

#include <QList>

class QAbstractButton;
class QLabel;
class QPushButton;

// The run's seats for the journey's stretch, laid out as in the bus: the clerk picks the
// seats with the mouse or the arrows and Space; Enter books them (none picked: the lowest
// free seats, as without a layout).
class frmSeats : public nbk::ui::Screen {
    Q_OBJECT
public:
    frmSeats(const nbk::reservation::ReservationState &request, qint16 row, const SeatPlan &plan,
             QWidget *parent = nullptr);

    // Opens the seat choice for run row `row` of request.SearchRows.
    static frmSeats *openFor(const nbk::reservation::ReservationState &request, qint16 row, const SeatPlan &plan);

    // The seats picked, in the order they were picked.
    const QList<qint16> &picked() const { return picked_; }
    // The seat's button, or null (no such seat).
    QAbstractButton *seatButton(qint16 seat) const;

    QLabel *lblPicked = nullptr;
    QPushButton *cmdBook = nullptr;
    QPushButton *cmdCancel = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void toggled(qint16 seat, bool on);
    void cmdBook_Click();
    void cmdCancel_Click();
    // The nearest open seat from `seat` by rows (dr) or columns (dc); `seat` when none.
    qint16 neighbour(qint16 seat, int dr, int dc) const;
    void showPicked();

    nbk::reservation::ReservationState request_;
    qint16 row_ = 0;
    SeatPlan plan_;
    QList<QAbstractButton *> buttons_;  // by seat number
    QList<qint16> picked_;
};
