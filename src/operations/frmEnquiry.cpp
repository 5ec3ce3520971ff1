#include "operations/frmEnquiry.h"

#include "app/common/ScreenRegistry.h"
#include "reservation/FindBusInstances.h"
#include "reservation/HandlerFailure.h"
#include "reservation/JourneyChecks.h"
#include "reservation/ResolvePlace.h"
#include "reservation/state/ReservationState.h"
#include "ui/ChildWindows.h"
#include "ui/MsgBox.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

using nbk::ui::MsgBox;
namespace mb = nbk::mb;

namespace {

// The number as the clerk typed it (leading zeros stay) when it is only digits; any
// other form the checks let through ("+9", " 9", "9.0") is written from its value, so
// the date-time text is always one the database reads.
QString typedNumber(const QString &typed, int value)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    return digits.match(typed).hasMatch() ? typed : QString::number(value);
}

// The enquiry goes on while its place choice or run choice is open; anywhere else it has
// ended and must not turn a later search into an enquiry.
void endEnquiryUnlessPending()
{
    if (!nbk::findScreen(QStringLiteral("frmPlaces")) && !nbk::findScreen(QStringLiteral("Instances")))
        EnquiryMode = false;
}

}  // namespace

frmEnquiry::frmEnquiry(QWidget *parent) : nbk::ui::Screen(parent)
{
    setObjectName(QStringLiteral("frmEnquiry"));
    setWindowTitle(QStringLiteral("Enquiry"));

    buildJourneyForm(this, {"16", "09", "08", 6, "Bangalore", "Arsi"}, false);

    connect(cmdNext, &QPushButton::clicked, this, &frmEnquiry::cmdNext_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmEnquiry::cmdCancel_Click);
}

bool frmEnquiry::checkRequest()
{
    const std::optional<JourneyTime> t = CheckJourneyTime(journeyFields());
    if (!t)
        return false;
    SeatsRequested = qint16(cmbSeats->currentIndex() + 1);
    JourneyDateText = QString::number(t->date.month()) + QLatin1Char('-') + typedNumber(txtDD->text(), t->date.day())
                      + QLatin1Char('-') + cmbYear->currentText() + QLatin1Char(' ')
                      + typedNumber(txthh->text(), t->hour) + QLatin1Char(':') + typedNumber(txtmin->text(), t->minute)
                      + QStringLiteral(":00");
    JourneyDateTime = QDateTime(t->date, QTime(t->hour, t->minute, 0));
    ClassIndex = qint16(cmbClass->currentIndex());
    // an enquiry may ask about an hour of today that has passed: no time check here
    return checkPlacesTyped();
}

void frmEnquiry::cmdNext_Click()
{
    EnquiryMode = true;
    if (!checkRequest()) {
        EnquiryMode = false;
        return;
    }
    try {
        search();
    } catch (const std::exception &e) {
        EnquiryMode = false;
        RollBackAndReport(e);
        return;
    }
    endEnquiryUnlessPending();
    nbk::ui::closeChildWindow(this);
}

void frmEnquiry::search()
{
    const qint16 result = ResolvePlace(txtFrom->text(), txtTo->text());
    if (result == 3) {
        // an enquiry is never restricted to a route
        QString anyRoute;
        if (FindBusInstances(anyRoute)) {
            cmdNext->setEnabled(false);
        } else {
            nbk::ui::closeChildWindow(this);
            nbk::openScreen(QStringLiteral("frmReservation"));
        }
        return;
    }
    cmdNext->setEnabled(true);
}

void frmEnquiry::cmdCancel_Click()
{
    EnquiryMode = false;
    nbk::ui::closeChildWindow(this);
}
