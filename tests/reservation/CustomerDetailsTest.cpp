#include "support/Procedures.h"
#include "BookingFixture.h"

#include "data/dialect/DbError.h"
#include "data/dialect/Numbers.h"

#include <QComboBox>
#include <QLabel>
#include <QTableWidget>
#include <QPointer>
#include <QPushButton>

using namespace nbk;
using namespace nbk::test;

namespace {

const QString kUpdateFailed =
    QStringLiteral(" Error updating database (Reservation Cancelled) . Please try later or report to supervisor ");

class CustomerDetails : public BookingTest {
protected:
    // Two seats A->C on run 70, boarding 20 minutes after its start; the details screen open.
    frmCustomer *bookTwoSeats()
    {
        search("A", "C");
        request.SeatsRequested = 2;
        request.BoardingOffsetMinutes = 20;
        book();
        frmCustomer *f = customerScreen();
        EXPECT_NE(f, nullptr) << texts().join('|').toStdString();
        test::MessageScript::clearShown();
        return f;
    }
    static void fill(frmCustomer *f, const QString &name, const QString &phone, const QString &age, const QString &gender)
    {
        f->txtname->setText(name);
        f->phone->setText(phone);
        f->txtage->setText(age);
        f->cmbGen->setCurrentText(gender);
    }
    QString committedField(const QString &column, qint32 cid)
    {
        return db().scalar(QStringLiteral("SELECT %1 FROM customer WHERE customer_id = %2").arg(column).arg(cid)).toString();
    }
    // The temporary row is untouched and the booking still pending.
    void expectStillPending(qint32 cid)
    {
        EXPECT_TRUE(session().IsInTransaction());
        EXPECT_EQ(sessionScalar(QStringLiteral("SELECT name FROM customer WHERE customer_id = %1").arg(cid)).toString(),
                  "**TEMP**");
        EXPECT_NE(customerScreen(), nullptr);
    }
};

TEST_P(CustomerDetails, OkSavesThePassengerCommitsAndClosesTheRequestScreen)
{
    db().exec("UPDATE class_type SET base = 10, multiplier = 0.8 WHERE class = 2");
    QWidget request;  // the journey request screen, still open behind
    request.setObjectName(QStringLiteral("frmReservation"));
    request.show();

    QPointer<frmCustomer> f = bookTwoSeats();
    ASSERT_TRUE(f);
    EXPECT_EQ(f->cmbGen->currentText(), "M");

    fill(f, "D'Souza", "9845012345", "35", "F");
    f->Command1->click();

    ASSERT_EQ(texts(), QStringList{QStringLiteral("Update complete.\r\nCustomer no. %1: the ticket and any cancellation ask for this number.").arg(booked.CustomerId)});
    EXPECT_EQ(lastMessage().icon(), mb::Information);
    EXPECT_EQ(lastMessage().title, "Reservation");
    EXPECT_FALSE(session().IsInTransaction());
    // seen from another session: committed, exactly as typed
    const qint32 cid = booked.CustomerId;
    EXPECT_EQ(reservation::MostRecentCustomerId(), cid);  // the most recent ticket is this one
    EXPECT_EQ(committedField("name", cid), "D'Souza");
    EXPECT_EQ(committedField("instance_id", cid).toInt(), 70);
    EXPECT_EQ(committedField("To_char(journey_date,'dd-mm-yyyy hh24:mi:ss')", cid), "06-03-2003 00:10:00");
    EXPECT_EQ(committedField("age", cid).toInt(), 35);
    EXPECT_EQ(committedField("phone", cid), "9845012345");
    EXPECT_EQ(committedField("gender", cid), "F");
    EXPECT_EQ(committedField("origin", cid), "A");
    EXPECT_EQ(committedField("destin", cid), "C");
    EXPECT_EQ(committedField("fare", cid).toInt(), 230);
    EXPECT_EQ(seatsOf(cid, true), (QList<int>{1, 2}));
    EXPECT_EQ(freeSeatsOfRun(), 38);

    EXPECT_EQ(customerScreen(), nullptr);
    EXPECT_FALSE(request.isVisible());
}

TEST_P(CustomerDetails, FareOfADearerClass)
{
    db().exec("UPDATE class_type SET base = 20, multiplier = 1.5 WHERE class = 2");
    frmCustomer *f = bookTwoSeats();
    ASSERT_TRUE(f);
    fill(f, "Ravi", "12345", "40", "M");
    f->Command1->click();
    EXPECT_EQ(MessageScript::headlines(), QStringList{"Update complete."});
    EXPECT_EQ(committedField("fare", booked.CustomerId).toInt(), 390);
}

// Every typing error is refused before anything is written, with the box to correct in
// focus; the booking stays pending and the corrected screen completes it.
TEST_P(CustomerDetails, EntriesThatCannotBeSavedAsTypedAreRefusedBeforeAnythingIsWritten)
{
    struct Case {
        const char *name, *phone, *age;
        const char *message;
        const char *field;
    };
    const char *const kName =
        "Error in name entry: the name holds a control character (such as a tab, an escape or a line break). "
        "Please type the name again ";
    const Case cases[] = {
        {"Ravi", "12345", "abc", "Error in age entry ", "txtage"},
        {"Ravi", "12345", "", "Error in age entry ", "txtage"},
        {"Ravi", "12345", "35; DELETE customer", "Error in age entry ", "txtage"},
        {"Ravi", "12345", "1e999", "Error in age entry ", "txtage"},
        {"Ravi", "12345", "-5", "Error in age entry ", "txtage"},
        {"Ravi", "12345", "3.5", "Error in age entry ", "txtage"},
        {"Ravi", "12345", "121", "Error in age entry ", "txtage"},
        {"Ravi\x1b", "12345", "35", kName, "txtname"},
        {"Ravi\r\nKumar", "12345", "35", kName, "txtname"},
        {"Ravi\nKumar", "12345", "35", kName, "txtname"},
        {"Ravi\tKumar", "12345", "35", kName, "txtname"},
        {"Ravi\a", "12345", "35", kName, "txtname"},
    };
    frmCustomer *f = bookTwoSeats();
    ASSERT_TRUE(f);
    f->show();
    for (const Case &c : cases) {
        SCOPED_TRACE(QString::fromLatin1("%1 | %2 | %3").arg(c.name, c.phone, c.age).toStdString());
        test::MessageScript::clearShown();
        fill(f, QString::fromLatin1(c.name), QString::fromLatin1(c.phone), QString::fromLatin1(c.age), "M");
        f->txtname->setFocus();
        f->Command1->click();
        ASSERT_EQ(texts(), QStringList{QString::fromLatin1(c.message)});
        EXPECT_EQ(lastMessage().icon(), mb::Information);
        EXPECT_EQ(lastMessage().title, "Error");
        ASSERT_NE(f->focusWidget(), nullptr);
        EXPECT_EQ(f->focusWidget()->objectName(), c.field);
        expectStillPending(booked.CustomerId);
    }
    // corrected, the same screen completes the booking
    test::MessageScript::clearShown();
    fill(f, "Ravi", "12345", " 35 ", "M");
    f->Command1->click();
    EXPECT_EQ(MessageScript::headlines(), QStringList{"Update complete."});
    EXPECT_EQ(committedField("age", booked.CustomerId).toInt(), 35);
}

// A phone the database would refuse ends the reservation as a refused update does, but
// no statement is ever built from such text.
TEST_P(CustomerDetails, PhoneThatIsNoNumberCancelsTheReservationWithoutAStatement)
{
    const int customers = count(QStringLiteral("SELECT count(*) FROM customer"));
    for (const char *phone : {"", "1, name = 'x'", "98450 12345 ext", "++91 98450", "-98450",
                              "1234567890123456" /* 16 digits */, "12345678901234567890"}) {
        frmCustomer *f = bookTwoSeats();
        ASSERT_TRUE(f);
        fill(f, "Ravi", phone, "35", "M");
        f->Command1->click();
        ASSERT_EQ(texts(), QStringList{kUpdateFailed}) << phone;
        EXPECT_EQ(lastMessage().icon(), mb::Critical);
        expectNothingLeft(customers, 0);
        f->Command2->click();
    }
}

// The phone is a text the counter must print as the clerk typed it: a leading zero (an
// area code) or + (a country code) and the blanks or dashes between digit groups stay.
TEST_P(CustomerDetails, PhoneReadsBackAsTypedOnTicketAndAccidentReport)
{
    for (const char *phone : {"08023456789", "+91 98450 12345", "080-2345678", "0"}) {
        SCOPED_TRACE(phone);
        frmCustomer *f = bookTwoSeats();
        ASSERT_TRUE(f);
        // the booking's placeholder row, whose phone is the number -1, still fits
        EXPECT_EQ(sessionScalar(QStringLiteral("SELECT phone FROM customer WHERE customer_id = %1").arg(booked.CustomerId))
                      .toString(),
                  "-1");
        fill(f, "Ravi", QString::fromLatin1(phone), "0", "M");
        f->Command1->click();
        ASSERT_EQ(MessageScript::headlines(), QStringList{"Update complete."});
        const qint32 cid = booked.CustomerId;
        EXPECT_EQ(committedField("phone", cid), phone);
        EXPECT_EQ(committedField("age", cid).toInt(), 0);
        EXPECT_EQ(db().scalar(QStringLiteral("SELECT PHONE FROM vticket WHERE CUSTOMERID = %1").arg(cid)).toString(),
                  phone);
        EXPECT_EQ(
            db().scalar(QStringLiteral("SELECT PHONE FROM accidentview WHERE CUSTOMER_ID = %1").arg(cid)).toString(),
            phone);
    }
}

TEST_P(CustomerDetails, TypedNameCannotChangeTheStatement)
{
    hold(7, 1, 2, 500);
    frmCustomer *f = bookTwoSeats();
    ASSERT_TRUE(f);
    const QString name = QStringLiteral("x' , fare=0, name='y' where 1=1 --");
    fill(f, name, "12345", "35", "M");
    f->Command1->click();
    EXPECT_EQ(MessageScript::headlines(), QStringList{"Update complete."});
    EXPECT_EQ(committedField("name", booked.CustomerId), name);
    EXPECT_EQ(committedField("name", 500), "Held");
}

TEST_P(CustomerDetails, FareBeyondSixteenBitsIsRefusedAndTheBookingStaysPending)
{
    db().exec("UPDATE class_type SET base = 20000 WHERE class = 2");  // (105 + 20000) x 2
    frmCustomer *f = bookTwoSeats();
    ASSERT_TRUE(f);
    fill(f, "Ravi", "12345", "35", "M");
    f->Command1->click();
    ASSERT_EQ(test::MessageScript::shown().size(), 1u);
    EXPECT_TRUE(lastMessage().text.contains("fare", Qt::CaseInsensitive));
    EXPECT_EQ(lastMessage().icon(), mb::Critical);
    expectStillPending(booked.CustomerId);

    f->Command2->click();
    expectNothingLeft(0, 0);
}

TEST_P(CustomerDetails, CancelRollsTheBookingBack)
{
    QPointer<frmCustomer> f = bookTwoSeats();
    ASSERT_TRUE(f);
    f->Command2->click();
    EXPECT_TRUE(texts().isEmpty());
    EXPECT_EQ(customerScreen(), nullptr);
    expectNothingLeft(0, 0);
    // a reservation never made is no one's most recent ticket
    EXPECT_EQ(reservation::MostRecentCustomerId(), 0);
}

TEST_P(CustomerDetails, ClosingAsksAndNoKeepsTheBookingYesDropsIt)
{
    QPointer<frmCustomer> f = bookTwoSeats();
    ASSERT_TRUE(f);
    // the default answer (Enter) keeps it
    EXPECT_FALSE(f->close());
    ASSERT_EQ(texts(), QStringList{"Cancel current reservation? "});
    EXPECT_EQ(lastMessage().style, mb::YesNo | mb::DefaultButton2);
    EXPECT_EQ(lastMessage().title, "Question");
    expectStillPending(booked.CustomerId);
    EXPECT_EQ(sessionScalar("SELECT count(*) FROM seat_matrix").toInt(), 2);

    test::MessageScript::clearShown();
    test::MessageScript::answer(mb::Yes);
    EXPECT_TRUE(f->close());
    EXPECT_EQ(texts(), QStringList{"Cancel current reservation? "});
    EXPECT_EQ(customerScreen(), nullptr);
    expectNothingLeft(0, 0);
}

TEST_P(CustomerDetails, RefusedUpdateRollsBackAndTheScreenCannotClaimSuccessLater)
{
    refuseUpdatesOf("customer");
    QPointer<frmCustomer> f = bookTwoSeats();
    ASSERT_TRUE(f);
    fill(f, "Ravi", "12345", "35", "M");
    f->Command1->click();
    ASSERT_EQ(texts(), QStringList{kUpdateFailed});
    EXPECT_EQ(lastMessage().icon(), mb::Critical);
    EXPECT_EQ(lastMessage().title, "Error");
    EXPECT_NE(customerScreen(), nullptr);  // the window stays
    expectNothingLeft(0, 0);

    // nothing is pending any more: Ok says so, closing asks nothing
    test::MessageScript::clearShown();
    f->Command1->click();
    ASSERT_EQ(test::MessageScript::shown().size(), 1u);
    EXPECT_NE(lastMessage().text, "Update complete.");
    test::MessageScript::clearShown();
    EXPECT_TRUE(f->close());
    EXPECT_TRUE(texts().isEmpty());
    expectNothingLeft(0, 0);
}

// With categories on file each seat takes one (Adult unless changed) and the fare shown
// follows; without them the screen has no seat grid at all.
TEST_P(CustomerDetails, EachSeatTakesACategoryAndTheFareFollows)
{
    db().exec("UPDATE class_type SET base = 10, multiplier = 0.8 WHERE class = 2");
    QPointer<frmCustomer> plain = bookTwoSeats();
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->grdSeats, nullptr);
    plain->Command2->click();

    db().exec("INSERT INTO fare_category VALUES ('child', 0.5, 5, 12)");
    QPointer<frmCustomer> f = bookTwoSeats();
    ASSERT_TRUE(f && f->grdSeats);
    auto *fare = f->findChild<QLabel *>(QStringLiteral("lblFare"));
    ASSERT_NE(fare, nullptr);
    const int whole = fare->text().toInt();
    ASSERT_EQ(f->grdSeats->rowCount(), 2);
    auto *second = qobject_cast<QComboBox *>(f->grdSeats->cellWidget(1, 1));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->currentText(), "Adult");
    second->setCurrentText(QStringLiteral("child"));
    const int adult = whole / 2;
    EXPECT_EQ(fare->text().toInt(), adult + CInt(adult * 0.5));
    f->grdSeats->item(1, 2)->setText(QStringLiteral("7"));
    fill(f, "Ravi", "98450", "40", "M");
    const qint32 cid = booked.CustomerId;
    f->Command1->click();
    EXPECT_FALSE(session().IsInTransaction()) << texts().join('|').toStdString();
    EXPECT_EQ(committedField("fare", cid).toInt(), adult + CInt(adult * 0.5));
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT age FROM seat_category WHERE customer_id = %1").arg(cid)).toInt(), 7);
}

NBK_ALL_ENGINES(CustomerDetails);

// The fare in 16-bit steps, halves to the even neighbour.
class Fare16 : public ::testing::Test {
protected:
    void SetUp() override { ResetReservationState(); }
    static qint16 fare(qint32 km, double fuel, double cls, qint16 base, qint16 seats)
    {
        PendingBooking b;
        b.request.JourneyKm = km;
        b.request.FuelMultiplier = fuel;
        b.request.ClassMultiplier = cls;
        b.request.ClassBase = base;
        b.request.SeatsRequested = seats;
        return b.fare();
    }
};

TEST_F(Fare16, WorkedExamplesAndHalvesToEven)
{
    EXPECT_EQ(fare(100, 0.25, 0.8, 10, 2), 230);
    EXPECT_EQ(fare(100, 0.25, 1.5, 20, 2), 390);
    EXPECT_EQ(fare(50, 0.25, 0, 0, 1), 12);   // fuel term 12.5
    EXPECT_EQ(fare(54, 0.25, 0, 0, 1), 14);   // fuel term 13.5
    EXPECT_EQ(fare(1, 0, 0.5, 0, 1), 0);      // class term 0.5
    EXPECT_EQ(fare(3, 0, 0.5, 0, 1), 2);      // class term 1.5
}

TEST_F(Fare16, EveryStepMustFitSixteenBits)
{
    EXPECT_EQ(fare(100, 0.25, 0.8, 16278, 2), 32766);
    EXPECT_THROW(fare(100, 0.25, 0.8, 16279, 2), data::DbException);  // product 32768
    EXPECT_THROW(fare(100, 0.25, 0.8, 32700, 1), data::DbException);  // sum 32805
    EXPECT_THROW(fare(200000, 0.25, 0, 0, 1), data::DbException);     // fuel term 50000
}

}  // namespace
