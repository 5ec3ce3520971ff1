#include "operations/screens/Screens.h"
#include "support/Procedures.h"
#include "ScreenFixture.h"

#include "data/dialect/Numbers.h"
#include "reservation/FindBusInstances.h"
#include "reservation/screens/Instances.h"
#include "reservation/screens/frmCustomer.h"
#include "ui/ScreenRegistry.h"
#include "common/ReservationState.h"

#include <QLabel>
#include <QLocale>

using namespace nbk;
using namespace nbk::test;
using nbk::test::MessageScript;

namespace {

// The request as the booking waiting at the customer details made it.
reservation::ReservationState booked()
{
    const auto *f = findScreenAs<frmCustomer>(QStringLiteral("frmCustomer"));
    return f && f->booking() ? f->booking()->request : reservation::ReservationState{};
}

// Alpha - Bravo - Charlie - Delta: 40, 55 and 25 km at 0.5 km a minute, 5 minutes at each
// stop, so a run boards at Charlie 200 minutes after leaving Alpha.
class RunSearch : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        db().exec({
                 "INSERT INTO PLACE VALUES('ALP', 'Alpha')",
                 "INSERT INTO PLACE VALUES('BRA', 'Bravo')",
                 "INSERT INTO PLACE VALUES('CHA', 'Charlie')",
                 "INSERT INTO PLACE VALUES('DEL', 'Delta')",
                 "INSERT INTO ROUTE_ELEMENT values(1, 'ALP', 'BRA', 40)",
                 "INSERT INTO ROUTE_ELEMENT values(2, 'BRA', 'CHA', 55)",
                 "INSERT INTO ROUTE_ELEMENT values(3, 'CHA', 'DEL', 25)",
                 "INSERT INTO ROUTE VALUES( 1, 'ALP' , 'DEL', 4, 120, 1, 5, 240, NULL)",
                 "INSERT INTO PATH_ORDER VALUES( 1, 1, 1)",
                 "INSERT INTO PATH_ORDER VALUES( 1, 2, 2)",
                 "INSERT INTO PATH_ORDER VALUES( 1, 3, 3)",
                 "INSERT INTO bus_info VALUES ('KA01', 2, 40)",
                 "INSERT INTO bus_info VALUES ('KA02', 2, 40)",
                 "INSERT INTO bus_info VALUES ('KA03', 2, 40)",
             });
    }

    // A run of route 1 leaving Alpha at h:m on the given day.
    void run(int id, const QDate &day, int h, int m, const char *vehicle = "KA01", int freeSeats = 40, int route = 1)
    {
        db().exec(QStringLiteral("INSERT INTO bus_instance values( %1, %5, %2 , 'tt' , 0 , '%3' , 2 , %4 ) ")
                      .arg(id)
                      .arg(at(day, h, m))
                      .arg(QLatin1String(vehicle))
                      .arg(freeSeats)
                      .arg(route));
    }

    void threeRuns()
    {
        // the 10:00 run is the last one written, so it is not the first row found
        run(1, journeyDay(), 6, 0);
        run(2, journeyDay(), 14, 0, "KA03");
        run(3, journeyDay(), 10, 0, "KA02");
    }

    Instances *choice() { return findScreenAs<Instances>(QStringLiteral("Instances")); }

    Request alphaToBravo(const char *hour, const char *minute)
    {
        Request r;
        r.date = journeyDay();
        r.hour = QString::fromLatin1(hour);
        r.minute = QString::fromLatin1(minute);
        r.from = QStringLiteral("Alpha");
        r.to = QStringLiteral("Bravo");
        return r;
    }

    // Seats 1 .. count of run `instance` held by one customer from path position a to b.
    void hold(int instance, int a, int b, int count)
    {
        const int cid = 9000 + instance * 10 + a;
        db().exec(QStringLiteral("Insert INTO Customer values ( %1,%2,SYSDATE,'Held',30,1,'M','ALP','DEL',0)")
                      .arg(cid)
                      .arg(instance));
        for (int seat = 1; seat <= count; ++seat)
            db().exec(QStringLiteral("INSERT INTO seat_matrix VALUES( %1 , %2 ,%3 , %4 , %5, 'r' )")
                          .arg(instance)
                          .arg(seat)
                          .arg(a)
                          .arg(b)
                          .arg(cid));
    }

    int seatRows(int instance)
    {
        return sessionScalar(QStringLiteral("SELECT count(*) FROM seat_matrix WHERE instance_id = %1").arg(instance))
            .toInt();
    }
};

TEST_P(RunSearch, ExactRunIsBookedWithoutTheChoiceScreen)
{
    threeRuns();
    QWidget *f = submit(alphaToBravo("10", "00"));

    EXPECT_EQ(countOf("Reservation Successful"), 1) << MessageScript::texts().join('|').toStdString();
    EXPECT_EQ(booked().BookedInstanceId, 3);
    EXPECT_EQ(seatRows(3), 1);
    EXPECT_EQ(seatRows(1) + seatRows(2), 0);
    EXPECT_EQ(choice(), nullptr);
    EXPECT_EQ(booked().BoardingOffsetMinutes, 0);
    // the request waits hidden behind the customer details
    EXPECT_FALSE(f->isVisible());
    EXPECT_FALSE(child<QPushButton>(f, "cmdNext")->isEnabled());

    // the clerk abandons the booking: the menu brings the request back, ready for Next
    click(findScreen(QStringLiteral("frmCustomer")), "Command2");
    EXPECT_EQ(seatRows(3), 0);
    EXPECT_EQ(openScreen(QStringLiteral("frmReservation")), f);
    EXPECT_TRUE(f->isVisible());
    // ready for the next passenger at the first box, not where the last one left off
    EXPECT_EQ(f->focusWidget(), child<QLineEdit>(f, "txtDD"));
    EXPECT_TRUE(child<QPushButton>(f, "cmdNext")->isEnabled());
}

TEST_P(RunSearch, ChosenRunIsBookedEvenWhenNotTheFirstRow)
{
    threeRuns();
    Request r = alphaToBravo("10", "00");
    r.chooseRun = true;
    submit(r);

    Instances *c = choice();
    ASSERT_NE(c, nullptr);
    ASSERT_EQ(c->cmbInstance->count(), 1);
    EXPECT_TRUE(c->cmbInstance->itemText(0).startsWith(QStringLiteral("Instance: 3  Route No:  1   Date:")));
    EXPECT_TRUE(c->cmbInstance->itemText(0).endsWith(QStringLiteral(" departing ALP at 10:00:00 Hrs ")));
    EXPECT_EQ(countOf("Reservation Successful"), 0);
    int row10 = -1;
    for (int i = 0; i < c->request().SearchRows.rowCount(); ++i)
        if (c->request().SearchRows.at(0, i).toInt() == 3)
            row10 = i;
    EXPECT_GT(row10, 0) << "the 10:00 run should not be the first row";

    // OK before a choice keeps the screen
    click(c, "ok");
    EXPECT_EQ(countOf("Please select an instance before proceeding"), 1);
    EXPECT_EQ(choice(), c);

    c->cmbInstance->setCurrentIndex(0);
    click(c, "ok");
    EXPECT_EQ(choice(), nullptr);
    EXPECT_EQ(countOf("Reservation Successful"), 1);
    EXPECT_EQ(booked().BookedInstanceId, 3);
    EXPECT_EQ(seatRows(3), 1);
}

TEST_P(RunSearch, RunsWithinFifteenMinutesAreListedAndNoneOtherwise)
{
    threeRuns();
    submit(alphaToBravo("10", "10"));
    Instances *c = choice();
    ASSERT_NE(c, nullptr);
    ASSERT_EQ(c->cmbInstance->count(), 1);
    EXPECT_TRUE(c->cmbInstance->itemText(0).contains(QStringLiteral(" at 10:00:00 Hrs ")));
    EXPECT_EQ(c->cmbInstance->currentIndex(), -1);
    EXPECT_EQ(countOf("Reservation Successful"), 0);
    click(c, "Cancel");
    EXPECT_EQ(findScreen(QStringLiteral("frmReservation")), nullptr);

    MessageScript::clearShown();
    QWidget *f = submit(alphaToBravo("10", "15"));
    // the nearest runs either side are named, so the clerk can ask again at once
    const QString day = QLocale::c().toString(journeyDay(), QStringLiteral("d MMM yyyy"));
    EXPECT_EQ(MessageScript::texts(),
              QStringList{QStringLiteral(" no instances  take care \r\nThe nearest buses from ALP leave before it at "
                                         "%1 10:00 (route 1) and after it at %1 14:00 (route 1).")
                              .arg(day)});
    EXPECT_EQ(choice(), nullptr);
    // back at the request, which may be corrected and sent again
    EXPECT_TRUE(f->isVisible());
    EXPECT_TRUE(child<QPushButton>(f, "cmdNext")->isEnabled());
    EXPECT_EQ(sessionScalar(QStringLiteral("SELECT count(*) FROM seat_matrix")).toInt(), 0);
}

TEST_P(RunSearch, BoardingFurtherDownTheRouteAddsDistanceAndStops)
{
    run(1, journeyDay(), 7, 0);
    Request r = alphaToBravo("10", "20");
    r.from = QStringLiteral("Charlie");
    r.to = QStringLiteral("Delta");
    submit(r);

    EXPECT_EQ(booked().BoardingOffsetMinutes, 200);  // 95 km / 0.5 + 2 stops of 5
    EXPECT_EQ(countOf("Reservation Successful"), 1);
    EXPECT_EQ(booked().BookedInstanceId, 1);
    EXPECT_EQ(booked().JourneyDateTime, QDateTime(journeyDay(), QTime(10, 20)));
}

TEST_P(RunSearch, EachRouteBoardsAtItsOwnPositionInOneSearch)
{
    // route 2 also boards at Charlie third, 20 km sooner: a run of each leg keeps its own offset
    db().exec({"INSERT INTO ROUTE_ELEMENT values(4, 'ALP', 'BRA', 20)",
               "INSERT INTO ROUTE VALUES( 2, 'ALP' , 'DEL', 4, 100, 1, 5, 200, NULL)", "INSERT INTO PATH_ORDER VALUES( 2, 1, 4)",
               "INSERT INTO PATH_ORDER VALUES( 2, 2, 2)", "INSERT INTO PATH_ORDER VALUES( 2, 3, 3)"});
    run(1, journeyDay(), 7, 0);
    run(2, journeyDay(), 7, 30, "KA02", 40, 2);
    run(3, journeyDay(), 7, 5, "KA03");
    Request r = alphaToBravo("10", "15");
    r.from = QStringLiteral("Charlie");
    r.to = QStringLiteral("Delta");
    r.chooseRun = true;
    submit(r);

    Instances *c = choice();
    ASSERT_NE(c, nullptr);
    QStringList boardings;
    for (int i = 0; i < c->cmbInstance->count(); ++i)
        boardings << c->cmbInstance->itemText(i).section(QStringLiteral(" at "), -1);
    boardings.sort();
    EXPECT_EQ(boardings, (QStringList{"10:10:00 Hrs ", "10:20:00 Hrs ", "10:25:00 Hrs "}));
}

TEST_P(RunSearch, BoardingOffsetRoundsHalvesToEven)
{
    // boarding at Bravo, 40 km from Alpha, at 3.2 km a minute: 12.5 minutes
    auto row = [](double stop) {
        return QVariantList{1, 1, QStringLiteral("KA01"), 2, 2, QString(), 40, 20, 0.8, 0.25, 3.2, stop};
    };
    const data::RowTable rows(QStringList(12, QStringLiteral("f")), {row(0), row(1)});
    EXPECT_EQ(BoardingOffsetFor(rows, 0), 12);
    EXPECT_EQ(BoardingOffsetFor(rows, 1), 14);  // one stop of a minute: 13.5
}

TEST_P(RunSearch, BoardingAfterMidnightShowsTheNextDay)
{
    run(1, journeyDay(), 21, 0);
    Request r = alphaToBravo("0", "10");
    r.date = journeyDay().addDays(1);
    r.from = QStringLiteral("Charlie");
    r.to = QStringLiteral("Delta");
    submit(r);

    Instances *c = choice();
    ASSERT_NE(c, nullptr);
    ASSERT_EQ(c->cmbInstance->count(), 1);
    const QString entry = c->cmbInstance->itemText(0);
    EXPECT_TRUE(entry.contains(QStringLiteral("Date: ") + QLocale::c().toString(journeyDay().addDays(1), QStringLiteral("d MMM yyyy"))
                               + QStringLiteral(" departing CHA at 00:20:00 Hrs ")))
        << entry.toStdString();
}

TEST_P(RunSearch, SeatGateLooksForOneRunWithEnoughSeats)
{
    run(1, journeyDay(), 10, 0, "KA01", 2);
    run(2, journeyDay(), 10, 5, "KA02", 5);
    hold(1, 1, 3, 38);
    hold(2, 1, 3, 35);
    Request r = alphaToBravo("10", "00");
    r.seats = 4;
    r.chooseRun = true;
    submit(r);
    // both runs are listed, the short one included
    ASSERT_NE(choice(), nullptr);
    EXPECT_EQ(choice()->cmbInstance->count(), 2);
    click(choice(), "Cancel");

    MessageScript::clearShown();
    r.seats = 6;
    submit(r);
    EXPECT_EQ(MessageScript::texts(), QStringList{QStringLiteral(" Requested number of seats not available")});
    EXPECT_EQ(choice(), nullptr);
    // the request screen is shown again as the clerk typed it
    QWidget *again = findScreen(QStringLiteral("frmReservation"));
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(again->isVisible());
    EXPECT_EQ(child<QLineEdit>(again, "txtFrom")->text(), r.from);
    EXPECT_EQ(child<QComboBox>(again, "cmbSeats")->currentText(), QStringLiteral("6"));
    EXPECT_EQ(again->focusWidget(), child<QComboBox>(again, "cmbSeats"));
}

// A seat sold from Alpha to Bravo is free again from Bravo on: the run's counter, which
// counts every seat row, says -25 here, yet 15 seats are free from Charlie to Delta.
TEST_P(RunSearch, SeatsFreeOnTheJourneysStretchAreSoldWhateverTheCounterSays)
{
    run(1, journeyDay(), 10, 0, "KA01", -25);
    hold(1, 1, 1, 40);
    hold(1, 2, 3, 25);
    Request r = alphaToBravo("13", "20");
    r.from = QStringLiteral("Charlie");
    r.to = QStringLiteral("Delta");
    r.seats = 2;
    submit(r);
    EXPECT_EQ(countOf("Reservation Successful"), 1) << MessageScript::texts().join('|').toStdString();
    EXPECT_EQ(booked().BookedInstanceId, 1);
    EXPECT_EQ(booked().ChosenSeats[0], 26);
    click(findScreen(QStringLiteral("frmCustomer")), "Command2");

    // where the stretch is full the gate still says so
    MessageScript::clearShown();
    submit(alphaToBravo("10", "00"));
    EXPECT_EQ(MessageScript::texts(), QStringList{QStringLiteral(" Requested number of seats not available")});
}

class RunSearchOnDemand : public RunSearch {
protected:
    void SetUp() override
    {
        RunSearch::SetUp();
        db().exec(QStringLiteral("INSERT into Route_Frequency values (1, 8, 60, 6, 0)"));
        db().exec(QStringLiteral("INSERT into service_class values(1, 8, 2)"));
        db().exec(QStringLiteral("INSERT INTO bus_stand VALUES (4, 'Alpha', 'Central')"));
    }
};

TEST_P(RunSearchOnDemand, MissingRunIsCreatedThenFoundOnItsRoute)
{
    submit(alphaToBravo("10", "00"));

    ASSERT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM bus_instance")).toInt(), 1);
    data::ResultSet created = db().query(QStringLiteral(
        "SELECT instance_id, bus_id, To_char(dep_date,'mm-dd-yyyy hh24:mi:ss') d, stand_id, class FROM bus_instance"));
    EXPECT_EQ(created.value(1).toInt(), 1);
    EXPECT_EQ(created.value(2).toString(), QStringLiteral("03-06-2030 10:00:00"));
    EXPECT_EQ(created.value(3).toInt(), 4);
    EXPECT_EQ(created.value(4).toInt(), 2);
    EXPECT_EQ(booked().BookedInstanceId, created.value(0).toInt());
    EXPECT_EQ(countOf("Reservation Successful"), 1);
    EXPECT_EQ(seatRows(booked().BookedInstanceId), 1);
}

TEST_P(RunSearchOnDemand, CreatedRunThatCannotBeFoundEndsAfterOneMoreSearch)
{
    // no fare for the route's fuel index: the search cannot see the new run
    db().exec(QStringLiteral("UPDATE route SET fpi = 9 WHERE route_id = 1"));
    submit(alphaToBravo("10", "00"));

    EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM bus_instance")).toInt(), 1);
    EXPECT_EQ(MessageScript::texts(),
              QStringList{QStringLiteral(" Requested place not found for the specified route ID ")});
}

TEST_P(RunSearchOnDemand, RouteNumberWithoutRunCreatesNothing)
{
    Request r = alphaToBravo("10", "00");
    r.route = QStringLiteral("1");
    submit(r);

    EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM bus_instance")).toInt(), 0);
    EXPECT_EQ(MessageScript::texts(),
              QStringList{QStringLiteral(" Requested place not found for the specified route ID ")});
    EXPECT_EQ(MessageScript::shown().front().style, mb::Critical);
    EXPECT_EQ(MessageScript::shown().front().title, QStringLiteral("Error"));
}

// Buses every 90 minutes from 06:30: 07:30 lies between two of them, and the clerk is
// told both instead of only to change the class or date.
TEST_P(RunSearchOnDemand, ATimeBetweenTwoDeparturesNamesBoth)
{
    db().exec(QStringLiteral("UPDATE Route_Frequency SET frequency = 90, hour = 6, minute = 30"));
    submit(alphaToBravo("07", "30"));
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM bus_instance")).toInt(), 0);
    const QString day = QLocale::c().toString(journeyDay(), QStringLiteral("d MMM yyyy"));
    EXPECT_EQ(MessageScript::texts(),
              QStringList{QStringLiteral("No Instances to service requested route. Please try changing the class or "
                                         "date \r\nThe nearest buses from ALP leave before it at %1 06:30 "
                                         "(route 1) and after it at %1 08:00 (route 1).")
                              .arg(day)});
}

TEST_P(RunSearchOnDemand, NoPlanForTheClassEndsWithTheCreationMessage)
{
    Request r = alphaToBravo("10", "00");
    r.classIndex = 4;
    submit(r);
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM bus_instance")).toInt(), 0);
    EXPECT_EQ(MessageScript::texts(),
              QStringList{QStringLiteral(
                  "No Instances to service requested route. Please try changing the class or date ")});
    EXPECT_EQ(MessageScript::shown().front().title, QStringLiteral("Error."));
    EXPECT_TRUE(searched().JourneyDateText.isEmpty());
}

TEST_P(RunSearch, RouteNumberTextNeverReachesTheStatement)
{
    run(1, journeyDay(), 10, 0);
    reservation::ReservationState request;
    request.OriginPlace = QStringLiteral("ALP");
    request.DestinationPlace = QStringLiteral("BRA");
    request.ClassIndex = 2;
    request.SeatsRequested = 1;
    request.JourneyDateTime = QDateTime(journeyDay(), QTime(10, 0));
    request.JourneyDateText = QStringLiteral("3-6-2030 10:0:00");
    QString route = QStringLiteral("1 OR 1=1");
    EXPECT_FALSE(test::runSearch(request, route));
    EXPECT_EQ(MessageScript::texts(),
              QStringList{QStringLiteral(" Requested place not found for the specified route ID ")});
    EXPECT_EQ(countOf("Reservation Successful"), 0);

    MessageScript::clearShown();
    route = QStringLiteral(" 1 ");
    EXPECT_TRUE(test::runSearch(request, route));
    EXPECT_EQ(countOf("Reservation Successful"), 1);
}

// A booking waiting for its customer details belongs to its own task: nothing another
// screen does may book into it, rewrite it, or leave a second booking beside it.
class PendingBookingTest : public RunSearch {
protected:
    void SetUp() override
    {
        RunSearch::SetUp();
        operations::registerScreens();
    }
    frmCustomer *customer() { return findScreenAs<frmCustomer>(QStringLiteral("frmCustomer")); }
    void completeCustomer(const char *name = "Ravi")
    {
        frmCustomer *f = customer();
        ASSERT_NE(f, nullptr);
        f->txtname->setText(QString::fromLatin1(name));
        f->phone->setText(QStringLiteral("12345"));
        f->txtage->setText(QStringLiteral("30"));
        f->Command1->click();
    }
    int rows(const QString &sql) { return db().scalar(sql).toInt(); }
    void expectOneBookingOf(qint32 cid, int instance)
    {
        EXPECT_EQ(rows(QStringLiteral("SELECT count(*) FROM customer")), 1);
        EXPECT_EQ(rows(QStringLiteral("SELECT count(*) FROM customer WHERE name = '**TEMP**'")), 0);
        EXPECT_EQ(rows(QStringLiteral("SELECT count(*) FROM seat_matrix")), 1);
        EXPECT_EQ(rows(QStringLiteral("SELECT count(*) FROM seat_matrix WHERE customer_id = %1").arg(cid)), 1);
        EXPECT_EQ(rows(QStringLiteral("SELECT instance_id FROM customer WHERE customer_id = %1").arg(cid)), instance);
        EXPECT_EQ(rows(QStringLiteral("SELECT free_seats FROM bus_instance WHERE instance_id = %1").arg(instance)), 39);
    }
    static bool refusedAsPending()
    {
        const QStringList t = MessageScript::texts();
        return t.size() == 1 && t.front().contains(QStringLiteral("is not finished yet"))
               && MessageScript::shown().front().icon() == mb::Critical;
    }
};

TEST_P(PendingBookingTest, EnquiryWhileTheCustomerScreenWaitsNeitherRunsNorRewritesTheBooking)
{
    threeRuns();
    submit(alphaToBravo("10", "00"));
    ASSERT_NE(customer(), nullptr) << MessageScript::texts().join('|').toStdString();
    const qint32 cid = customer()->booking()->request.CustomerId;
    const qint16 fare = customer()->booking()->fare();
    MessageScript::clearShown();

    QWidget *enquiry = openScreen(QStringLiteral("frmEnquiry"));
    type(enquiry, "txtDD", QString::number(journeyDay().addDays(1).day()));
    child<QComboBox>(enquiry, "cmbMonth")->setCurrentIndex(journeyDay().month() - 1);
    type(enquiry, "txtFrom", QStringLiteral("Alpha"));
    type(enquiry, "txtTo", QStringLiteral("Bravo"));
    child<QComboBox>(enquiry, "cmbSeats")->setCurrentIndex(4);
    click(enquiry, "cmdNext");
    EXPECT_TRUE(refusedAsPending()) << MessageScript::texts().join('|').toStdString();
    EXPECT_EQ(findScreen(QStringLiteral("Instances")), nullptr);

    MessageScript::clearShown();
    completeCustomer();
    EXPECT_EQ(MessageScript::headlines(), QStringList{"Update complete."});
    expectOneBookingOf(cid, 3);
    data::ResultSet row = db().query(
        QStringLiteral("SELECT origin, destin, fare, To_char(journey_date,'mm-dd-yyyy hh24:mi:ss') FROM customer"));
    EXPECT_EQ(row.value(0).toString(), QStringLiteral("ALP"));
    EXPECT_EQ(row.value(1).toString(), QStringLiteral("BRA"));
    EXPECT_EQ(row.value(2).toInt(), fare);
    EXPECT_EQ(row.value(3).toString(), journeyDay().toString(QStringLiteral("MM-dd-yyyy")) + QStringLiteral(" 10:00:00"));
}

TEST_P(PendingBookingTest, FreshRequestWhileABookingWaitsIsRefusedAndBooksNothing)
{
    threeRuns();
    submit(alphaToBravo("10", "00"));
    ASSERT_NE(customer(), nullptr);
    const qint32 cid = customer()->booking()->request.CustomerId;

    // the menu shows the waiting request; its Cancel, then the menu again: a fresh one
    QWidget *waiting = openScreen(QStringLiteral("frmReservation"));
    click(waiting, "cmdCancel");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    MessageScript::clearShown();
    QWidget *fresh = submit(alphaToBravo("10", "00"));
    EXPECT_TRUE(refusedAsPending()) << MessageScript::texts().join('|').toStdString();
    EXPECT_TRUE(fresh->isVisible());
    ASSERT_NE(customer(), nullptr);
    EXPECT_EQ(customer()->booking()->request.CustomerId, cid);

    MessageScript::clearShown();
    completeCustomer();
    EXPECT_EQ(reservation::MostRecentCustomerId(), cid);
    EXPECT_EQ(MessageScript::headlines(), QStringList{"Update complete."});
    expectOneBookingOf(cid, 3);
}

TEST_P(PendingBookingTest, DirectBookingLeavesNoRunChoiceBehind)
{
    // the 09:55 run comes first and lies within the tolerance of the wanted 10:00
    run(1, journeyDay(), 9, 55);
    run(3, journeyDay(), 10, 0, "KA02");
    submit(alphaToBravo("10", "00"));
    EXPECT_EQ(countOf("Reservation Successful"), 1) << MessageScript::texts().join('|').toStdString();
    EXPECT_EQ(choice(), nullptr);
    const qint32 cid = customer()->booking()->request.CustomerId;
    MessageScript::clearShown();
    completeCustomer();
    expectOneBookingOf(cid, 3);
}

// A run choice kept open books the run of its own request, even after other searches.
TEST_P(PendingBookingTest, RunChoiceBooksItsOwnRequestAfterAnotherSearch)
{
    threeRuns();
    Request r = alphaToBravo("10", "00");
    r.chooseRun = true;
    submit(r);
    Instances *c = choice();
    ASSERT_NE(c, nullptr);
    // another request meanwhile, for four seats, that lists nothing
    Request other = alphaToBravo("10", "00");
    other.seats = 4;
    other.to = QStringLiteral("Xanadu");
    closeScreen(QStringLiteral("frmReservation"));
    submit(other);
    ASSERT_EQ(choice(), c);
    c->cmbInstance->setCurrentIndex(0);
    c->ok->click();
    ASSERT_NE(customer(), nullptr) << MessageScript::texts().join('|').toStdString();
    EXPECT_EQ(customer()->booking()->request.SeatsRequested, 1);
    EXPECT_EQ(customer()->booking()->request.BookedInstanceId, 3);
}

NBK_ALL_ENGINES(PendingBookingTest);

NBK_ALL_ENGINES(RunSearch);
NBK_ALL_ENGINES(RunSearchOnDemand);

}  // namespace
