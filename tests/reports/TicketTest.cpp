#include "reports/screens/Screens.h"
#include "ui/ScreenRegistry.h"
#include "data/session/Class1.h"
#include "reports/FillReports.h"
#include "reports/ReportsFixture.h"
#include "reports/screens/Ticket.h"
#include "reports/TicketQueries.h"
#include "reports/engine/Paginator.h"
#include "reports/screens/ReportWindow.h"
#include "reservation/BookSeats.h"
#include "common/ReservationState.h"
#include "data/session/Transaction.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace nbk;
using namespace nbk::test;
using namespace nbk::reports;

namespace {

QStringList captions(const report::ReportSection &s)
{
    QStringList c;
    for (const auto &control : s.controls)
        c << control.caption;
    return c;
}

class Tickets : public ReportsTest {
protected:
    void SetUp() override
    {
        ReportsTest::SetUp();
        registerScreens();
    }
    void TearDown() override
    {
        closeScreen(QStringLiteral("Ticket"));
        for (const char *w : {"FullTicketReport", "TicketReport"})
            closeScreen(QString::fromLatin1(w));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ReportsTest::TearDown();
    }
    static void registerScreens() { nbk::reports::registerScreens(); }
    Ticket *open() { return qobject_cast<Ticket *>(openScreen(QStringLiteral("Ticket"))); }
};

TEST_P(Tickets, CustomerTicketShowsSevenColumnNamesTheFirstRowAndOneLinePerSeat)
{
    book(1001, 50, {4, 5, 6});
    book(1002, 50, {7});
    const CustomerTicketOutcome o = customerTicket(session(), false, QStringLiteral("1001"));
    ASSERT_FALSE(o.message) << o.message->text.toStdString();
    const FilledReport f = fillFullTicketReport(o.ticket);
    const QStringList head = captions(f.layout.section(QStringLiteral("Section2")));
    ASSERT_EQ(head.size(), 14);
    EXPECT_EQ(head.mid(0, 7).join(QLatin1Char('|')).toUpper(),
              QStringLiteral("CUSTOMERID :|NAME :|INSTANCE :|ORIGIN :|DESTINATION :|JOURNEY_DATE :|FARE :"));
    EXPECT_EQ(head.mid(7, 5), (QStringList{"1001", "Ravi", "50", "Mysore", "Bangalore"}));
    EXPECT_EQ(head.at(12), QStringLiteral("5 Mar 2030 10:00"));
    EXPECT_EQ(head.at(13), QStringLiteral("120"));
    EXPECT_EQ(f.layout.section(QStringLiteral("Section1")).control(QStringLiteral("Text1")).dataField.toLower(),
              QStringLiteral("seat_no"));

    const QStringList texts = report::paginate(f.layout, f.data).texts();
    EXPECT_EQ(texts.count(QStringLiteral("Seat Number :  ")), 3);
    for (const char *seat : {"4", "5", "6"})
        EXPECT_TRUE(texts.contains(QString::fromLatin1(seat))) << seat;
    EXPECT_FALSE(texts.contains(QStringLiteral("7")));
    EXPECT_EQ(f.windowName, QStringLiteral("FullTicketReport"));
    EXPECT_EQ(f.layout.title, QStringLiteral("TicketReport"));
    EXPECT_EQ(ticketCode(o.ticket),
              QStringLiteral("NBK TICKET\nCUSTOMER 1001\nRUN 50\nDEPARTS 2030-03-05 10:00\nSEATS 4,5,6"));
    EXPECT_FALSE(f.layout.section(QStringLiteral("Section5")).control(QStringLiteral("imgTicketCode")).image.isNull());
}

TEST_P(Tickets, TypedCustomerIdRoundsHalvesToEvenAndRefusesText)
{
    book(12, 50, {1});
    book(14, 50, {2, 3});
    EXPECT_EQ(customerTicket(session(), false, QStringLiteral("12.5")).ticket.customerId, 12);
    const CustomerTicketOutcome o = customerTicket(session(), false, QStringLiteral("13.5"));
    EXPECT_EQ(o.ticket.customerId, 14);
    EXPECT_EQ(o.ticket.seats.recordCount(), 2);

    const auto invalid = customerTicket(session(), false, QStringLiteral("12a"));
    ASSERT_TRUE(invalid.message);
    EXPECT_EQ(invalid.message->text, QStringLiteral("Invalid Customer No. "));
    EXPECT_EQ(invalid.message->style, mb::Critical);
    EXPECT_EQ(invalid.message->title, QStringLiteral("Error"));
    const auto none = customerTicket(session(), false, QStringLiteral("999"));
    ASSERT_TRUE(none.message);
    EXPECT_EQ(none.message->text, QStringLiteral("No customers found for search criteria "));
    EXPECT_EQ(none.message->style, mb::Information);
    EXPECT_EQ(none.message->title, QStringLiteral("Information"));
    EXPECT_EQ(customerTicket(session(), false, QStringLiteral("1e12")).message->text,
              QStringLiteral("Invalid Customer No. "));
}

TEST_P(Tickets, MostRecentTicketBeforeAnyReservationAndAfterOne)
{
    const auto before = customerTicket(session(), true, QString());
    ASSERT_TRUE(before.message);
    EXPECT_EQ(before.message->text, QStringLiteral(" No Reservation done yet, in this session "));
    EXPECT_EQ(before.message->style, mb::Information);
    EXPECT_EQ(before.message->title, QStringLiteral("Error"));
    book(1001, 50, {4});
    reservation::SetMostRecentCustomerId(1001);
    EXPECT_EQ(customerTicket(session(), true, QStringLiteral("77")).ticket.customerId, 1001);
}

TEST_P(Tickets, InstanceListHasOneLinePerTicketOfTheRunAndTheNumberAsTyped)
{
    book(1001, 50, {4, 5, 6}, 1, 2, QStringLiteral("Asha"));
    book(1002, 50, {7}, 1, 2, QStringLiteral("Bala"));
    book(1003, 51, {7}, 1, 2, QStringLiteral("Chitra"));
    const InstanceTicketsOutcome o = instanceTickets(session(), QStringLiteral("0050"));
    ASSERT_FALSE(o.message) << o.message->text.toStdString();
    const FilledReport f = fillTicketReport(o.tickets);
    EXPECT_EQ(captions(f.layout.section(QStringLiteral("Section2"))).join(QLatin1Char('|')).toUpper(),
              QStringLiteral("CUSTOMERID :|NAME :|INSTANCE :|ORIGIN :|DESTINATION :|JOURNEY_DATE :|FARE :"));
    const QStringList texts = report::paginate(f.layout, f.data).texts();
    EXPECT_TRUE(texts.contains(QStringLiteral("Asha")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Bala")));
    EXPECT_FALSE(texts.contains(QStringLiteral("Chitra")));
    EXPECT_EQ(f.data.rowCount(), 2);
    EXPECT_TRUE(texts.contains(QStringLiteral("Instance ID")));
    EXPECT_TRUE(texts.contains(QStringLiteral("0050")));

    EXPECT_EQ(instanceTickets(session(), QStringLiteral("5x")).message->text, QStringLiteral("Invalid Instance No. "));
    EXPECT_EQ(instanceTickets(session(), QStringLiteral("60")).message->text,
              QStringLiteral("No customers found for search criteria "));
}

TEST_P(Tickets, FramesExcludeEachOtherAndOkWithBothEmptyAsksForAnInstance)
{
    Ticket *t = open();
    ASSERT_TRUE(t);
    EXPECT_EQ(t->windowTitle(), QStringLiteral("Print Ticket"));
    EXPECT_FALSE(t->Option1->isChecked());
    t->Text1->setText(QStringLiteral("5"));
    EXPECT_FALSE(t->Frame1->isEnabled());
    EXPECT_FALSE(t->Text2->isEnabledTo(t->Frame1));
    EXPECT_FALSE(t->Option1->isEnabledTo(t->Frame1));
    t->Text1->clear();
    EXPECT_TRUE(t->Frame1->isEnabled());
    EXPECT_TRUE(t->Text2->isEnabled());
    EXPECT_TRUE(t->Option1->isEnabled());

    t->Option1->click();
    EXPECT_TRUE(t->Option1->isChecked());
    EXPECT_FALSE(t->Frame2->isEnabled());
    t->Text2->setText(QStringLiteral("12"));
    EXPECT_FALSE(t->Option1->isChecked());
    EXPECT_FALSE(t->Text1->isEnabledTo(t->Frame2));
    t->Text2->clear();
    EXPECT_TRUE(t->Frame2->isEnabled());
    EXPECT_TRUE(t->Text1->isEnabled());

    MessageScript::clearShown();
    t->Command1->click();
    EXPECT_EQ(MessageScript::texts(), QStringList{QStringLiteral("Invalid Instance No. ")});
    t->Option1->click();
    MessageScript::clearShown();
    t->Command1->click();
    EXPECT_EQ(MessageScript::texts(), QStringList{QStringLiteral(" No Reservation done yet, in this session ")});
}

TEST_P(Tickets, ReportWindowOutlivesTheScreenAndIsRefilledByTheNextOk)
{
    book(1001, 50, {4}, 1, 2, QStringLiteral("Asha"));
    book(1002, 50, {5}, 1, 2, QStringLiteral("Bala"));
    Ticket *t = open();
    t->Text2->setText(QStringLiteral("1001"));
    t->Command1->click();
    report::ReportWindow *w = report::ReportWindow::find(QStringLiteral("FullTicketReport"));
    ASSERT_TRUE(w) << shown();
    EXPECT_TRUE(w->report().texts().contains(QStringLiteral("Asha")));
    t->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(report::ReportWindow::find(QStringLiteral("FullTicketReport")), w);
    t = open();
    t->Text2->setText(QStringLiteral("1002"));
    t->Command1->click();
    EXPECT_EQ(report::ReportWindow::find(QStringLiteral("FullTicketReport")), w);
    EXPECT_TRUE(w->report().texts().contains(QStringLiteral("Bala")));
    EXPECT_FALSE(w->report().texts().contains(QStringLiteral("Asha")));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("TicketReport"));
}

// Clicked again, the option keeps the screen in its mode; a typed customer id is the other
// choice and unselects it.
TEST_P(Tickets, MostRecentOptionStaysSelectedUntilACustomerIdIsTyped)
{
    Ticket *t = open();
    t->Option1->click();
    t->Option1->click();
    EXPECT_TRUE(t->Option1->isChecked());
    EXPECT_FALSE(t->Frame2->isEnabled());
    t->Command1->click();
    EXPECT_EQ(MessageScript::texts(), QStringList{QStringLiteral(" No Reservation done yet, in this session ")});
    t->Text2->setText(QStringLiteral("7"));
    EXPECT_FALSE(t->Option1->isChecked());
    t->Text2->clear();
    t->Option1->click();
    EXPECT_TRUE(t->Option1->isChecked());
}

// A booking waiting for its customer details is this session's open transaction: its
// placeholder row is no ticket, whichever way it is asked for.
TEST_P(Tickets, TicketOfABookingWaitingForItsDetailsIsRefusedNamingIt)
{
    book(1001, 50, {4});
    data::Transaction pending(session(), reservation::bookingTask(1002));
    ASSERT_TRUE(pending.isOpen());
    ASSERT_EQ(session().exec(QStringLiteral(
                  "INSERT INTO CUSTOMER VALUES( 1002, 50, NULL, '**TEMP**', 0, NULL, NULL, 'MYS', 'BAN', 0 )")),
              -13);
    reservation::SetMostRecentCustomerId(1002);
    const QString refusal = data::pendingWorkMessage(reservation::bookingTask(1002));
    ASSERT_TRUE(refusal.contains(QStringLiteral("customer 1002")));
    EXPECT_EQ(customerTicket(session(), false, QStringLiteral("1002")).message->text, refusal);
    EXPECT_EQ(instanceTickets(session(), QStringLiteral("50")).message->text, refusal);

    Ticket *t = open();
    t->Option1->click();
    t->Command1->click();
    EXPECT_EQ(MessageScript::texts(), QStringList{refusal});
    EXPECT_EQ(report::ReportWindow::find(QStringLiteral("FullTicketReport")), nullptr);
    pending.rollback();
    EXPECT_EQ(customerTicket(session(), true, QString()).message->text,
              QStringLiteral("No customers found for search criteria "));
}

NBK_ALL_ENGINES(Tickets);

}  // namespace
