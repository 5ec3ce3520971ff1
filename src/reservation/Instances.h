#pragma once
#include "ui/Screen.h"

#include <QList>

class QComboBox;
class QLabel;
class QPushButton;

// The run choice: one entry per run near the wanted time; OK books the chosen one.
class Instances : public nbk::ui::Screen {
    Q_OBJECT
public:
    explicit Instances(QWidget *parent = nullptr);

    // An entry for row `row` of SearchRows whose boarding place is `offsetMinutes` from
    // the run's first stop; the list keeps no selection until the clerk picks one.
    void addEntry(const QString &text, qint16 row, qint16 offsetMinutes);
    void clearEntries();
    int entryCount() const { return int(entries_.size()); }

    QLabel *Label1 = nullptr;
    QComboBox *cmbInstance = nullptr;
    QPushButton *ok = nullptr;
    QPushButton *Cancel = nullptr;

protected:
    void onClosed() override;

private:
    void ok_Click();
    void Cancel_Click();

    struct Entry {
        qint16 row;
        qint16 offsetMinutes;
    };
    QList<Entry> entries_;
};
