#include "reservation/screens/JourneyForm.h"

#include "common/Clock.h"
#include "ui/Keys.h"
#include "ui/MsgBox.h"
#include "ui/TypedNumber.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

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

// A caption in the language chosen; English is the source.
QString translated(const char *caption) { return QCoreApplication::translate("JourneyForm", caption); }

QLabel *label(QWidget *parent, const char *name, const char *caption)
{
    auto *l = new QLabel(translated(caption), parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

}  // namespace

void JourneyForm::buildJourneyForm(QWidget *screen, const Opening &opening, bool routeControls)
{
    // creation order is the tab order
    auto *Frame1 = new QGroupBox(translated(QT_TRANSLATE_NOOP("JourneyForm", "Journey Time Details")), screen);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    txtDD = lineEdit(Frame1, "txtDD", opening.day);
    cmbMonth = list(Frame1, "cmbMonth");
    cmbYear = list(Frame1, "cmbYear");
    txthh = lineEdit(Frame1, "txthh", opening.hour);
    txtmin = lineEdit(Frame1, "txtmin", opening.minute);
    if (routeControls) {
        Option1 = new QRadioButton(translated(QT_TRANSLATE_NOOP("JourneyForm", " Allow to choose Instances")), Frame1);
        Option1->setObjectName(QStringLiteral("Option1"));
    }
    auto *g1 = new QGridLayout(Frame1);
    g1->addWidget(label(Frame1, "Label1", QT_TRANSLATE_NOOP("JourneyForm", " DD")), 0, 1);
    g1->addWidget(label(Frame1, "Label2", QT_TRANSLATE_NOOP("JourneyForm", " Month")), 0, 2);
    g1->addWidget(label(Frame1, "Label3", QT_TRANSLATE_NOOP("JourneyForm", "     Year")), 0, 3);
    g1->addWidget(label(Frame1, "Label4", QT_TRANSLATE_NOOP("JourneyForm", "Date of Journey")), 1, 0);
    g1->addWidget(txtDD, 1, 1);
    g1->addWidget(cmbMonth, 1, 2);
    g1->addWidget(cmbYear, 1, 3);
    g1->addWidget(label(Frame1, "Label5", QT_TRANSLATE_NOOP("JourneyForm", "  HH")), 2, 1);
    g1->addWidget(label(Frame1, "Label6", QT_TRANSLATE_NOOP("JourneyForm", "Min")), 2, 2);
    g1->addWidget(label(Frame1, "Label7", QT_TRANSLATE_NOOP("JourneyForm", "Time")), 3, 0);
    g1->addWidget(txthh, 3, 1);
    g1->addWidget(txtmin, 3, 2);
    if (Option1)
        g1->addWidget(Option1, 4, 0, 1, 4);

    auto *Frame2 = new QGroupBox(translated(QT_TRANSLATE_NOOP("JourneyForm", "Journey Details")), screen);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    cmbClass = list(Frame2, "cmbClass");
    cmbSeats = list(Frame2, "cmbSeats");
    txtFrom = lineEdit(Frame2, "txtFrom", opening.from);
    txtTo = lineEdit(Frame2, "txtTo", opening.to);
    if (routeControls)
        txtRoute = lineEdit(Frame2, "txtRoute", "");
    auto *g2 = new QGridLayout(Frame2);
    g2->addWidget(label(Frame2, "Label8", QT_TRANSLATE_NOOP("JourneyForm", "Bus Class")), 0, 0);
    g2->addWidget(cmbClass, 0, 1);
    g2->addWidget(label(Frame2, "Label9", QT_TRANSLATE_NOOP("JourneyForm", "No. of Seats")), 0, 2);
    g2->addWidget(cmbSeats, 0, 3);
    g2->addWidget(label(Frame2, "Label10", QT_TRANSLATE_NOOP("JourneyForm", "From")), 1, 0);
    g2->addWidget(txtFrom, 1, 1);
    g2->addWidget(label(Frame2, "Label11", QT_TRANSLATE_NOOP("JourneyForm", " To")), 1, 2);
    g2->addWidget(txtTo, 1, 3);
    if (txtRoute) {
        g2->addWidget(label(Frame2, "Label12", QT_TRANSLATE_NOOP("JourneyForm", "Route Number")), 2, 0);
        g2->addWidget(txtRoute, 2, 1);
    }

    cmdNext = new QPushButton(translated(QT_TRANSLATE_NOOP("JourneyForm", "Next >>")), screen);
    cmdNext->setObjectName(QStringLiteral("cmdNext"));
    cmdCancel = new QPushButton(translated(QT_TRANSLATE_NOOP("JourneyForm", "Cancel")), screen);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdNext);
    buttons->addWidget(cmdCancel);

    auto *v = new QVBoxLayout(screen);
    v->addWidget(Frame1);
    v->addWidget(Frame2);
    v->addLayout(buttons);

    // lists and opening choices
    const int year = nbk::currentDate().year();
    cmbYear->addItem(QString::number(year));
    cmbYear->addItem(QString::number(year + 1));
    cmbYear->setCurrentIndex(0);
    for (int s = 1; s <= kMaxSeatsPerBooking; ++s)
        cmbSeats->addItem(QString::number(s));
    cmbSeats->setCurrentIndex(0);
    nbk::ui::selectByTypedNumber(cmbSeats);
    const QLocale locale;
    for (int m = 1; m <= 12; ++m)
        cmbMonth->addItem(locale.monthName(m, QLocale::LongFormat));
    // the day and month open on today: a clerk books for the coming days, and a fixed
    // opening date lies in the past most of the year
    cmbMonth->setCurrentIndex(nbk::currentDate().month() - 1);
    txtDD->setText(QString::number(nbk::currentDate().day()));
    for (QLineEdit *box : {txtDD, txthh, txtmin})
        nbk::ui::selectAllOnFocus(box);
    for (const char *c : kClasses)
        cmbClass->addItem(QString::fromLatin1(c));
    cmbClass->setCurrentIndex(2);

    nbk::ui::setDialogKeys(screen, cmdNext, cmdCancel);
    txtDD->setFocus();
}

bool JourneyForm::checkPlacesTyped() const
{
    if (txtFrom->text().trimmed().isEmpty() || txtTo->text().trimmed().isEmpty()) {
        nbk::ui::MsgBox(QStringLiteral(QT_TRANSLATE_NOOP("Prompt", "Please type the origin and destination places ")),
                        nbk::mb::OKOnly, QStringLiteral("Error"));
        txtFrom->setFocus();
        return false;
    }
    return true;
}

std::optional<JourneyTime> CheckJourneyTime(const JourneyFields &f)
{
    const JourneyTyped typed{f.cmbMonth->currentText(), f.cmbYear->currentText(), f.cmbMonth->currentIndex(),
                             f.txtDD->text(), f.txthh->text(), f.txtmin->text(), f.cmbSeats->currentText(),
                             f.cmbClass->currentText()};
    nbk::Focus focus = nbk::Focus::None;
    const std::optional<JourneyTime> t = CheckJourneyTime(typed, &focus);
    if (QWidget *box = t ? nullptr : f.control(focus))
        box->setFocus();
    return t;
}

QWidget *JourneyFields::control(nbk::Focus f) const
{
    switch (f) {
    case nbk::Focus::JourneyDay: return txtDD;
    case nbk::Focus::JourneyHour: return txthh;
    case nbk::Focus::JourneyMinute: return txtmin;
    case nbk::Focus::RouteNumber: return txtRoute;
    case nbk::Focus::Seats: return cmbSeats;
    default: return nullptr;
    }
}
