#pragma once
#include "reservation/FindBookings.h"
#include "ui/Screen.h"

class QLineEdit;
class QListWidget;
class QPushButton;

// Finds a booking by its passenger's name, phone, journey date or run, and opens the
// ticket or the cancellation with its customer id filled in.
class frmFindBooking : public nbk::ui::Screen {
    Q_OBJECT
public:
    explicit frmFindBooking(QWidget *parent = nullptr);

    QLineEdit *txtName = nullptr;
    QLineEdit *txtPhone = nullptr;
    QLineEdit *txtDate = nullptr;
    QLineEdit *txtRun = nullptr;
    QPushButton *cmdFind = nullptr;
    QListWidget *lstFound = nullptr;
    QPushButton *cmdTicket = nullptr;
    QPushButton *cmdCancelBooking = nullptr;
    QPushButton *Command2 = nullptr;

private:
    void cmdFind_Click();
    // Opens the named screen with the chosen booking's id typed into its box.
    void openWithChosen(const QString &screen, const char *idBox, const char *focusBox);
    std::vector<FoundBooking> found_;
};
