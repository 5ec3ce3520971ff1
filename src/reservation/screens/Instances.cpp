#include "reservation/screens/Instances.h"

#include "ui/ScreenRegistry.h"
#include "reservation/BookSeats.h"
#include "reservation/screens/HandlerFailure.h"
#include "reservation/screens/SearchFlow.h"
#include "reservation/screens/frmReservation.h"
#include "common/ReservationState.h"
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
    setWindowTitle(tr("Select Instance for reservation."));
    Label1 = new QLabel(tr("Please select an instance for reservation"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    cmbInstance = new QComboBox(this);
    cmbInstance->setObjectName(QStringLiteral("cmbInstance"));
    // date and time at the end of an entry are what the clerk chooses by
    nbk::ui::keepEntriesWhole(cmbInstance);
    ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    Cancel = new QPushButton(tr("Cancel"), this);
    Cancel->setObjectName(QStringLiteral("Cancel"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(Cancel);
    auto *v = new QVBoxLayout(this);
    v->addWidget(Label1);
    v->addWidget(cmbInstance);
    v->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, &Instances::ok_Click);
    connect(Cancel, &QPushButton::clicked, this, &Instances::Cancel_Click);
    nbk::ui::setDialogKeys(this, ok, Cancel);
    cmbInstance->setFocus();
}

void Instances::fill(const nbk::reservation::ReservationState &request, const QList<RunEntry> &entries)
{
    request_ = request;
    entries_ = entries;
    Label1->setText(request.EnquiryMode ? tr("These are the available Routes")
                                        : tr("Please select an instance for reservation"));
    cmbInstance->clear();
    for (const RunEntry &e : entries)
        cmbInstance->addItem(e.text);
    // no entry looks chosen before the clerk has chosen
    cmbInstance->setCurrentIndex(-1);
}

void Instances::ok_Click()
{
    const int i = cmbInstance->currentIndex();
    if (i < 0 || i >= entries_.size()) {
        nbk::ui::MsgBox(QStringLiteral(QT_TRANSLATE_NOOP("Prompt", "Please select an instance before proceeding")),
                        nbk::mb::OKOnly, QStringLiteral("Information"));
        cmbInstance->setFocus();
        return;
    }
    // a booking waiting for its customer details comes first; this choice stays open
    if (!request_.EnquiryMode && !nbk::reservation::nothingPending())
        return;
    // an enquiry books nothing
    if (!request_.EnquiryMode) {
        // book the run as it was found for this request, whatever was searched since
        nbk::reservation::ReservationState request = request_;
        request.BoardingOffsetMinutes = entries_.at(i).offsetMinutes;
        try {
            nbk::reservation::bookOrChooseSeats(request, entries_.at(i).row);
        } catch (const std::exception &e) {
            ReportHandlerFailure(e);
        }
    }
    nbk::ui::closeChildWindow(this);
    // a booking that gave up leaves the request to correct
    frmReservation::resumeIfAbandoned();
}

void Instances::Cancel_Click()
{
    nbk::ui::closeChildWindow(this);
    nbk::closeScreen(QStringLiteral("frmReservation"));
}
