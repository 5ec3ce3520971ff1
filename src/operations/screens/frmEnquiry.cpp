#include "operations/screens/frmEnquiry.h"
#include "ui/Notices.h"

#include "ui/ScreenRegistry.h"
#include "reservation/FindBusInstances.h"
#include "reservation/screens/HandlerFailure.h"
#include "reservation/JourneyChecks.h"
#include "reservation/ResolvePlace.h"
#include "reservation/screens/SearchFlow.h"
#include "common/ReservationState.h"
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

}  // namespace

frmEnquiry::frmEnquiry(QWidget *parent) : nbk::ui::Screen(parent)
{
    setObjectName(QStringLiteral("frmEnquiry"));
    setWindowTitle(tr("Enquiry"));

    buildJourneyForm(this, {"16", "09", "08", 6, "Bangalore", "Arsi"}, false);

    connect(cmdNext, &QPushButton::clicked, this, &frmEnquiry::cmdNext_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmEnquiry::cmdCancel_Click);
}

bool frmEnquiry::checkRequest()
{
    const std::optional<JourneyTime> t = CheckJourneyTime(journeyFields());
    if (!t)
        return false;
    request_.SeatsRequested = qint16(cmbSeats->currentIndex() + 1);
    request_.JourneyDateText = QString::number(t->date.month()) + QLatin1Char('-') + typedNumber(txtDD->text(), t->date.day())
                      + QLatin1Char('-') + cmbYear->currentText() + QLatin1Char(' ')
                      + typedNumber(txthh->text(), t->hour) + QLatin1Char(':') + typedNumber(txtmin->text(), t->minute)
                      + QStringLiteral(":00");
    request_.JourneyDateTime = QDateTime(t->date, QTime(t->hour, t->minute, 0));
    request_.ClassIndex = qint16(cmbClass->currentIndex());
    // an enquiry may ask about an hour of today that has passed: no time check here
    return checkPlacesTyped();
}

void frmEnquiry::cmdNext_Click()
{
    // a booking waiting for its customer details comes first
    if (!nbk::reservation::nothingPending())
        return;
    request_ = {};
    request_.EnquiryMode = true;
    if (!checkRequest())
        return;
    try {
        search();
    } catch (const std::exception &e) {
        ReportHandlerFailure(e);
        return;
    }
    nbk::ui::closeChildWindow(this);
}

void frmEnquiry::search()
{
    const PlaceOutcome places = ResolvePlace(txtFrom->text(), txtTo->text());
    TakePlaces(request_, places);
    nbk::reservation::showPlaceOutcome(request_, places);
    if (places.result == 3) {
        // an enquiry is never restricted to a route
        QString anyRoute;
        SearchOutcome found = FindBusInstances(request_, anyRoute, nbk::confirmByMessageBox());
        if (nbk::reservation::showSearchOutcome(request_, found)) {
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
    nbk::ui::closeChildWindow(this);
}
