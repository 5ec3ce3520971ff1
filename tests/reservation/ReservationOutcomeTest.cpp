// The reservation road's procedures as their outcomes say, without any screen: place
// resolution, the run search, the booking and the customer details, each given a request
// of its own.
#include "support/Outcomes.h"
#include "support/TestDatabase.h"

#include "reservation/BookSeats.h"
#include "reservation/FindBusInstances.h"
#include "reservation/ResolvePlace.h"
#include "reservation/SaveCustomer.h"

using namespace nbk;
using namespace nbk::test;
using nbk::reservation::ReservationState;

namespace {

// No case here has a question to answer.
const Confirm kNoQuestion = [](const Notice &q) {
    ADD_FAILURE() << "asked: " << q.text.toStdString();
    return false;
};

// Route 7 (A-B-C-D, 40, 60 and 30 km at 0.5 km a minute, 5 minutes a stop); run 70 leaves
// Aa at 23:50 on 5 March 2003, so it boards Bb at 01:15 the next day.
class ReservationOutcome : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        seedRouteABCD();
    }

    static ReservationState request(const char *from, const char *to, const QDateTime &wanted, qint16 seats = 1)
    {
        ReservationState r;
        r.OriginPlace = QLatin1String(from);
        r.DestinationPlace = QLatin1String(to);
        r.ClassIndex = 2;
        r.SeatsRequested = seats;
        r.JourneyDateTime = wanted;
        r.JourneyDateText = wanted.toString(QStringLiteral("M-d-yyyy H:m:00"));
        return r;
    }
    static QDateTime at(int day, int h, int m) { return QDateTime(QDate(2003, 3, day), QTime(h, m)); }

    // The request with the run rows of a search that lets the clerk choose.
    static ReservationState searched(ReservationState r)
    {
        r.AllowInstanceChoice = true;
        QString route;
        TakeSearch(r, FindBusInstances(r, route, kNoQuestion));
        EXPECT_EQ(r.SearchRows.rowCount(), 1);
        return r;
    }

    // A booking of one seat from Aa to Dd, waiting for its customer details.
    static std::shared_ptr<PendingBooking> pending()
    {
        QString route;
        SearchOutcome o = FindBusInstances(request("A", "D", at(5, 23, 50)), route, kNoQuestion);
        EXPECT_TRUE(o.booked()) << noticeTexts(o.notices).toStdString();
        return o.booking.booking;
    }
};

TEST_P(ReservationOutcome, PlacesAreSettledOfferedForChoiceRefusedAsTheSameOrNotFound)
{
    db().exec("INSERT INTO PLACE VALUES('AR', 'Aardvark')");
    const QString same = QStringLiteral("Start Place same as end place |Error");
    const QString none = QStringLiteral("Requested place not found. Please check the spelling|Error");
    struct Case {
        const char *from, *to;
        qint16 result;
        bool choose, again;
        int fromChoice;
        QString notices;
    };
    const Case cases[] = {
        {"Bb", "dd", 3, false, false, 0, {}},  // in any capitals
        {"Bb", "Bb", 5, false, false, 0, same},
        {"aardvark", "Dd", 0, true, false, 1, {}},  // the one named as typed is preselected
        {"Aax", "Dd", 0, true, false, 0, {}},
        {"Bb", "Ddx", 0, true, false, 0, {}},  // one candidate, named otherwise
        {"Xx", "Dd", 0, false, true, 0, none},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.from) + " -> " + c.to);
        const PlaceOutcome o = ResolvePlace(QLatin1String(c.from), QLatin1String(c.to));
        EXPECT_EQ(o.result, c.result);
        EXPECT_EQ(o.choosePlaces, c.choose);
        EXPECT_EQ(o.showRequestAgain, c.again);
        EXPECT_EQ(o.fromChoice, c.fromChoice);
        EXPECT_EQ(noticeTexts(o.notices), c.notices);
    }
    ReservationState r;
    TakePlaces(r, ResolvePlace(QStringLiteral("bb"), QStringLiteral("Dd")));
    EXPECT_EQ(r.OriginPlace + r.DestinationPlace, QStringLiteral("BD"));
    const PlaceOutcome choice = ResolvePlace(QStringLiteral("Aa"), QStringLiteral("Dd"));
    EXPECT_EQ(choice.fromNames, (QStringList{QStringLiteral("Aa"), QStringLiteral("Aardvark")}));
}

TEST_P(ReservationOutcome, SearchRefusesWithItsFocusListsNearRunsOrBooksTheExactOne)
{
    struct Case {
        const char *what, *route;
        QDateTime wanted;
        qint16 seats, classIndex;
        bool choose, enquiry;
        QString notices;
        Focus focus;
        bool showRequest;
        int entries;
        bool booked;
    };
    const Case cases[] = {
        {"no such route", "9", at(5, 23, 50), 1, 2, false, false,
         " Requested place not found for the specified route ID |Error", Focus::RouteNumber, true, 0, false},
        {"route no number", "7x", at(5, 23, 50), 1, 2, false, false,
         " Requested place not found for the specified route ID |Error", Focus::RouteNumber, true, 0, false},
        {"more seats than free", "", at(5, 23, 50), 41, 2, false, false, " Requested number of seats not available|",
         Focus::Seats, true, 0, false},
        {"no run near the time", "7", at(5, 22, 0), 1, 2, true, false,
         " no instances  take care \r\nThe nearest buses from A leave after it at 5 Mar 2003 23:50 (route 7).|",
         Focus::Seats, true, 0, false},
        {"a run near the time", "", at(5, 23, 40), 1, 2, true, false, {}, Focus::None, false, 1, false},
        {"enquiry without a run", "", at(5, 23, 50), 1, 3, false, true, "No Instances to service requested route. |Enquiry.",
         Focus::None, false, 0, false},
        {"no run and none planned", "", at(5, 23, 50), 1, 3, false, false,
         "No Instances to service requested route. Please try changing the class or date |Error.", Focus::None, true, 0,
         false},
        {"the exact run", "", at(5, 23, 50), 1, 2, false, false, {}, Focus::None, false, 0, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ReservationState r = request("A", "D", c.wanted, c.seats);
        r.ClassIndex = c.classIndex;
        r.AllowInstanceChoice = c.choose;
        r.EnquiryMode = c.enquiry;
        QString route = QLatin1String(c.route);
        const SearchOutcome o = FindBusInstances(r, route, kNoQuestion);
        EXPECT_EQ(noticeTexts(o.notices), c.notices);
        EXPECT_EQ(o.focus, c.focus);
        EXPECT_EQ(o.showRequest, c.showRequest);
        EXPECT_EQ(o.entries.size(), c.entries);
        EXPECT_EQ(o.enquiryEnded, c.enquiry);
        EXPECT_EQ(o.booked(), c.booked);
        if (o.booked()) {
            EXPECT_EQ(noticeTexts(o.booking.notices), QStringLiteral("Reservation Successful|Success"));
            EXPECT_EQ(o.booking.booking->request.BookedInstanceId, 70);
        }
        EXPECT_EQ(session().IsInTransaction(), c.booked);
    }
    EXPECT_FALSE(session().IsInTransaction());  // the booking found was let go
}

TEST_P(ReservationOutcome, BookingTakesTheLowestSeatsFreeOnItsStretchOrBooksNothing)
{
    // seat 1 is held from Aa to Bb only; seats 3 .. 12 over the whole route
    db().exec({"Insert INTO Customer values ( 501,70,SYSDATE,'Held',30,1,'M','A','D',0)",
               "INSERT INTO seat_matrix VALUES( 70 , 1 ,1 , 1 , 501, 'r' )"});
    for (int seat = 3; seat <= 12; ++seat)
        db().exec(QStringLiteral("INSERT INTO seat_matrix VALUES( 70 , %1 ,1 , 3 , 501, 'r' )").arg(seat));

    BookingOutcome booked = BookSeats(searched(request("B", "C", at(6, 1, 15), 2)), 0);
    ASSERT_NE(booked.booking, nullptr) << noticeTexts(booked.notices).toStdString();
    EXPECT_EQ(noticeTexts(booked.notices), QStringLiteral("Reservation Successful|Success"));
    const ReservationState &b = booked.booking->request;
    EXPECT_EQ(std::vector<qint16>(b.ChosenSeats.begin(), b.ChosenSeats.begin() + 3), (std::vector<qint16>{1, 2, 0}));
    EXPECT_EQ(b.JourneyDateTime.time(), QTime(1, 15));
    EXPECT_EQ(b.JourneyKm, 60);
    booked.booking->transaction.rollback();

    // 29 seats are free over the whole route
    const BookingOutcome full = BookSeats(searched(request("A", "D", at(5, 23, 50), 30)), 0);
    EXPECT_EQ(full.booking, nullptr);
    EXPECT_EQ(noticeTexts(full.notices), QStringLiteral("Cancelling reservation due to non availablity of seats|"));
    EXPECT_FALSE(session().IsInTransaction());
    EXPECT_EQ(db().scalar("SELECT count(*) FROM seat_matrix").toInt(), 11);
}

TEST_P(ReservationOutcome, CustomerDetailsNameTheBoxToCorrectThenSave)
{
    const QString age = QStringLiteral("Error in age entry |Error");
    const QString name = QStringLiteral("Error in name entry: the name holds a control character (such as a tab, an "
                                        "escape or a line break). Please type the name again |Error");
    struct Case {
        const char *name, *phone, *age;
        QString notices;
        Focus focus;
    };
    const Case refused[] = {
        {"Ravi", "98450", "3.5", age, Focus::Age},
        {"Ravi", "98450", "121", age, Focus::Age},
        {"Ra\tvi", "98450", "30", name, Focus::Name},
    };
    std::shared_ptr<PendingBooking> booking = pending();
    ASSERT_NE(booking, nullptr);
    for (const Case &c : refused) {
        SCOPED_TRACE(c.name + std::string(" / ") + c.age);
        const CustomerSaveOutcome o = SaveCustomerDetails(booking.get(), QLatin1String(c.name), QLatin1String(c.phone),
                                                          QLatin1String(c.age), QStringLiteral("M"));
        EXPECT_FALSE(o.saved);
        EXPECT_EQ(noticeTexts(o.notices), c.notices);
        EXPECT_EQ(o.focus, c.focus);
        EXPECT_TRUE(booking->transaction.isOpen());
    }
    const CustomerSaveOutcome saved =
        SaveCustomerDetails(booking.get(), QStringLiteral("Ravi"), QStringLiteral("080 2345"), QStringLiteral("30"),
                            QStringLiteral("F"));
    EXPECT_TRUE(saved.saved);
    EXPECT_EQ(noticeTexts(saved.notices),
              QStringLiteral("Update complete.\r\nCustomer no. %1: the ticket and any cancellation ask for this number.|Reservation")
                  .arg(booking->request.CustomerId));
    EXPECT_EQ(saved.focus, Focus::None);
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT phone FROM customer WHERE customer_id = %1").arg(booking->request.CustomerId))
                  .toString(),
              QStringLiteral("080 2345"));

    // a phone the update could not hold ends the booking, with no box to correct
    std::shared_ptr<PendingBooking> second = pending();
    ASSERT_NE(second, nullptr);
    const CustomerSaveOutcome phone = SaveCustomerDetails(second.get(), QStringLiteral("Ravi"), QStringLiteral("98-45x"),
                                                          QStringLiteral("30"), QStringLiteral("M"));
    EXPECT_FALSE(phone.saved);
    EXPECT_EQ(phone.focus, Focus::None);
    EXPECT_TRUE(noticeTexts(phone.notices).contains(QLatin1String("(Reservation Cancelled)"))) << noticeTexts(phone.notices).toStdString();
    EXPECT_FALSE(session().IsInTransaction());
    EXPECT_EQ(db().scalar("SELECT count(*) FROM customer").toInt(), 1);
}

NBK_ALL_ENGINES(ReservationOutcome);

}  // namespace
