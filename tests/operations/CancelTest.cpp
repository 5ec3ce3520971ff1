#include "operations/screens/Screens.h"
#include "data/session/Transaction.h"
#include "ui/ScreenRegistry.h"
#include "data/dialect/DbError.h"
#include "operations/CancelSeed.h"
#include "operations/screens/frmCancel.h"
#include "support/TestDatabase.h"
#include "support/MessageScript.h"
#include "ui/MsgBox.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

using namespace nbk;
using namespace nbk::test;
using test::MessageScript;

namespace {

const char *const kUnderUpdate = "Customer detail under update. Please try later ";

// The texts of the boxes shown, one per line, as the failure messages print them.
std::string shownTexts() { return MessageScript::texts().join('\n').toStdString(); }

class Cancel : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        seedCancelRuns(db());
        // a bystander on the same run, who must never be touched
        book(900, 70, {30, 31}, 200);
        operations::registerScreens();
    }
    void TearDown() override
    {
        closeScreen(QStringLiteral("frmCancel"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        DbTest::TearDown();
    }

    // A reservation as the booking leaves it: the customer row and one seat row per seat.
    void book(int cid, int run, const QList<int> &seats, int fare) { bookForCancel(db(), cid, run, seats, fare); }

    int seatRows(int cid)
    {
        return db().scalar(QStringLiteral("SELECT count(*) FROM seat_matrix WHERE customer_id = %1").arg(cid)).toInt();
    }
    int customerRows(int cid)
    {
        return db().scalar(QStringLiteral("SELECT count(*) FROM customer WHERE customer_id = %1").arg(cid)).toInt();
    }
    double fare(int cid)
    {
        return db().scalar(QStringLiteral("SELECT fare FROM customer WHERE customer_id = %1").arg(cid)).toDouble();
    }
    int freeSeats(int run)
    {
        return db().scalar(QStringLiteral("SELECT free_seats FROM bus_instance WHERE instance_id = %1").arg(run)).toInt();
    }

    frmCancel *open()
    {
        auto *w = qobject_cast<frmCancel *>(openScreen(QStringLiteral("frmCancel")));
        EXPECT_NE(w, nullptr);
        return w;
    }
    // Types the id, picks the seat count (0 = "All") and presses "Cancel Tickets".
    static void cancel(frmCancel *w, const QString &cid, int k)
    {
        w->txtcid->setText(cid);
        w->cmbseats->setCurrentIndex(k);
        w->cmdCancel->click();
    }
    static bool isOpen() { return findScreen(QStringLiteral("frmCancel")) != nullptr; }

    void expectBystanderUntouched()
    {
        EXPECT_EQ(seatRows(900), 2);
        EXPECT_DOUBLE_EQ(fare(900), 200);
    }
};

TEST_P(Cancel, AllOrAtLeastTheSeatsHeldCancelsTheWholeReservation)
{
    int free = freeSeats(70);
    int cid = 101;
    // the list offers "All" and each smaller count of the seats the booking holds
    for (int k : {0, 3, 5}) {
        SCOPED_TRACE(k);
        book(cid, 70, {1, 2, 3}, 300);
        MessageScript::begin({mb::Yes, mb::OK});
        frmCancel *w = open();
        w->txtcid->setText(QString::number(cid));
        EXPECT_EQ(w->cmbseats->count(), 3);
        cancel(w, QString::number(cid), k);

        ASSERT_EQ(MessageScript::shown().size(), 2u) << shownTexts();
        const test::ShownMessage &ask = MessageScript::shown()[0];
        EXPECT_TRUE(ask.text.startsWith("Are you sure to cancel customer no. " + QString::number(cid) + "\r\n"));
        EXPECT_TRUE(ask.text.contains("Seats to cancel: 1, 2, 3 (the whole booking)")) << ask.text.toStdString();
        EXPECT_EQ(ask.style, mb::Question | mb::YesNo | mb::DefaultButton2);
        EXPECT_EQ(ask.title, "Confirm");
        const test::ShownMessage &done = MessageScript::shown()[1];
        EXPECT_EQ(done.text, "  Cancel Done ");
        EXPECT_EQ(done.style, mb::Information);
        EXPECT_EQ(done.title, "Information");

        EXPECT_EQ(seatRows(cid), 0);
        EXPECT_EQ(customerRows(cid), 0);
        EXPECT_EQ(freeSeats(70), free);
        EXPECT_FALSE(isOpen());
        EXPECT_FALSE(session().IsInTransaction());
        ++cid;
    }
    EXPECT_EQ(freeSeats(71), 30);
    expectBystanderUntouched();
}

TEST_P(Cancel, PartOfAReservationLowersTheFareByTheSeatsShareAndStaysOpen)
{
    book(201, 70, {1, 2, 3, 4}, 400);
    book(202, 71, {7, 8}, 390);
    frmCancel *w = open();

    MessageScript::begin({mb::Yes, mb::OK});
    cancel(w, QStringLiteral("201"), 1);
    ASSERT_EQ(MessageScript::shown().size(), 2u);
    EXPECT_EQ(MessageScript::shown()[1].text, "1 seats deleted");
    EXPECT_EQ(MessageScript::shown()[1].style, mb::OKOnly);
    EXPECT_EQ(MessageScript::shown()[1].title, "Done.");
    EXPECT_DOUBLE_EQ(fare(201), 300);
    EXPECT_EQ(seatRows(201), 3);
    EXPECT_EQ(customerRows(201), 1);
    EXPECT_EQ(freeSeats(70), 27);
    EXPECT_TRUE(isOpen());
    EXPECT_FALSE(session().IsInTransaction());

    // the per-seat share is an exact division, not an integer one
    MessageScript::begin({mb::Yes, mb::OK});
    cancel(w, QStringLiteral("202"), 1);
    EXPECT_DOUBLE_EQ(fare(202), 195);
    EXPECT_EQ(seatRows(202), 1);
    EXPECT_EQ(freeSeats(71), 29);

    // the same screen goes on: two of the remaining three
    MessageScript::begin({mb::Yes, mb::OK});
    cancel(w, QStringLiteral("201"), 2);
    EXPECT_EQ(MessageScript::shown().back().text, "2 seats deleted");
    EXPECT_DOUBLE_EQ(fare(201), 100);
    EXPECT_EQ(seatRows(201), 1);
    EXPECT_EQ(freeSeats(70), 29);
    expectBystanderUntouched();
}

// Enter pressed again and again after a partial cancellation cancels nothing more: the id
// box is emptied, and the question's default answer is No.
TEST_P(Cancel, EnterPressedAgainAfterAPartCancelsNothingMore)
{
    book(251, 70, {1, 2, 3}, 300);
    frmCancel *w = open();
    MessageScript::begin({mb::Yes, mb::OK});
    cancel(w, QStringLiteral("251"), 1);
    EXPECT_EQ(seatRows(251), 2);
    EXPECT_TRUE(w->txtcid->text().isEmpty());
    EXPECT_EQ(w->cmbseats->currentIndex(), 0);

    // a clerk's Enter with nothing typed, then the id typed again and Enter answered by default
    MessageScript::begin();
    w->cmdCancel->click();
    EXPECT_EQ(shownTexts(), "Invalid Customer Id ( Enter only numerals) ");
    MessageScript::begin();
    cancel(w, QStringLiteral("251"), 0);
    EXPECT_EQ(MessageScript::shown().size(), 1u);
    EXPECT_EQ(seatRows(251), 2);
    EXPECT_DOUBLE_EQ(fare(251), 200);
    EXPECT_EQ(w->txtcid->text(), "251");
    EXPECT_TRUE(isOpen());
}

// Ids that are not whole numbers never reach the database; an unknown id, or a customer
// row left without seats, is nothing to cancel.
TEST_P(Cancel, MalformedOrUnknownIdsChangeNothing)
{
    book(301, 70, {1}, 100);
    db().exec("INSERT INTO CUSTOMER VALUES( 302, 70, NULL, 'X', 1, 1, 'M', 'A', 'B', 50 )");
    frmCancel *w = open();
    const QString invalid = QStringLiteral("Invalid Customer Id ( Enter only numerals) ");
    const QString notFound = QStringLiteral("Customer Id not found in data base");
    const std::pair<const char *, QString> cases[] = {
        {"12a", invalid},     {"", invalid},        {"301 OR 1=1", invalid}, {"301.5", invalid},
        {"1e400", invalid},   {"4242", notFound},   {"302", notFound},       {" 4242 ", notFound}};
    for (const auto &[typed, message] : cases) {
        SCOPED_TRACE(typed);
        MessageScript::begin();
        cancel(w, QString::fromLatin1(typed), 0);
        ASSERT_EQ(MessageScript::shown().size(), 1u);
        EXPECT_EQ(MessageScript::shown()[0].text, message);
        EXPECT_EQ(MessageScript::shown()[0].style, mb::Critical);
        EXPECT_EQ(MessageScript::shown()[0].title, "Error");
        EXPECT_FALSE(session().IsInTransaction());
        EXPECT_TRUE(isOpen());
    }
    EXPECT_EQ(seatRows(301), 1);
    EXPECT_EQ(customerRows(301), 1);
    EXPECT_EQ(customerRows(302), 1);
    EXPECT_EQ(freeSeats(70), 29);
}

TEST_P(Cancel, NoAtTheQuestionChangesNothingAndExitCloses)
{
    book(401, 70, {1, 2, 3}, 300);
    frmCancel *w = open();
    EXPECT_EQ(w->windowTitle(), "Cancel Reservation");
    ASSERT_EQ(w->cmbseats->count(), 11);
    EXPECT_EQ(w->cmbseats->currentText(), "All");
    EXPECT_EQ(w->cmbseats->itemText(10), "10");
    for (int k : {0, 1}) {
        MessageScript::begin({mb::No});
        cancel(w, QStringLiteral("401"), k);
        EXPECT_TRUE(QString::fromStdString(shownTexts()).startsWith("Are you sure to cancel customer no. 401\r\n"));
    }
    EXPECT_EQ(seatRows(401), 3);
    EXPECT_DOUBLE_EQ(fare(401), 300);
    EXPECT_EQ(freeSeats(70), 27);
    EXPECT_FALSE(session().IsInTransaction());
    w->Command2->click();
    EXPECT_FALSE(isOpen());
}

// The counter update fails after the seats (and the fare) have changed: nothing of it
// may stay, and the clerk is told it failed instead of "  Cancel Done ".
TEST_P(Cancel, AFailingStatementRollsTheWholeCancellationBack)
{
    book(501, 70, {1, 2, 3, 4}, 400);
    db().exec("ALTER TABLE bus_instance RENAME TO bus_instance_away");
    frmCancel *w = open();
    for (int k : {0, 1}) {
        SCOPED_TRACE(k);
        MessageScript::begin({mb::Yes, mb::OK});
        cancel(w, QStringLiteral("501"), k);
        ASSERT_EQ(MessageScript::shown().size(), 2u) << shownTexts();
        const test::ShownMessage &m = MessageScript::shown()[1];
        EXPECT_TRUE(m.text.startsWith("Cancellation failed. Nothing has been changed.")) << m.text.toStdString();
        EXPECT_EQ(m.style, mb::Critical);
        EXPECT_EQ(m.title, "Error");
        EXPECT_TRUE(isOpen());
        EXPECT_FALSE(session().IsInTransaction());
    }
    db().exec("ALTER TABLE bus_instance_away RENAME TO bus_instance");
    EXPECT_EQ(seatRows(501), 4);
    EXPECT_EQ(customerRows(501), 1);
    EXPECT_DOUBLE_EQ(fare(501), 400);
    EXPECT_EQ(freeSeats(70), 26);

    // and the same reservation cancels cleanly once the database is whole again
    MessageScript::begin({mb::Yes, mb::OK});
    cancel(w, QStringLiteral("501"), 1);
    EXPECT_DOUBLE_EQ(fare(501), 300);
    EXPECT_EQ(freeSeats(70), 27);
}

// A statement that changes other rows than it should (here a seat number the customer
// holds on two runs) is a failure too: the counter would no longer match the seats.
TEST_P(Cancel, AStatementChangingTheWrongNumberOfRowsRollsBack)
{
    book(601, 70, {5}, 100);
    db().exec("INSERT INTO seat_matrix VALUES( 71, 5, 1, 1, 601, 'r' )");
    frmCancel *w = open();
    MessageScript::begin({mb::Yes, mb::OK});
    cancel(w, QStringLiteral("601"), 1);
    ASSERT_EQ(MessageScript::shown().size(), 2u);
    EXPECT_TRUE(MessageScript::shown()[1].text.startsWith("Cancellation failed."));
    EXPECT_EQ(seatRows(601), 2);
    EXPECT_DOUBLE_EQ(fare(601), 100);
    EXPECT_EQ(freeSeats(70), 29);
    EXPECT_EQ(freeSeats(71), 30);
}

// Work of another screen still waiting for its commit is neither committed nor thrown
// away by a cancellation.
TEST_P(Cancel, RefusesWhileAnotherTaskHasChangesPending)
{
    book(701, 70, {1}, 100);
    data::Transaction txSession(session(), QStringLiteral("the test's work"));
    ASSERT_EQ(session().exec("UPDATE bus_instance SET free_seats = 29 WHERE instance_id = 71"), -13);
    frmCancel *w = open();
    MessageScript::begin({mb::Yes, mb::OK});
    cancel(w, QStringLiteral("701"), 0);
    ASSERT_EQ(MessageScript::shown().size(), 1u);
    EXPECT_EQ(MessageScript::shown()[0].style, mb::Critical);
    EXPECT_TRUE(session().IsInTransaction());
    txSession.rollback();
    EXPECT_EQ(seatRows(701), 1);
    EXPECT_EQ(freeSeats(71), 30);
}

// Two clerks at two counters cancel the same reservation at the same moment: the second
// one presses "Cancel Tickets" while the first is still looking at the question.
TEST_P(Cancel, TwoClerksCancellingTheSameCustomerCancelItOnce)
{
    book(801, 70, {1, 2, 3}, 300);
    std::unique_ptr<data::Class1> clerk = db().login(QStringLiteral("clerk1"));
    data::Class1 *chief = &session();
    frmCancel first;
    frmCancel second;

    bool interleaved = false;
    MessageScript::begin({mb::OK, mb::Yes, mb::OK});
    MessageScript::onShown([&](const test::ShownMessage &m) {
        if (interleaved || !m.text.startsWith("Are you sure"))
            return;
        interleaved = true;
        DbSession = clerk.get();
        cancel(&second, QStringLiteral("801"), 0);
        DbSession = chief;
    });
    DbSession = chief;
    cancel(&first, QStringLiteral("801"), 0);

    ASSERT_TRUE(interleaved);
    const std::vector<test::ShownMessage> &shown = MessageScript::shown();
    ASSERT_EQ(shown.size(), 3u) << shownTexts();
    EXPECT_TRUE(shown[0].text.startsWith("Are you sure"));
    EXPECT_EQ(shown[1].text, kUnderUpdate);
    EXPECT_EQ(shown[1].style, mb::Information);
    EXPECT_EQ(shown[1].title, "State");
    EXPECT_EQ(shown[2].text, "  Cancel Done ");
    EXPECT_FALSE(clerk->IsInTransaction());
    EXPECT_FALSE(chief->IsInTransaction());

    EXPECT_EQ(seatRows(801), 0);
    EXPECT_EQ(freeSeats(70), 30);
    expectBystanderUntouched();

    // once the first has finished, the second finds nothing left to cancel
    MessageScript::begin();
    DbSession = clerk.get();
    cancel(&second, QStringLiteral("801"), 0);
    DbSession = chief;
    EXPECT_EQ(shownTexts(), "Customer Id not found in data base");
    EXPECT_EQ(freeSeats(70), 30);
}

NBK_ALL_ENGINES(Cancel);

}  // namespace
