#pragma once
#include "ui/Screen.h"

#include <QString>
#include <QtGlobal>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Cancels a reservation by its customer id, whole or in part, in one transaction.
class frmCancel : public nbk::ui::Screen {
    Q_OBJECT
public:
    explicit frmCancel(QWidget *parent = nullptr);

    // The customer id as a whole number; nothing when the text is not one.
    static std::optional<qint64> parseCustomerId(const QString &typed);
    // Takes the customer's rows for this session before they are read, without waiting.
    static QString lockStatement(qint64 customerId);

    QLineEdit *txtcid = nullptr;
    QComboBox *cmbseats = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *Command2 = nullptr;

private:
    void Form_Load();
    void cmdCancel_Click();
    void Command2_Click();

    QLabel *Label1 = nullptr;
};
