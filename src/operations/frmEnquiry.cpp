#include "operations/frmEnquiry.h"

#include "app/common/Clock.h"
#include "app/common/ScreenRegistry.h"
#include "data/Class1.h"
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
#include <QRegularExpression>
#include <QVBoxLayout>

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

    Frame1 = new QGroupBox(QStringLiteral("Journey Time Details"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    txtDD = lineEdit(Frame1, "txtDD", "16");
    cmbMonth = list(Frame1, "cmbMonth");
    cmbYear = list(Frame1, "cmbYear");
    txthh = lineEdit(Frame1, "txthh", "09");
    txtmin = lineEdit(Frame1, "txtmin", "08");
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

    Frame2 = new QGroupBox(QStringLiteral("Journey Details"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    cmbClass = list(Frame2, "cmbClass");
    cmbSeats = list(Frame2, "cmbSeats");
    txtFrom = lineEdit(Frame2, "txtFrom", "Bangalore");
    txtTo = lineEdit(Frame2, "txtTo", "Arsi");
    auto *g2 = new QGridLayout(Frame2);
    g2->addWidget(label(Frame2, "Label8", "Bus Class"), 0, 0);
    g2->addWidget(cmbClass, 0, 1);
    g2->addWidget(label(Frame2, "Label9", "No. of Seats"), 0, 2);
    g2->addWidget(cmbSeats, 0, 3);
    g2->addWidget(label(Frame2, "Label10", "From"), 1, 0);
    g2->addWidget(txtFrom, 1, 1);
    g2->addWidget(label(Frame2, "Label11", " To"), 1, 2);
    g2->addWidget(txtTo, 1, 3);

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
    cmbMonth->setCurrentIndex(6);
    for (const char *c : kClasses)
        cmbClass->addItem(QString::fromLatin1(c));
    cmbClass->setCurrentIndex(2);

    connect(cmdNext, &QPushButton::clicked, this, &frmEnquiry::cmdNext_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmEnquiry::cmdCancel_Click);
}

bool frmEnquiry::checkRequest()
{
    const std::optional<JourneyTime> t =
        CheckJourneyTime({cmbMonth, cmbYear, txtDD, txthh, txtmin, cmbSeats, cmbClass});
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
    if (txtFrom->text().trimmed().isEmpty() || txtTo->text().trimmed().isEmpty()) {
        MsgBox(QStringLiteral("Please type the origin and destination places "), mb::OKOnly, QStringLiteral("Error"));
        txtFrom->setFocus();
        return false;
    }
    return true;
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
        if (DbSession && DbSession->IsInTransaction())
            DbSession->RollBackTransaction();
        EnquiryMode = false;
        MsgBox(QString::fromLocal8Bit(e.what()), mb::Critical, QStringLiteral("Error"));
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
