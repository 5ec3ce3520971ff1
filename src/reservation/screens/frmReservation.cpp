#include "reservation/screens/frmReservation.h"
#include "ui/Notices.h"

#include "common/Clock.h"
#include "ui/ScreenRegistry.h"
#include "common/SharedRoutines.h"
#include "data/dialect/DbError.h"
#include "data/dialect/Numbers.h"
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
#include <QRadioButton>
#include <QShowEvent>
#include <cmath>

using nbk::ui::MsgBox;
namespace mb = nbk::mb;

namespace {

bool pendingWizardScreen()
{
    return nbk::findScreen(QStringLiteral("Instances")) || nbk::findScreen(QStringLiteral("frmSeats"))
           || nbk::findScreen(QStringLiteral("frmCustomer"));
}

}  // namespace

frmReservation::frmReservation(QWidget *parent) : nbk::ui::Screen(parent)
{
    setWindowTitle(tr("Reservation"));

    buildJourneyForm(this, {"27", "10", "00", 9, "Arsi", "Shim"}, true);

    connect(cmdNext, &QPushButton::clicked, this, &frmReservation::cmdNext_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmReservation::cmdCancel_Click);
}

frmReservation *frmReservation::open()
{
    return nbk::findScreenAs<frmReservation>(QStringLiteral("frmReservation"));
}

void frmReservation::showAgain()
{
    nbk::ui::showChildWindow(this);
    cmdNext->setEnabled(true);
}

void frmReservation::resumeIfAbandoned()
{
    if (frmReservation *f = open(); f && !pendingWizardScreen()) {
        f->showAgain();
        // the next passenger's request starts at the first box, with its text selected
        f->txtDD->setFocus();
    }
}

void frmReservation::showEvent(QShowEvent *e)
{
    // brought back (by the menu) with nothing of the wizard pending: the request may be
    // submitted again
    if (!pendingWizardScreen())
        cmdNext->setEnabled(true);
    nbk::ui::Screen::showEvent(e);
}

bool frmReservation::checkRequest()
{
    const std::optional<JourneyTime> t = CheckJourneyTime(journeyFields());
    if (!t)
        return false;
    const QDate journeyDate = t->date;
    const int month = journeyDate.month();
    const int day = journeyDate.day();
    const int hour = t->hour;
    const int minute = t->minute;
    if (cmbSeats->currentIndex() < 0) {
        MsgBox(QStringLiteral("Invalid number of seats"), mb::Information, QStringLiteral("Error."));
        return false;
    }

    request_.SeatsRequested = qint16(cmbSeats->currentIndex() + 1);
    request_.JourneyDateText = QString::number(month) + QLatin1Char('-') + QString::number(day) + QLatin1Char('-')
                      + cmbYear->currentText() + QLatin1Char(' ') + QString::number(hour) + QLatin1Char(':')
                      + QString::number(minute) + QStringLiteral(":00");
    request_.JourneyDateTime = QDateTime(journeyDate, QTime(hour, minute, 0));
    request_.AllowInstanceChoice = Option1->isChecked();
    request_.ChooseSeats = true;
    request_.ClassIndex = qint16(cmbClass->currentIndex());

    const QString route = txtRoute->text();
    if (!route.isEmpty() && !nbk::IsNumeric(route)) {
        MsgBox(QStringLiteral("Invalid RouteID. Please enter a number. Leave blank if unknown "), mb::Critical,
               QStringLiteral("Error"));
        txtRoute->setFocus();
        return false;
    }
    request_.RouteIdText = route;
    if (request_.JourneyDateTime < nbk::currentDateTime()) {
        MsgBox(QStringLiteral(" The requested date for reservation has passed. Please change the date "),
               mb::Critical, QStringLiteral("Error"));
        return false;
    }
    if (!checkPlacesTyped())
        return false;
    if (const std::optional<nbk::Notice> q = LargeBookingQuestion(request_.SeatsRequested);
        q && MsgBox(q->text, q->style, q->title) != mb::Yes) {
        cmbSeats->setFocus();
        return false;
    }
    return true;
}

void frmReservation::cmdNext_Click()
{
    // a booking waiting for its customer details comes first
    if (!nbk::reservation::nothingPending())
        return;
    // a fresh request each time: nothing of an earlier one (or of an enquiry) carries over
    request_ = {};
    if (!checkRequest())
        return;
    try {
        submit();
    } catch (const std::exception &e) {
        ReportHandlerFailure(e);
        if (frmReservation *f = open())
            f->showAgain();
    }
}

void frmReservation::submit()
{
    nbk::ui::hideChildWindow(this);
    const PlaceOutcome places = ResolvePlace(txtFrom->text().trimmed(), txtTo->text().trimmed());
    TakePlaces(request_, places);
    nbk::reservation::showPlaceOutcome(request_, places);
    const qint16 result = places.result;
    if (result == 3) {
        QString route = txtRoute->text();
        SearchOutcome found = FindBusInstances(request_, route, nbk::confirmByMessageBox());
        if (nbk::reservation::showSearchOutcome(request_, found)) {
            if (pendingWizardScreen())
                cmdNext->setEnabled(false);
            else
                showAgain();  // nothing listed or the booking gave up: the clerk may retry
        } else {
            // refused: the request comes back as the clerk typed it
            showAgain();
        }
        return;
    }
    cmdNext->setEnabled(true);
    // the same place at both ends: back to the request so the clerk can correct it
    if (result == 5)
        showAgain();
}

void frmReservation::cmdCancel_Click() { nbk::ui::closeChildWindow(this); }
