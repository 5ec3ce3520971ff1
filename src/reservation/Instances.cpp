#include "reservation/Instances.h"

#include "app/common/ScreenRegistry.h"
#include "reservation/BookSeats.h"
#include "reservation/HandlerFailure.h"
#include "reservation/frmReservation.h"
#include "reservation/state/ReservationState.h"
#include "ui/ChildWindows.h"
#include "ui/Keys.h"
#include "ui/MsgBox.h"
#include "ui/WholeEntries.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

Instances::Instances(QWidget *parent) : nbk::ui::Screen(parent)
{
    setWindowTitle(QStringLiteral("Select Instance for reservation."));
    Label1 = new QLabel(QStringLiteral("Please select an instance for reservation"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    cmbInstance = new QComboBox(this);
    cmbInstance->setObjectName(QStringLiteral("cmbInstance"));
    // date and time at the end of an entry are what the clerk chooses by
    nbk::ui::keepEntriesWhole(cmbInstance);
    ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    Cancel = new QPushButton(QStringLiteral("Cancel"), this);
    Cancel->setObjectName(QStringLiteral("Cancel"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(Cancel);
    auto *v = new QVBoxLayout(this);
    v->addWidget(Label1);
    v->addWidget(cmbInstance);
    v->addLayout(buttons);

    if (EnquiryMode)
        Label1->setText(QStringLiteral("These are the available Routes"));

    connect(ok, &QPushButton::clicked, this, &Instances::ok_Click);
    connect(Cancel, &QPushButton::clicked, this, &Instances::Cancel_Click);
    nbk::ui::setDialogKeys(this, ok, Cancel);
    cmbInstance->setFocus();
}

void Instances::addEntry(const QString &text, qint16 row, qint16 offsetMinutes)
{
    const int selected = cmbInstance->currentIndex();
    cmbInstance->addItem(text);
    entries_.append({row, offsetMinutes});
    // the first entry must not look chosen before the clerk has chosen
    if (selected < 0)
        cmbInstance->setCurrentIndex(-1);
}

void Instances::clearEntries()
{
    cmbInstance->clear();
    entries_.clear();
}

void Instances::ok_Click()
{
    const int i = cmbInstance->currentIndex();
    if (i < 0 || i >= entries_.size()) {
        nbk::ui::MsgBox(QStringLiteral("Please select an instance before proceeding"), nbk::mb::OKOnly,
                        QStringLiteral("Information"));
        cmbInstance->setFocus();
        return;
    }
    if (EnquiryMode) {
        EnquiryMode = false;  // an enquiry books nothing
    } else {
        BoardingOffsetMinutes = entries_.at(i).offsetMinutes;
        try {
            BookSeats(entries_.at(i).row);
        } catch (const std::exception &e) {
            RollBackAndReport(e);
        }
    }
    nbk::ui::closeChildWindow(this);
    // a booking that gave up leaves the request to correct
    frmReservation::resumeIfAbandoned();
}

void Instances::Cancel_Click()
{
    EnquiryMode = false;
    nbk::ui::closeChildWindow(this);
    nbk::closeScreen(QStringLiteral("frmReservation"));
}

void Instances::onClosed() { EnquiryMode = false; }
