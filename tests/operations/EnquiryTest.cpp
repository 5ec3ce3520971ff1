#include "operations/screens/Screens.h"
#include "support/Procedures.h"
#include "operations/scheduling/CreateBusInstance.h"
#include "operations/screens/frmEnquiry.h"
#include "reservation/screens/Instances.h"
#include "reservation/screens/frmPlaces.h"
#include "common/ReservationState.h"
#include "reservation/ScreenFixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace nbk;
using namespace nbk::test;
using test::MessageScript;

namespace {

// Bangalore -> Mysore, 120 km in 120 minutes, with runs of class 2 ("Semi - Luxury").
class Enquiry : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        // twelve o'clock: an enquiry for ten o'clock today asks about an hour that has passed
        setFixedNow(QDateTime(QDate(2030, 3, 5), QTime(12, 0)));
        db().exec({"INSERT INTO PLACE VALUES('BA', 'Bangalore')", "INSERT INTO PLACE VALUES('MY', 'Mysore')",
                              "INSERT INTO PLACE VALUES('MA', 'Mangalore')",
                              "INSERT INTO ROUTE_ELEMENT values(1, 'BA', 'MY', 120)",
                              "INSERT INTO ROUTE VALUES( 7, 'BA' , 'MY', 2, 120, 1, 5, 120, NULL)",
                              "INSERT INTO PATH_ORDER VALUES( 7, 1, 1)",
                              "INSERT into Route_Frequency values (7, 8, 60, 0, 0)",
                              "INSERT into service_class values(7, 8, 2)",
                              "INSERT INTO bus_info VALUES ('KA1', 2, 40)"});
        operations::registerScreens();
    }
    void run(int id, const char *departure, int freeSeats)
    {
        db().exec(QStringLiteral("INSERT INTO bus_instance values( %1, 7, TO_DATE('%2','DD-MM-YYYY HH24:MI:SS'),"
                                 " 'tt', 0, 'KA1', 2, %3 )")
                      .arg(id)
                      .arg(QLatin1String(departure))
                      .arg(freeSeats));
    }
    // Seats 1 .. n of a run held over the whole route.
    void hold(int id, int n)
    {
        db().exec(QStringLiteral("Insert INTO Customer values ( %1,%1,SYSDATE,'Held',30,1,'M','BA','MY',0)").arg(id));
        for (int seat = 1; seat <= n; ++seat)
            db().exec(QStringLiteral("INSERT INTO seat_matrix VALUES( %1 , %2 ,1 , 1 , %1, 'r' )").arg(id).arg(seat));
    }
    int count(const char *table) { return db().scalar(QStringLiteral("SELECT count(*) FROM %1").arg(table)).toInt(); }

    // An enquiry for 5 March 2030 at hh:mm from `from` to Mysore.
    frmEnquiry *ask(const char *hh, const char *mm, int seats = 1, const char *from = "Bangalore")
    {
        auto *w = qobject_cast<frmEnquiry *>(openScreen(QStringLiteral("frmEnquiry")));
        EXPECT_NE(w, nullptr);
        w->cmbMonth->setCurrentIndex(2);
        w->txtDD->setText(QStringLiteral("05"));
        w->txthh->setText(QString::fromLatin1(hh));
        w->txtmin->setText(QString::fromLatin1(mm));
        w->cmbSeats->setCurrentIndex(seats - 1);
        w->txtFrom->setText(QString::fromLatin1(from));
        w->txtTo->setText(QStringLiteral("Mysore"));
        w->cmdNext->click();
        return w;
    }
    static Instances *choice() { return findScreenAs<Instances>(QStringLiteral("Instances")); }
    static std::string shownTexts() { return MessageScript::texts().join('\n').toStdString(); }

    // Nothing of a booking: no customer, no seat, no open transaction, no details screen.
    void expectNothingBooked()
    {
        EXPECT_EQ(count("customer"), 0);
        EXPECT_EQ(count("seat_matrix"), 0);
        EXPECT_FALSE(session().IsInTransaction());
        EXPECT_EQ(findScreen(QStringLiteral("frmCustomer")), nullptr);
    }
};

// 09:30 the next day is 1410 minutes away and listed; 10:00 the next day is 1440 away.
TEST_P(Enquiry, ListsEveryRunWithinADayLessAMinuteAndBooksNothing)
{
    run(70, "06-03-2030 09:30:00", 40);
    run(71, "06-03-2030 10:00:00", 40);
    run(72, "05-03-2030 10:00:00", 40);  // exactly the time asked for: listed, not booked
    frmEnquiry *w = ask("10", "00");

    Instances *list = choice();
    ASSERT_NE(list, nullptr) << shownTexts();
    EXPECT_EQ(list->Label1->text(), "These are the available Routes");
    QStringList entries, planned;
    QString fareOf72, fareOf11;
    for (int i = 0; i < list->cmbInstance->count(); ++i) {
        const QString e = list->cmbInstance->itemText(i);
        if (e.startsWith(QStringLiteral("Instance:")))
            entries << e.section(QStringLiteral("  Route"), 0, 0);
        else
            planned << e;
        if (e.startsWith(QStringLiteral("Instance: 72")))
            fareOf72 = e.section(QStringLiteral("Seats free: "), 1);
        if (e.contains(QStringLiteral(" at 11:00:00 Hrs ")))
            fareOf11 = e.section(QStringLiteral("Seats free: "), 1);
    }
    entries.sort();
    EXPECT_EQ(entries.join(','), "Instance: 70,Instance: 72");
    // the hourly plan's departures without a run are listed beside the runs made (none
    // twice), with the seats and the fare a booking would give
    EXPECT_EQ(planned.size(), 47 - 1);  // 10:00 on the 5th has its run
    EXPECT_TRUE(fareOf72.startsWith(QStringLiteral("40  Fare: \u20B9 "))) << fareOf72.toStdString();
    EXPECT_EQ(fareOf11, fareOf72);
    EXPECT_TRUE(list->request().EnquiryMode);
    EXPECT_TRUE(w->isClosed());
    EXPECT_EQ(list->request().JourneyDateText, "3-05-2030 10:00:00");  // typed leading zeros stay

    list->cmbInstance->setCurrentIndex(0);
    list->ok->click();
    EXPECT_EQ(choice(), nullptr);
    expectNothingBooked();
    EXPECT_EQ(count("bus_instance"), 3);
    EXPECT_EQ(shownTexts(), "");
}

// "Ba" is not a whole name: the place choice opens, and its Next still searches as an
// enquiry, over every route.
TEST_P(Enquiry, ThroughThePlaceChoiceItIsStillAnEnquiryOverEveryRoute)
{
    run(70, "05-03-2030 10:00:00", 40);
    ask("10", "00", 1, "Ba");
    auto *places = findScreenAs<frmPlaces>(QStringLiteral("frmPlaces"));
    ASSERT_NE(places, nullptr) << shownTexts();
    places->cmdNext->click();
    Instances *list = choice();
    ASSERT_NE(list, nullptr) << shownTexts();
    EXPECT_EQ(list->Label1->text(), "These are the available Routes");
    int made = 0;
    for (int i = 0; i < list->cmbInstance->count(); ++i)
        made += list->cmbInstance->itemText(i).startsWith(QStringLiteral("Instance: 70")) ? 1 : 0;
    EXPECT_EQ(made, 1);
    list->Cancel->click();
    expectNothingBooked();
}

TEST_P(Enquiry, TooFewFreeSeatsOnEveryRunEndsTheEnquiry)
{
    run(70, "05-03-2030 10:00:00", 4);
    run(71, "05-03-2030 14:00:00", 3);
    hold(70, 36);
    hold(71, 37);
    db().exec("DELETE FROM service_class");
    ask("10", "00", 5);
    EXPECT_EQ(shownTexts(), " Requested number of seats not available");
    EXPECT_EQ(MessageScript::shown()[0].style, mb::OKOnly);
    EXPECT_EQ(MessageScript::shown()[0].title, "");
    EXPECT_EQ(choice(), nullptr);
    EXPECT_NE(findScreen(QStringLiteral("frmReservation")), nullptr);
    EXPECT_EQ(findScreen(QStringLiteral("frmEnquiry")), nullptr);
    EXPECT_EQ(count("seat_matrix"), 36 + 37);
    EXPECT_EQ(findScreen(QStringLiteral("frmCustomer")), nullptr);
}

// A day nobody has booked yet: the plan's departures are listed, and no run is made.
TEST_P(Enquiry, ListsThePlannedDeparturesButNeverCreatesARun)
{
    Instances *list = (ask("10", "00"), choice());
    ASSERT_NE(list, nullptr) << shownTexts();
    EXPECT_EQ(list->cmbInstance->count(), 47);
    EXPECT_TRUE(list->cmbInstance->itemText(0).startsWith(QStringLiteral("Planned, no run yet.  Route No:  7")));
    list->Cancel->click();
    EXPECT_EQ(count("bus_instance"), 0);
    closeScreen(QStringLiteral("frmEnquiry"));

    // a route whose plan does not serve the class: nothing to list
    db().exec("DELETE FROM service_class");
    ask("10", "00");
    EXPECT_EQ(shownTexts(), "No Instances to service requested route. ");
    EXPECT_EQ(MessageScript::shown()[0].title, "Enquiry.");
    EXPECT_EQ(count("bus_instance"), 0);
    EXPECT_NE(findScreen(QStringLiteral("frmReservation")), nullptr);
    expectNothingBooked();

}

// Wherever an enquiry ends before the run choice, later searches are reservations again:
// a request for the 14:00 run books it at once (an enquiry would only list it).
TEST_P(Enquiry, EndingBeforeTheRunChoiceLeavesNoEnquiryBehind)
{
    run(70, "05-03-2030 10:00:00", 40);
    run(71, "05-03-2030 14:00:00", 40);
    const auto expectAReservationBooks = [this](const char *after) {
        SCOPED_TRACE(after);
        closeScreen(QStringLiteral("frmReservation"));
        MessageScript::clearShown();
        Request r;
        r.date = QDate(2030, 3, 5);
        r.hour = QStringLiteral("14");
        r.from = QStringLiteral("Bangalore");
        r.to = QStringLiteral("Mysore");
        submit(r);
        EXPECT_EQ(choice(), nullptr);
        EXPECT_NE(findScreen(QStringLiteral("frmCustomer")), nullptr) << shownTexts();
        MessageScript::answer(mb::Yes);  // drop the booking
        closeScreen(QStringLiteral("frmCustomer"));
        closeScreen(QStringLiteral("frmReservation"));
        expectNothingBooked();
        MessageScript::clearShown();
    };
    auto *w = qobject_cast<frmEnquiry *>(openScreen(QStringLiteral("frmEnquiry")));
    ASSERT_NE(w, nullptr);
    // an enquiry takes no route number
    EXPECT_EQ(w->findChild<QLineEdit *>(QStringLiteral("txtRoute")), nullptr);
    w->cmdCancel->click();
    EXPECT_EQ(findScreen(QStringLiteral("frmEnquiry")), nullptr);
    expectAReservationBooks("Cancel");

    // an input error: the screen stays for the correction
    w = ask("24", "00");
    EXPECT_EQ(shownTexts(), "Invalid Hour");
    EXPECT_FALSE(w->isClosed());
    expectAReservationBooks("an input error");
    closeScreen(QStringLiteral("frmEnquiry"));

    // a place that is not there
    ask("10", "00", 1, "Xanadu");
    EXPECT_EQ(shownTexts(), "Requested place not found. Please check the spelling");
    expectAReservationBooks("a place not found");

    // two candidates: the place choice carries the enquiry on, its Cancel ends it
    closeScreen(QStringLiteral("frmEnquiry"));
    ask("10", "00", 1, "Ma");
    auto *places = findScreenAs<frmPlaces>(QStringLiteral("frmPlaces"));
    ASSERT_NE(places, nullptr) << shownTexts();
    EXPECT_TRUE(places->request().EnquiryMode);
    places->cmdCancel->click();
    expectAReservationBooks("the place choice's Cancel");
}

NBK_ALL_ENGINES(Enquiry);

}  // namespace
