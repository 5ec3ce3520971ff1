#pragma once
#include "reservation/BookSeats.h"
#include "reservation/FareCategories.h"
#include "ui/Screen.h"

#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// The last step of a reservation: the passenger's details, the fare, and the commit or
// rollback of the booking it was opened for.
class frmCustomer : public nbk::ui::Screen {
    Q_OBJECT
public:
    explicit frmCustomer(std::shared_ptr<PendingBooking> booking, QWidget *parent = nullptr);

    // Opens the customer details screen for a written booking, which it then holds.
    static frmCustomer *openFor(std::shared_ptr<PendingBooking> booking);
    const PendingBooking *booking() const { return booking_.get(); }

    QLineEdit *txtname = nullptr;
    QLineEdit *phone = nullptr;
    QLineEdit *txtage = nullptr;
    QComboBox *cmbGen = nullptr;
    QPushButton *Command1 = nullptr;  // Ok
    QPushButton *Command2 = nullptr;  // Cancel
    // one row per seat: seat, category (Adult unless changed), passenger's age; only on a
    // database with fare categories
    QTableWidget *grdSeats = nullptr;

    // The seats' categories as chosen (adult seats included).
    QList<SeatCategoryChoice> seatChoices() const;

protected:
    bool queryClose() override;

private:
    void Form_Load();
    void Command1_Click();
    void Command2_Click();
    // The box a save's focus names.
    QWidget *control(nbk::Focus f) const;

    // The fare shown follows the seats' categories.
    void showFare();

    std::shared_ptr<PendingBooking> booking_;
    QList<FareCategory> categories_;
};
