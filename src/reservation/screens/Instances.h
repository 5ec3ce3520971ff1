#pragma once
#include "reservation/FindBusInstances.h"
#include "common/ReservationState.h"
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

    // The runs of one search: the request they were found for (kept, so that later
    // searches and enquiries cannot change what OK books) and its entries; the list keeps
    // no selection until the clerk picks one.
    void fill(const nbk::reservation::ReservationState &request, const QList<RunEntry> &entries);
    int entryCount() const { return int(entries_.size()); }
    const nbk::reservation::ReservationState &request() const { return request_; }

    QLabel *Label1 = nullptr;
    QComboBox *cmbInstance = nullptr;
    QPushButton *ok = nullptr;
    QPushButton *Cancel = nullptr;

private:
    void ok_Click();
    void Cancel_Click();

    nbk::reservation::ReservationState request_;
    QList<RunEntry> entries_;
};
