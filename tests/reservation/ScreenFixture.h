#pragma once
// Shared by the reservation and operations tests: a database test that drives the real
// screens with a fixed clock.
#include "reservation/screens/Screens.h"
#include "reservation/screens/SearchFlow.h"
#include "reservation/screens/frmReservation.h"
#include "common/Clock.h"
#include "ui/ScreenRegistry.h"
#include "common/SharedRoutines.h"
#include "support/TestDatabase.h"
#include "support/MessageScript.h"
#include "ui/MsgBox.h"
#include "ui/Screen.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

namespace nbk::test {

template <class T>
T *child(QWidget *screen, const char *name)
{
    T *w = screen ? screen->findChild<T *>(QString::fromLatin1(name)) : nullptr;
    EXPECT_NE(w, nullptr) << "no control " << name;
    return w;
}

inline void click(QWidget *screen, const char *button)
{
    if (auto *b = child<QPushButton>(screen, button))
        b->click();
}

inline void type(QWidget *screen, const char *edit, const QString &text)
{
    if (auto *e = child<QLineEdit>(screen, edit))
        e->setText(text);
}

inline void choose(QWidget *screen, const char *list, const QString &item)
{
    auto *c = child<QComboBox>(screen, list);
    if (!c)
        return;
    const int i = c->findText(item);
    EXPECT_GE(i, 0) << "no item " << item.toStdString() << " in " << list;
    c->setCurrentIndex(i);
}

inline int countOf(const QString &text)
{
    return int(test::MessageScript::texts().count(text));
}

// Visible as a window the clerk can reach (screens are top-level windows in tests).
inline bool isShown(const char *name)
{
    QWidget *w = findScreen(QString::fromLatin1(name));
    return w && w->isVisible();
}

// What the clerk types into the journey request screen.
struct Request {
    QDate date;
    QString hour = QStringLiteral("10");
    QString minute = QStringLiteral("00");
    QString from;
    QString to;
    QString route;
    int seats = 1;
    int classIndex = 2;
    bool chooseRun = false;
};

class ScreenTest : public DbTest {
protected:
    // a Monday morning; journeys go two days later unless a test says otherwise
    static QDateTime now() { return QDateTime(QDate(2030, 3, 4), QTime(8, 0)); }
    static QDate journeyDay() { return QDate(2030, 3, 6); }

    void SetUp() override
    {
        DbTest::SetUp();
        setFixedNow(now());
        // the shell registers every subsystem; these tests need the reservation screens
        reservation::registerScreens();
        reservation::setSearchedHook([this](const reservation::ReservationState &r) { searched_ = r; });
    }

    void TearDown() override
    {
        // the customer screen asks before it drops a pending booking: the script says Yes
        for (const char *name : {"frmCustomer", "Instances", "frmPlaces", "frmEnquiry", "frmReservation"})
            closeScreen(QString::fromLatin1(name));
        deleteLeftoverScreens();
        reservation::setSearchedHook({});
        setFixedNow(QDateTime());
        DbTest::TearDown();
    }

    // Screens a test left behind (closed or not), gone before the next one starts.
    static void deleteLeftoverScreens()
    {
        QList<QPointer<QWidget>> left;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (qobject_cast<ui::Screen *>(w))
                left << w;
        for (const QPointer<QWidget> &w : left)
            delete w.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Fills the journey request screen and presses Next; returns the screen.
    QWidget *submit(const Request &r)
    {
        QWidget *f = openScreen(QStringLiteral("frmReservation"));
        fill(f, r);
        click(f, "cmdNext");
        return f;
    }

    void fill(QWidget *f, const Request &r)
    {
        type(f, "txtDD", QString::number(r.date.day()));
        if (auto *m = child<QComboBox>(f, "cmbMonth"))
            m->setCurrentIndex(r.date.month() - 1);
        choose(f, "cmbYear", QString::number(r.date.year()));
        type(f, "txthh", r.hour);
        type(f, "txtmin", r.minute);
        if (auto *c = child<QComboBox>(f, "cmbClass"))
            c->setCurrentIndex(r.classIndex);
        if (auto *s = child<QComboBox>(f, "cmbSeats"))
            s->setCurrentIndex(r.seats - 1);
        type(f, "txtFrom", r.from);
        type(f, "txtTo", r.to);
        type(f, "txtRoute", r.route);
        if (auto *o = child<QRadioButton>(f, "Option1"))
            o->setChecked(r.chooseRun);
    }

    static QString at(const QDate &d, int h, int m) { return OracleDateLiteral(QDateTime(d, QTime(h, m))); }

    // The request the open journey request screen last submitted.
    static const reservation::ReservationState &submitted()
    {
        static const reservation::ReservationState none;
        const frmReservation *f = frmReservation::open();
        EXPECT_NE(f, nullptr) << "no journey request screen";
        return f ? f->request() : none;
    }
    // The request of the latest run search the screens made (its places, runs and times).
    const reservation::ReservationState &searched() const { return searched_; }

private:
    reservation::ReservationState searched_;
};

}  // namespace nbk::test
