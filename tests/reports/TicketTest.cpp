#include "reports/screens/Screens.h"
#include "ui/ScreenRegistry.h"
#include "data/session/Class1.h"
#include "reports/FillReports.h"
#include "reports/ReportsFixture.h"
#include "reports/screens/Ticket.h"
#include "reports/TicketQueries.h"
#include "reports/engine/Paginator.h"
#include "reports/screens/ReportViews.h"
#include "reports/screens/ReportWindow.h"
#include "reservation/BookSeats.h"
#include "common/ReservationState.h"
#include "data/session/Transaction.h"

#include <QCoreApplication>
#include <algorithm>
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
        closeScreen(QStringLiteral("Manifest"));
        for (const char *w : {"FullTicketReport", "TicketReport", "ManifestReport"})
            closeScreen(QString::fromLatin1(w));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ReportsTest::TearDown();
    }
    static void registerScreens() { nbk::reports::registerScreens(); }
    Ticket *open() { return qobject_cast<Ticket *>(openScreen(QStringLiteral("Ticket"))); }
};

// A name longer than its line wraps at its blanks: every line drawn is whole words of it.
void expectWrappedAtBlanks(const report::PagedReport &r, const QString &control, const QString &whole)
{
    const QStringList words = whole.split(QLatin1Char(' '));
    int found = 0;
    for (const auto &page : r.pages)
        for (const auto &item : page.items)
            if (item.control == control && item.text == whole) {
                ++found;
                EXPECT_GT(item.lines.size(), 1) << control.toStdString();
                for (const QString &line : item.lines)
                    for (const QString &word : line.split(QLatin1Char(' ')))
                        EXPECT_TRUE(words.contains(word)) << word.toStdString() << " of " << whole.toStdString();
            }
    EXPECT_GT(found, 0) << control.toStdString();
}

const QString kLongName = QStringLiteral("Venkatasubramanian Ramakrishnan Iyengars");

TEST_P(Tickets, CustomerTicketNamesEveryFieldInWordsOnTheRoll)
{
    book(1001, 50, {6, 4, 5}, 1, 2, kLongName);
    book(1002, 50, {7});
    const CustomerTicketOutcome o = customerTicket(session(), false, QStringLiteral("1001"));
    ASSERT_FALSE(o.message) << o.message->text.toStdString();
    const FilledReport f = fillFullTicketReport(o.ticket);
    const report::PagedReport r = report::paginate(f.layout, f.data);
    EXPECT_EQ(r.texts(), (QStringList{"Journey Ticket", "Customer no.", "1001", "Passenger", kLongName, "Age/Gender",
                                      "30 / Male", "From", "Mysore", "To", "Bangalore", "Boarding", "5 Mar 2030 10:00",
                                      "Run", "50", "Route", "5 Mysore - Bangalore", "Class", "Semi - Luxury", "Seats",
                                      "4, 5, 6", "Fare", QStringLiteral("\u20B9 120")}));
    expectWrappedAtBlanks(r, QStringLiteral("txtPassenger"), kLongName);
    // one size for the fields, names and values alike
    for (const auto &item : r.pages.at(0).items) {
        if (item.kind == report::ItemKind::Text && item.section == QLatin1String("Section1")) {
            EXPECT_EQ(item.font.pointSize, 8.0) << item.text.toStdString();
        }
    }

    // the roll: 80 mm wide, one page as long as the ticket and its QR code
    ASSERT_EQ(r.pageCount(), 1);
    EXPECT_EQ(r.page.width, 4535);
    const auto &items = r.pages.at(0).items;
    const auto code = std::find_if(items.begin(), items.end(),
                                   [](const report::PageItem &i) { return i.kind == report::ItemKind::Image; });
    ASSERT_NE(code, items.end());
    EXPECT_EQ(r.page.height, code->rect.bottom() + r.page.bottomMargin);
    EXPECT_LT(r.page.height, 16838 / 2);
    EXPECT_EQ(f.windowName, QStringLiteral("FullTicketReport"));
    EXPECT_EQ(f.layout.title, QStringLiteral("TicketReport"));
    EXPECT_EQ(ticketCode(o.ticket),
              QStringLiteral("NBK TICKET\nCUSTOMER 1001\nRUN 50\nDEPARTS 2030-03-05 10:00\nSEATS 4,5,6"));

    // the same fields on an A4 sheet
    const FilledReport a4 = fillFullTicketReport(o.ticket, Paper::A4);
    const report::PagedReport onA4 = report::paginate(a4.layout, a4.data);
    EXPECT_EQ(onA4.texts(), r.texts());
    EXPECT_EQ(onA4.page, report::PageSetup{});
}

// The conductor's manifest: one line per seat held on the run, a seat held on two stretches
// twice (the nearer stretch first), other runs' passengers left out.
TEST_P(Tickets, ManifestListsTheRunsSeatsInOrderWithPlacesByName)
{
    book(1001, 50, {5, 4}, 1, 2, QStringLiteral("Asha"));
    book(1002, 50, {3}, 2, 2, kLongName);
    book(1003, 50, {3}, 1, 1, QStringLiteral("Chitra"));
    book(1004, 51, {1}, 1, 2, QStringLiteral("Dev"));
    db().exec({"UPDATE customer SET origin = 'MAN', age = 61, gender = 'F' WHERE customer_id = 1002",
               "UPDATE customer SET destin = 'MAN' WHERE customer_id = 1003"});
    const RunManifestOutcome o = runManifest(session(), QStringLiteral(" 50 "));
    ASSERT_FALSE(o.message) << o.message->text.toStdString();
    const FilledReport f = fillManifest(o.manifest, Paper::A4);
    const report::PagedReport r = report::paginate(f.layout, f.data);
    const QStringList heading{"Conductor's Manifest", "Run", "50", "Route", "5 Mysore - Bangalore", "Date",
                              "5 Mar 2030", "Departs", "10:00", "Vehicle", "KA09", "Class", "Semi - Luxury",
                              "Seat", "Customer no.", "Passenger", "Age/Gender", "Boards at", "Alights at"};
    const QStringList lines{"3", "1003", "Chitra", "30 / Male", "Mysore", "Mandya",
                            "3", "1002", kLongName, "61 / Female", "Mandya", "Bangalore",
                            "4", "1001", "Asha", "30 / Male", "Mysore", "Bangalore",
                            "5", "1001", "Asha", "30 / Male", "Mysore", "Bangalore"};
    const QStringList stretches{"Seats free per stretch", "Stretch", "Seats held", "Seats free",
                                "Mysore to Mandya", "3", "27", "Mandya to Bangalore", "3", "27",
                                "Bookings: 3   Passengers: 4   Seats held: 3 of 30"};
    EXPECT_EQ(r.texts(), heading + lines + stretches);
    expectWrappedAtBlanks(r, QStringLiteral("txtNAME"), kLongName);
    EXPECT_EQ(r.page, report::PageSetup{});

    // the roll: the same values, every one after its name, one page 80 mm wide
    const FilledReport onRoll = fillManifest(o.manifest, Paper::Roll);
    const report::PagedReport rr = report::paginate(onRoll.layout, onRoll.data);
    ASSERT_EQ(rr.pageCount(), 1);
    EXPECT_EQ(rr.page.width, 4535);
    const QStringList rollTexts = rr.texts();
    EXPECT_EQ(rollTexts.mid(0, 13), (QStringList{"Conductor's Manifest", "Run", "50", "Route", "5 Mysore - Bangalore",
                                                 "Date", "5 Mar 2030", "Departs", "10:00", "Vehicle", "KA09", "Class",
                                                 "Semi - Luxury"}));
    EXPECT_EQ(rollTexts.mid(13 + 12, 12), (QStringList{"Seat", "3", "Customer no.", "1002", "Passenger", kLongName,
                                                  "Age/Gender", "61 / Female", "Boards at", "Mandya", "Alights at",
                                                  "Bangalore"}));
    EXPECT_EQ(rollTexts.mid(13 + 4 * 12), (QStringList{"Seats free per stretch", "Stretch", "Held", "Free"}
                                           + stretches.mid(4)));
    expectWrappedAtBlanks(rr, QStringLiteral("txtNAME"), kLongName);

    const RunManifestOutcome empty = runManifest(session(), QStringLiteral("60"));
    ASSERT_FALSE(empty.message);
    const FilledReport e = fillManifest(empty.manifest, Paper::A4);
    EXPECT_EQ(report::paginate(e.layout, e.data).texts().mid(1, 4),
              (QStringList{"Run", "60", "Route", "6 Mandya - Bangalore"}));
    EXPECT_EQ(report::paginate(e.layout, e.data).texts().last(), QStringLiteral("No seats are held on this run."));

    struct Refusal {
        const char *typed, *message;
    };
    for (const Refusal &c : {Refusal{"5x", "Invalid Run No. "}, Refusal{"1e12", "Invalid Run No. "},
                             Refusal{"99", "There is no run 99."}})
        EXPECT_EQ(runManifest(session(), QString::fromLatin1(c.typed)).message->text, QString::fromLatin1(c.message))
            << c.typed;
}

// A place named in Kannada prints with that name beside its English one on the ticket, on
// either paper, and on the manifest; a place without one prints as before.
TEST_P(Tickets, KannadaNamesOfPlacesStandBesideTheEnglishOnes)
{
    const QString mysore = QStringLiteral("\u0CAE\u0CC8\u0CB8\u0CC2\u0CB0\u0CC1");
    const QString mandya = QStringLiteral("\u0CAE\u0C82\u0CA1\u0CCD\u0CAF");
    db().exec(QStringLiteral("INSERT INTO place_local_name (place, name) VALUES ('MYS', '%1')").arg(mysore));
    db().exec(QStringLiteral("INSERT INTO place_local_name (place, name) VALUES ('MAN', '%1')").arg(mandya));
    book(1001, 50, {4}, 1, 2, QStringLiteral("Asha"));
    book(1002, 50, {3}, 2, 2, QStringLiteral("Dev"));
    db().exec({"UPDATE customer SET origin = 'MAN' WHERE customer_id = 1002"});

    const CustomerTicketOutcome o = customerTicket(session(), false, QStringLiteral("1001"));
    ASSERT_FALSE(o.message) << o.message->text.toStdString();
    for (const Paper paper : {Paper::Roll, Paper::A4}) {
        const FilledReport f = fillFullTicketReport(o.ticket, paper);
        const QStringList texts = report::paginate(f.layout, f.data).texts();
        EXPECT_EQ(texts.mid(texts.indexOf(QStringLiteral("From")), 4),
                  (QStringList{"From", QStringLiteral("Mysore / ") + mysore, "To", "Bangalore"}));
    }

    const RunManifestOutcome m = runManifest(session(), QStringLiteral("50"));
    ASSERT_FALSE(m.message) << m.message->text.toStdString();
    const FilledReport f = fillManifest(m.manifest, Paper::A4);
    const QStringList texts = report::paginate(f.layout, f.data).texts();
    EXPECT_EQ(texts.mid(texts.indexOf(QStringLiteral("1002")) + 3, 2),
              (QStringList{QStringLiteral("Mandya / ") + mandya, "Bangalore"}));
    EXPECT_EQ(texts.mid(texts.indexOf(QStringLiteral("1001")) + 3, 2),
              (QStringList{QStringLiteral("Mysore / ") + mysore, "Bangalore"}));
    EXPECT_TRUE(texts.contains(QStringLiteral("Mysore / ") + mysore + QStringLiteral(" to Mandya / ") + mandya));
    EXPECT_TRUE(texts.contains(QStringLiteral("Mandya / ") + mandya + QStringLiteral(" to Bangalore")));
}

// The seats free on each stretch count a seat once however many rows hold it there, and a
// seat sold again beyond where its first passenger alights is held on both stretches only
// where the rows cover them. Route 5 has stretches 1 (Mysore - Mandya) and 2 (Mandya -
// Bangalore); bus KA09 has 30 seats.
TEST_P(Tickets, ManifestCountsTheSeatsFreeOnEachStretch)
{
    struct Row {
        int cid, seat, first, last;
    };
    struct Case {
        const char *name;
        QList<Row> rows;
        int held1, held2;
    };
    QList<Row> everySeat;
    for (int seat = 1; seat <= 30; ++seat)
        everySeat.append({1001, seat, 1, 2});
    const Case cases[] = {
        {"none", {}, 0, 0},
        {"whole route", {{1001, 1, 1, 2}, {1001, 2, 1, 2}}, 2, 2},
        {"sold again at Mandya", {{1001, 1, 1, 1}, {1002, 1, 2, 2}, {1003, 2, 2, 2}}, 1, 2},
        {"first stretch only", {{1001, 7, 1, 1}, {1002, 8, 1, 1}, {1003, 9, 1, 2}}, 3, 1},
        {"every seat", everySeat, 30, 30},
    };
    for (const Case &c : cases) {
        db().exec({"DELETE FROM seat_matrix", "DELETE FROM customer"});
        for (const Row &r : c.rows) {
            if (db().query(QStringLiteral("SELECT customer_id FROM customer WHERE customer_id = %1").arg(r.cid)).eof())
                book(r.cid, 50, {}, r.first, r.last);
            db().exec(QStringLiteral("INSERT INTO seat_matrix VALUES( 50, %1, %2, %3, %4, 'r' )")
                          .arg(r.seat)
                          .arg(r.first)
                          .arg(r.last)
                          .arg(r.cid));
        }
        const RunManifestOutcome o = runManifest(session(), QStringLiteral("50"));
        ASSERT_FALSE(o.message) << c.name;
        ASSERT_EQ(o.manifest.stretches.size(), 2) << c.name;
        EXPECT_EQ(o.manifest.vehicleSeats, 30) << c.name;
        const StretchSeats &one = o.manifest.stretches[0], &two = o.manifest.stretches[1];
        EXPECT_EQ((QStringList{one.from, one.to, two.from, two.to}),
                  (QStringList{"Mysore", "Mandya", "Mandya", "Bangalore"}))
            << c.name;
        EXPECT_EQ((QList<int>{one.held, one.free, two.held, two.free}),
                  (QList<int>{c.held1, 30 - c.held1, c.held2, 30 - c.held2}))
            << c.name;
    }
}

TEST_P(Tickets, ManifestScreenShowsTheRunTyped)
{
    book(1001, 50, {4}, 1, 2, QStringLiteral("Asha"));
    QWidget *screen = openScreen(QStringLiteral("Manifest"));
    ASSERT_TRUE(screen);
    screen->findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(QStringLiteral("50"));
    screen->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    report::ReportWindow *w = report::ReportWindow::find(QStringLiteral("ManifestReport"));
    ASSERT_TRUE(w) << shown();
    EXPECT_TRUE(w->report().texts().contains(QStringLiteral("Asha")));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Conductor's Manifest"));
    screen->close();
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
    EXPECT_EQ(captions(f.layout.section(QStringLiteral("Section2"))).join(QLatin1Char('|')),
              QStringLiteral("Customer no.|Passenger|Run|From|To|Boarding|Fare (\u20B9)"));
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

    // a counter set to A4 sheets gets the next ticket on one
    const int roll = w->report().page.width;
    reports::setCounterPaper(reports::Paper::A4);
    t->Command1->click();
    reports::setCounterPaper(reports::Paper::Roll);
    EXPECT_EQ(w->report().page.width, report::PageSetup{}.width);
    EXPECT_GT(w->report().page.width, roll);
}

TEST(CounterPaper, NamedByAnyCapitals)
{
    EXPECT_EQ(reports::paperNamed(QStringLiteral("A4")), reports::Paper::A4);
    EXPECT_EQ(reports::paperNamed(QStringLiteral("Roll")), reports::Paper::Roll);
    EXPECT_EQ(reports::paperNamed(QStringLiteral("letter")), std::nullopt);
    EXPECT_EQ(reports::paperNamed(QString()), std::nullopt);
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
    // ids are drawn before they are written, as the booking screen draws them: 1001, 1002
    for (int i = 0; i < 2; ++i)
        session().GetCurrentConnection().query(QStringLiteral("SELECT c_seq.NEXTVAL FROM dual"));
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
