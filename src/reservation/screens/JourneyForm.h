#pragma once
#include "reservation/JourneyChecks.h"

class QPushButton;
class QRadioButton;
class QWidget;

class QComboBox;
class QLineEdit;

// The date, time, class and seat controls a journey request form holds.
struct JourneyFields {
    QComboBox *cmbMonth = nullptr;
    QComboBox *cmbYear = nullptr;
    QLineEdit *txtDD = nullptr;
    QLineEdit *txthh = nullptr;
    QLineEdit *txtmin = nullptr;
    QComboBox *cmbSeats = nullptr;
    QComboBox *cmbClass = nullptr;
    QLineEdit *txtRoute = nullptr;  // null without the route controls

    // The box a procedure's focus names (null: none on this form).
    QWidget *control(nbk::Focus f) const;
};

// Checks a journey request's date, time, class and seats in order, each with its message
// and focus: nothing after the first that fails, else the date and time read.
std::optional<JourneyTime> CheckJourneyTime(const JourneyFields &f);

// The journey request's controls, which the booking request and the enquiry share: the
// "Journey Time Details" and "Journey Details" frames and the Next / Cancel buttons.
struct JourneyForm {
    // What the controls show when the screen opens.
    struct Opening {
        const char *day;
        const char *hour;
        const char *minute;
        int monthIndex;
        const char *from;
        const char *to;
    };

    QLineEdit *txtDD = nullptr;
    QComboBox *cmbMonth = nullptr;
    QComboBox *cmbYear = nullptr;
    QLineEdit *txthh = nullptr;
    QLineEdit *txtmin = nullptr;
    QRadioButton *Option1 = nullptr;  // null without the route controls
    QComboBox *cmbClass = nullptr;
    QComboBox *cmbSeats = nullptr;
    QLineEdit *txtFrom = nullptr;
    QLineEdit *txtTo = nullptr;
    QLineEdit *txtRoute = nullptr;  // null without the route controls
    QPushButton *cmdNext = nullptr;
    QPushButton *cmdCancel = nullptr;

    QWidget *control(nbk::Focus f) const { return journeyFields().control(f); }

protected:
    // Builds the controls into the screen (its whole layout); the screen connects the
    // buttons. The route controls (the instance choice option and the route number) are
    // only a booking's.
    void buildJourneyForm(QWidget *screen, const Opening &opening, bool routeControls);
    // Both places typed (blanks alone would search every place); false after the message.
    bool checkPlacesTyped() const;
    JourneyFields journeyFields() const
    {
        return {cmbMonth, cmbYear, txtDD, txthh, txtmin, cmbSeats, cmbClass, txtRoute};
    }
};
