#include "reservation/frmReservation.h"

#include "app/common/Clock.h"
#include "app/common/ScreenRegistry.h"
#include "app/common/SharedRoutines.h"
#include "data/Class1.h"
#include "data/DbError.h"
#include "data/Numbers.h"
#include "reservation/FindBusInstances.h"
#include "reservation/JourneyChecks.h"
#include "reservation/ResolvePlace.h"
#include "reservation/state/ReservationState.h"
#include "ui/ChildWindows.h"
#include "ui/MsgBox.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <cmath>

using nbk::ui::MsgBox;
namespace mb = nbk::mb;

namespace {

const char *const kClasses[] = {"Shuttle", "Express", "Semi - Luxury", "Luxury", "Air - Bus"};

QLineEdit *lineEdit(QWidget *parent, const char *name, const char *text)
{
    auto *e = new QLineEdit(QString::fromLatin1(text), parent);
    e->setObjectName(QString::fromLatin1(name));
    return e;
}

QComboBox *list(QWidget *parent, const char *name)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    return c;
}

QLabel *label(QWidget *parent, const char *name, const char *caption)
{
    auto *l = new QLabel(QString::fromLatin1(caption), parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

bool pendingWizardScreen()
{
    return nbk::findScreen(QStringLiteral("Instances")) || nbk::findScreen(QStringLiteral("frmCustomer"));
}

}  // namespace

frmReservation::frmReservation(QWidget *parent) : nbk::ui::Screen(parent)
{
    setWindowTitle(QStringLiteral("Reservation"));

    Frame1 = new QGroupBox(QStringLiteral("Journey Time Details"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    txtDD = lineEdit(Frame1, "txtDD", "27");
    cmbMonth = list(Frame1, "cmbMonth");
    cmbYear = list(Frame1, "cmbYear");
    txthh = lineEdit(Frame1, "txthh", "10");
    txtmin = lineEdit(Frame1, "txtmin", "00");
    Option1 = new QRadioButton(QStringLiteral(" Allow to choose Instances"), Frame1);
    Option1->setObjectName(QStringLiteral("Option1"));
    auto *g1 = new QGridLayout(Frame1);
    g1->addWidget(label(Frame1, "Label1", " DD"), 0, 1);
    g1->addWidget(label(Frame1, "Label2", " Month"), 0, 2);
    g1->addWidget(label(Frame1, "Label3", "     Year"), 0, 3);
    g1->addWidget(label(Frame1, "Label4", "Date of Journey"), 1, 0);
    g1->addWidget(txtDD, 1, 1);
    g1->addWidget(cmbMonth, 1, 2);
    g1->addWidget(cmbYear, 1, 3);
    g1->addWidget(label(Frame1, "Label5", "  HH"), 2, 1);
    g1->addWidget(label(Frame1, "Label6", "Min"), 2, 2);
    g1->addWidget(label(Frame1, "Label7", "Time"), 3, 0);
    g1->addWidget(txthh, 3, 1);
    g1->addWidget(txtmin, 3, 2);
    g1->addWidget(Option1, 4, 0, 1, 4);

    Frame2 = new QGroupBox(QStringLiteral("Journey Details"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    cmbClass = list(Frame2, "cmbClass");
    cmbSeats = list(Frame2, "cmbSeats");
    txtFrom = lineEdit(Frame2, "txtFrom", "Arsi");
    txtTo = lineEdit(Frame2, "txtTo", "Shim");
    txtRoute = lineEdit(Frame2, "txtRoute", "");
    auto *g2 = new QGridLayout(Frame2);
    g2->addWidget(label(Frame2, "Label8", "Bus Class"), 0, 0);
    g2->addWidget(cmbClass, 0, 1);
    g2->addWidget(label(Frame2, "Label9", "No. of Seats"), 0, 2);
    g2->addWidget(cmbSeats, 0, 3);
    g2->addWidget(label(Frame2, "Label10", "From"), 1, 0);
    g2->addWidget(txtFrom, 1, 1);
    g2->addWidget(label(Frame2, "Label11", " To"), 1, 2);
    g2->addWidget(txtTo, 1, 3);
    g2->addWidget(label(Frame2, "Label12", "Route Number"), 2, 0);
    g2->addWidget(txtRoute, 2, 1);

    cmdNext = new QPushButton(QStringLiteral("Next >>"), this);
    cmdNext->setObjectName(QStringLiteral("cmdNext"));
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdNext);
    buttons->addWidget(cmdCancel);

    auto *v = new QVBoxLayout(this);
    v->addWidget(Frame1);
    v->addWidget(Frame2);
    v->addLayout(buttons);

    // opening values
    const int year = nbk::currentDate().year();
    cmbYear->addItem(QString::number(year));
    cmbYear->addItem(QString::number(year + 1));
    cmbYear->setCurrentIndex(0);
    for (int s = 1; s <= 10; ++s)
        cmbSeats->addItem(QString::number(s));
    cmbSeats->setCurrentIndex(0);
    const QLocale locale;
    for (int m = 1; m <= 12; ++m)
        cmbMonth->addItem(locale.monthName(m, QLocale::LongFormat));
    cmbMonth->setCurrentIndex(9);
    for (const char *c : kClasses)
        cmbClass->addItem(QString::fromLatin1(c));
    cmbClass->setCurrentIndex(2);

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
    if (frmReservation *f = open(); f && !pendingWizardScreen())
        f->showAgain();
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
    const std::optional<JourneyTime> t =
        CheckJourneyTime({cmbMonth, cmbYear, txtDD, txthh, txtmin, cmbSeats, cmbClass});
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

    SeatsRequested = qint16(cmbSeats->currentIndex() + 1);
    JourneyDateText = QString::number(month) + QLatin1Char('-') + QString::number(day) + QLatin1Char('-')
                      + cmbYear->currentText() + QLatin1Char(' ') + QString::number(hour) + QLatin1Char(':')
                      + QString::number(minute) + QStringLiteral(":00");
    JourneyDateTime = QDateTime(journeyDate, QTime(hour, minute, 0));
    AllowInstanceChoice = Option1->isChecked();
    ClassIndex = qint16(cmbClass->currentIndex());

    const QString route = txtRoute->text();
    if (!route.isEmpty() && !nbk::IsNumeric(route)) {
        MsgBox(QStringLiteral("Invalid RouteID. Please enter a number. Leave blank if unknown "), mb::Critical,
               QStringLiteral("Error"));
        txtRoute->setFocus();
        return false;
    }
    RouteIdText = route;
    if (JourneyDateTime < nbk::currentDateTime()) {
        MsgBox(QStringLiteral(" The requested date for reservation has passed. Please change the date "),
               mb::Critical, QStringLiteral("Error"));
        return false;
    }
    // blanks alone would search every place
    if (txtFrom->text().trimmed().isEmpty() || txtTo->text().trimmed().isEmpty()) {
        MsgBox(QStringLiteral("Please type the origin and destination places "), mb::OKOnly, QStringLiteral("Error"));
        txtFrom->setFocus();
        return false;
    }
    return true;
}

void frmReservation::cmdNext_Click()
{
    // an enquiry abandoned earlier must not turn this request into one
    EnquiryMode = false;
    if (!checkRequest())
        return;
    try {
        submit();
    } catch (const std::exception &e) {
        if (DbSession && DbSession->IsInTransaction())
            DbSession->RollBackTransaction();
        MsgBox(QString::fromLocal8Bit(e.what()), mb::Critical, QStringLiteral("Error"));
        if (frmReservation *f = open())
            f->showAgain();
    }
}

void frmReservation::submit()
{
    nbk::ui::hideChildWindow(this);
    const qint16 result = ResolvePlace(txtFrom->text().trimmed(), txtTo->text().trimmed());
    if (result == 3) {
        QString route = txtRoute->text();
        if (FindBusInstances(route)) {
            if (pendingWizardScreen())
                cmdNext->setEnabled(false);
            else
                showAgain();  // nothing listed or the booking gave up: the clerk may retry
        } else {
            nbk::ui::closeChildWindow(this);
            nbk::openScreen(QStringLiteral("frmReservation"));
        }
        return;
    }
    cmdNext->setEnabled(true);
    // the same place at both ends: back to the request so the clerk can correct it
    if (result == 5)
        showAgain();
}

void frmReservation::cmdCancel_Click() { nbk::ui::closeChildWindow(this); }
