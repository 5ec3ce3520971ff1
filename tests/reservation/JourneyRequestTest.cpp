#include "ScreenFixture.h"

#include "reservation/FindBusInstances.h"
#include "reservation/screens/frmPlaces.h"
#include "reservation/screens/frmReservation.h"
#include "common/ReservationState.h"

#include <QKeyEvent>
#include <QLocale>
#include <QMdiArea>
#include "ui/ChildWindows.h"

using namespace nbk;
using namespace nbk::test;
using nbk::test::MessageScript;

namespace {

const QString kPassed = QStringLiteral("Invalid Date. The date you have specified has already passed.");
const QString kTooFar = QStringLiteral("Sorry, Reservation cannot be made for more then 45 days in advance. \r\n"
                                       "Please change the date if you wish to retry. ");
const QString kNotFound = QStringLiteral("Requested place not found. Please check the spelling");

class JourneyRequest : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        db().exec({"INSERT INTO PLACE VALUES('Myso', 'Mysore')", "INSERT INTO PLACE VALUES('Mang', 'Mangalore')",
                              "INSERT INTO PLACE VALUES('Madi', 'Madikeri')", "INSERT INTO PLACE VALUES('Bang', 'Bangalore')",
                              "INSERT INTO PLACE VALUES('Hubl', 'Hubli')"});
    }

    Request request(const QDate &date, const char *from = "Bangalore", const char *to = "Hubli")
    {
        Request r;
        r.date = date;
        r.from = QString::fromLatin1(from);
        r.to = QString::fromLatin1(to);
        return r;
    }

    frmPlaces *places() { return findScreenAs<frmPlaces>(QStringLiteral("frmPlaces")); }
};

// The other opening values carry the booking from the menu (MenuBookingTest).
TEST_P(JourneyRequest, OffersThisYearAndNextAndUpToThirtyOneSeatsAndOpensOnce)
{
    QWidget *f = openScreen(QStringLiteral("frmReservation"));
    ASSERT_NE(f, nullptr);
    auto *year = child<QComboBox>(f, "cmbYear");
    EXPECT_EQ(year->count(), 2);
    EXPECT_EQ(year->currentText(), QStringLiteral("2030"));
    EXPECT_EQ(year->itemText(1), QStringLiteral("2031"));
    EXPECT_EQ(child<QComboBox>(f, "cmbSeats")->count(), 31);
    EXPECT_EQ(child<QComboBox>(f, "cmbMonth")->itemText(0), QLocale().monthName(1));
    EXPECT_TRUE(child<QLineEdit>(f, "txtRoute")->text().isEmpty());
    EXPECT_FALSE(child<QRadioButton>(f, "Option1")->isChecked());
    EXPECT_EQ(openScreen(QStringLiteral("frmReservation")), f);
}

TEST_P(JourneyRequest, TwentyNinthOfFebruaryOnlyInALeapYear)
{
    setFixedNow(QDateTime(QDate(2004, 2, 10), QTime(8, 0)));
    // accepted: the request goes on to the places, of which one is unknown
    submit(request(QDate(2004, 2, 29), "Xanadu"));
    EXPECT_EQ(submitted().JourneyDateText, QStringLiteral("2-29-2004 10:0:00"));
    EXPECT_EQ(MessageScript::texts(), QStringList{kNotFound});
    closeScreen(QStringLiteral("frmReservation"));
    MessageScript::clearShown();

    setFixedNow(QDateTime(QDate(2005, 2, 10), QTime(8, 0)));
    QWidget *f = openScreen(QStringLiteral("frmReservation"));
    fill(f, request(QDate(2005, 2, 1)));
    type(f, "txtDD", QStringLiteral("29"));
    click(f, "cmdNext");
    ASSERT_EQ(MessageScript::texts(), QStringList{QStringLiteral("Invalid Date")});
    EXPECT_EQ(MessageScript::shown().front().style, mb::Information);
    EXPECT_EQ(MessageScript::shown().front().title, QStringLiteral("Error"));
    EXPECT_EQ(f->focusWidget(), child<QLineEdit>(f, "txtDD"));
    EXPECT_TRUE(submitted().JourneyDateText.isEmpty());
    EXPECT_TRUE(f->isVisible());
}

TEST_P(JourneyRequest, AdvanceLimitCountsBothWaysAndPastDatesAreRefused)
{
    const QDate today = now().date();
    submit(request(today.addDays(45)));
    EXPECT_FALSE(MessageScript::texts().contains(kTooFar));
    closeScreen(QStringLiteral("frmReservation"));

    MessageScript::clearShown();
    submit(request(today.addDays(46)));
    EXPECT_EQ(MessageScript::texts(), QStringList{kTooFar});
    closeScreen(QStringLiteral("frmReservation"));

    MessageScript::clearShown();
    // a date long past is told it has passed, not that it is too far ahead
    submit(request(today.addDays(-46)));
    EXPECT_EQ(MessageScript::texts(), QStringList{kPassed});
    closeScreen(QStringLiteral("frmReservation"));

    MessageScript::clearShown();
    submit(request(today.addDays(-3)));
    EXPECT_EQ(MessageScript::texts(), QStringList{kPassed});
    closeScreen(QStringLiteral("frmReservation"));

    // today, an hour already gone: refused by the time check, after the request was stored
    MessageScript::clearShown();
    Request r = request(today);
    r.hour = QStringLiteral("7");
    r.minute = QStringLiteral("59");
    submit(r);
    EXPECT_EQ(MessageScript::texts(),
              QStringList{QStringLiteral(" The requested date for reservation has passed. Please change the date ")});
    EXPECT_EQ(MessageScript::shown().front().style, mb::Critical);
    EXPECT_EQ(submitted().JourneyDateText, QStringLiteral("3-4-2030 7:59:00"));
}

TEST_P(JourneyRequest, HoursAndMinutesMustBeWholeTimesOfDay)
{
    struct Case {
        const char *hour, *minute, *message;
    };
    for (const Case c : {Case{"24", "00", "Invalid Hour"}, Case{"9.5", "00", "Invalid Hour"},
                         Case{"-1", "00", "Invalid Hour"}, Case{"ten", "00", "Invalid Hour"},
                         Case{"10", "60", "Invalid Minutes"}, Case{"10", "7.5", "Invalid Minutes"},
                         Case{"10", "", "Invalid Minutes"}}) {
        MessageScript::clearShown();
        Request r = request(now().date().addDays(2));
        r.hour = QString::fromLatin1(c.hour);
        r.minute = QString::fromLatin1(c.minute);
        QWidget *f = submit(r);
        EXPECT_EQ(MessageScript::texts(), QStringList{QString::fromLatin1(c.message)}) << c.hour << ":" << c.minute;
        EXPECT_TRUE(submitted().JourneyDateText.isEmpty()) << "stored " << submitted().JourneyDateText.toStdString();
        EXPECT_EQ(f->focusWidget(),
                  child<QLineEdit>(f, c.message[8] == 'H' ? "txthh" : "txtmin"));
    }
    // leading zeros are dropped from the stored text
    MessageScript::clearShown();
    Request r = request(QDate(2030, 3, 7), "Xanadu");
    r.hour = QStringLiteral("09");
    r.minute = QStringLiteral("05");
    QWidget *f = openScreen(QStringLiteral("frmReservation"));
    fill(f, r);
    type(f, "txtDD", QStringLiteral("07"));
    click(f, "cmdNext");
    EXPECT_EQ(submitted().JourneyDateText, QStringLiteral("3-7-2030 9:5:00"));
    EXPECT_EQ(submitted().JourneyDateTime, QDateTime(QDate(2030, 3, 7), QTime(9, 5)));
}

TEST_P(JourneyRequest, RouteNumberMustBeANumberAndPlacesMustBeTyped)
{
    Request r = request(now().date().addDays(2));
    r.route = QStringLiteral("12a");
    r.seats = 3;
    r.classIndex = 4;
    r.chooseRun = true;
    QWidget *f = submit(r);
    EXPECT_EQ(MessageScript::texts(),
              QStringList{QStringLiteral("Invalid RouteID. Please enter a number. Leave blank if unknown ")});
    EXPECT_EQ(MessageScript::shown().front().style, mb::Critical);
    EXPECT_EQ(f->focusWidget(), child<QLineEdit>(f, "txtRoute"));
    // the request is stored before the route number is looked at
    EXPECT_EQ(submitted().SeatsRequested, 3);
    EXPECT_EQ(submitted().ClassIndex, 4);
    EXPECT_TRUE(submitted().AllowInstanceChoice);
    EXPECT_TRUE(submitted().RouteIdText.isEmpty());
    EXPECT_TRUE(f->isVisible());

    MessageScript::clearShown();
    type(f, "txtRoute", QString());
    type(f, "txtTo", QStringLiteral("   "));
    click(f, "cmdNext");
    EXPECT_EQ(MessageScript::texts(), QStringList{QStringLiteral("Please type the origin and destination places ")});
    EXPECT_EQ(MessageScript::shown().front().style, mb::OKOnly);
    EXPECT_EQ(f->focusWidget(), child<QLineEdit>(f, "txtFrom"));
}

TEST_P(JourneyRequest, SpacesAroundPlaceNamesAreDropped)
{
    QWidget *f = submit(request(now().date().addDays(2), "  Bangalore ", " Hubli  "));
    // both resolved at once: the search ran and found nothing to create a run from
    EXPECT_EQ(submitted().OriginPlace, QStringLiteral("Bang"));
    EXPECT_EQ(submitted().DestinationPlace, QStringLiteral("Hubl"));
    EXPECT_EQ(places(), nullptr);
    EXPECT_TRUE(MessageScript::texts().contains(
        QStringLiteral(" No Routes available for the segment. Please change the From or To locations ")));
    Q_UNUSED(f);
}

TEST_P(JourneyRequest, UnknownOrSamePlaceBringsTheRequestBack)
{
    for (const auto &[from, message] : {std::pair{"Xanadu", kNotFound},
                                        std::pair{"Hubli", QStringLiteral("Start Place same as end place ")}}) {
        MessageScript::clearShown();
        QWidget *f = submit(request(now().date().addDays(2), from, "Hubli"));
        EXPECT_EQ(MessageScript::texts(), QStringList{message}) << from;
        EXPECT_TRUE(f->isVisible());
        EXPECT_TRUE(child<QPushButton>(f, "cmdNext")->isEnabled());
        closeScreen(QStringLiteral("frmReservation"));
    }
}

TEST_P(JourneyRequest, AmbiguousPlacesAreConfirmedOnTheSecondScreen)
{
    QWidget *f = submit(request(now().date().addDays(2), "Ma", "Hubli"));
    frmPlaces *p = places();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->windowTitle(), QStringLiteral("Confirm Start and Destination"));
    EXPECT_FALSE(f->isVisible());
    ASSERT_EQ(p->cmbFrom->count(), 2);
    EXPECT_EQ(p->cmbFrom->itemText(0), QStringLiteral("Madikeri"));
    EXPECT_EQ(p->cmbFrom->itemText(1), QStringLiteral("Mangalore"));
    EXPECT_EQ(p->cmbFrom->currentIndex(), 0);
    EXPECT_EQ(p->cmbTo->count(), 1);

    // Back: the request again, ready for Next
    click(p, "cmdBack");
    EXPECT_EQ(places(), nullptr);
    EXPECT_TRUE(f->isVisible());
    EXPECT_TRUE(child<QPushButton>(f, "cmdNext")->isEnabled());

    // Next with Mangalore: the request closes and the search runs from Mangalore
    click(f, "cmdNext");
    p = places();
    ASSERT_NE(p, nullptr);
    p->cmbFrom->setCurrentIndex(1);
    MessageScript::clearShown();
    click(p, "cmdNext");
    EXPECT_EQ(searched().OriginChoice, 1);
    EXPECT_EQ(searched().OriginPlace, QStringLiteral("Mang"));
    EXPECT_EQ(searched().DestinationPlace, QStringLiteral("Hubl"));
    EXPECT_EQ(places(), nullptr);
    EXPECT_TRUE(MessageScript::texts().contains(
        QStringLiteral(" No Routes available for the segment. Please change the From or To locations ")));
    // the failed search brings back what the clerk typed, not the opening values
    ASSERT_EQ(findScreen(QStringLiteral("frmReservation")), f);
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(child<QLineEdit>(f, "txtFrom")->text(), QStringLiteral("Ma"));
    EXPECT_EQ(child<QLineEdit>(f, "txtDD")->text(), QString::number(now().date().addDays(2).day()));
    EXPECT_TRUE(child<QPushButton>(f, "cmdNext")->isEnabled());
}

// The entry whose name the clerk typed in full (blanks and capitals aside) is preselected,
// and a full name in other capitals needs no confirmation at all.
TEST_P(JourneyRequest, PlacesTypedInFullArePreselectedOrSettledInAnyCapitals)
{
    struct Case {
        const char *from, *to;
        const char *fromChosen, *toChosen;  // null: settled without the confirmation
    };
    for (const Case &c : {Case{"Bangalore", "Mangalore", "Bangalore", "Mangalore"},
                          Case{"Ma", "Hubli", "Madikeri", "Hubli"}, Case{" MANGALORE ", "Hubli", "Mangalore", "Hubli"},
                          Case{"mysore", "hubli", nullptr, nullptr}}) {
        SCOPED_TRACE(c.from);
        MessageScript::clearShown();
        submit(request(now().date().addDays(2), c.from, c.to));
        if (!c.fromChosen) {
            EXPECT_EQ(places(), nullptr);
        } else {
            ASSERT_NE(places(), nullptr);
            EXPECT_EQ(places()->cmbFrom->currentText(), QLatin1String(c.fromChosen));
            EXPECT_EQ(places()->cmbTo->currentText(), QLatin1String(c.toChosen));
            click(places(), "cmdNext");
        }
        const QString origin = c.fromChosen ? QString::fromLatin1(c.fromChosen) : QStringLiteral("Mysore");
        EXPECT_EQ(searched().OriginPlace, origin.left(4));
        EXPECT_EQ(searched().OriginName, origin);
        closeScreen(QStringLiteral("frmReservation"));
    }
}

// "1" on a list showing 1 stays 1 (not 10), "1" "2" is 12; above a family's usual
// number the request asks once, and No books nothing.
TEST_P(JourneyRequest, SeatsTakeTypedDigitsAndALargePartyIsAskedAboutOnce)
{
    QWidget *f = openScreen(QStringLiteral("frmReservation"));
    fill(f, request(now().date().addDays(2)));
    auto *seats = child<QComboBox>(f, "cmbSeats");
    const auto typeDigits = [&](const char *digits) {
        for (const char *d = digits; *d; ++d) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_0 + (*d - '0'), Qt::NoModifier, QString(QLatin1Char(*d)));
            QCoreApplication::sendEvent(seats, &press);
        }
    };
    typeDigits("1");
    EXPECT_EQ(seats->currentText(), QStringLiteral("1"));
    typeDigits("2");
    EXPECT_EQ(seats->currentText(), QStringLiteral("12"));

    for (const int answer : {mb::No, mb::Yes}) {
        MessageScript::begin({answer});
        click(f, "cmdNext");
        ASSERT_FALSE(MessageScript::shown().empty());
        const ShownMessage &ask = MessageScript::shown().front();
        EXPECT_EQ(ask.text, QStringLiteral("Reserve 12 seats on one ticket? "));
        EXPECT_EQ(ask.style, mb::Question | mb::YesNo | mb::DefaultButton2);
        if (answer == mb::No) {
            EXPECT_EQ(MessageScript::shown().size(), 1u);
            EXPECT_TRUE(f->isVisible());
            EXPECT_EQ(f->focusWidget(), seats);
        } else {
            EXPECT_EQ(countOf(ask.text), 1);
            EXPECT_EQ(searched().SeatsRequested, 12);
            EXPECT_EQ(searched().DestinationPlace, QStringLiteral("Hubl"));
        }
    }
}

TEST_P(JourneyRequest, ConfirmingTheSamePlaceTwiceBringsTheRequestBack)
{
    QWidget *f = submit(request(now().date().addDays(2), "Hub", "Hubli"));
    frmPlaces *p = places();
    ASSERT_NE(p, nullptr);
    click(p, "cmdNext");
    EXPECT_EQ(MessageScript::texts(), QStringList{QStringLiteral("Start Place same as end place ")});
    EXPECT_EQ(places(), nullptr);
    EXPECT_EQ(findScreen(QStringLiteral("frmReservation")), f);
    EXPECT_TRUE(f->isVisible());
    EXPECT_TRUE(child<QPushButton>(f, "cmdNext")->isEnabled());

    click(f, "cmdNext");
    ASSERT_NE(places(), nullptr);
    click(places(), "cmdCancel");
    EXPECT_EQ(places(), nullptr);
    EXPECT_EQ(findScreen(QStringLiteral("frmReservation")), nullptr);
}

TEST_P(JourneyRequest, InsideTheMainWindowTheRequestHidesAndComesBack)
{
    QMdiArea frame;
    ui::setMdiArea(&frame);
    frame.show();
    QWidget *f = submit(request(now().date().addDays(2), "Ma", "Hubli"));
    ASSERT_NE(places(), nullptr);
    EXPECT_FALSE(f->isVisible());
    EXPECT_TRUE(places()->isVisible());
    click(places(), "cmdBack");
    EXPECT_TRUE(f->isVisible());
    EXPECT_TRUE(child<QPushButton>(f, "cmdNext")->isEnabled());
    closeScreen(QStringLiteral("frmReservation"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(frame.subWindowList().isEmpty());
    ui::setMdiArea(nullptr);
}

NBK_ALL_ENGINES(JourneyRequest);

}  // namespace
