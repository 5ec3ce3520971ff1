#include "BookingFixture.h"
#include "operations/screens/Screens.h"
#include "reports/screens/Screens.h"
#include "reservation/FindBookings.h"
#include "reservation/screens/frmFindBooking.h"

#include <QComboBox>
#include <QListWidget>

using namespace nbk;
using namespace nbk::test;

namespace {

class FindBooking : public BookingTest {
protected:
    void SetUp() override
    {
        BookingTest::SetUp();
        // three passengers of run 70; the pattern characters and the quote are in the names
        for (const char *row : {"501,70,TO_DATE('03-05-2003 23:50:00','DD-MM-YYYY HH24:MI:SS'),'Ravi Kumar',30,'9845012345','M','A','D',460",
                                "502,70,TO_DATE('04-05-2003 06:10:00','DD-MM-YYYY HH24:MI:SS'),'ravi_50%',40,'080 2345','F','B','D',230",
                                "503,70,TO_DATE('03-05-2003 08:00:00','DD-MM-YYYY HH24:MI:SS'),'D''Souza',50,'+91 98450','F','A','C',230"})
            db().exec(QStringLiteral("INSERT INTO customer VALUES (%1)").arg(QLatin1String(row)));
        for (const char *seat : {"1,1,3,501", "2,1,3,501", "3,2,3,502", "4,1,2,503"})
            db().exec(QStringLiteral("INSERT INTO seat_matrix VALUES (70,%1,'r')").arg(QLatin1String(seat)));
    }
    static QList<qint64> ids(const FindBookingsOutcome &o)
    {
        QList<qint64> l;
        for (const FoundBooking &b : o.found)
            l << b.customerId;
        return l;
    }
};

TEST_P(FindBooking, MatchesEachBoxAndTakesTypedTextLiterally)
{
    struct Case {
        BookingSearch search;
        QList<qint64> found;
    };
    const Case cases[] = {
        {{"RAVI", "", "", ""}, {502, 501}},  // any letter case, latest journey first
        {{"%", "", "", ""}, {502}},          // the pattern's own characters match themselves
        {{"_", "", "", ""}, {502}},
        {{"D'Souza", "", "", ""}, {503}},
        {{"' OR '1'='1", "", "", ""}, {}},
        {{"", "98450", "", ""}, {501, 503}},
        {{"", "", "03/05/2003", ""}, {501, 503}},  // the whole day, latest first
        {{"ravi", "", "3/5/2003", ""}, {501}},       // boxes narrow each other
        {{"", "", "", "70"}, {502, 501, 503}},
        {{"", "", "", " 71 "}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.search.name.toStdString() + "|" + c.search.phone.toStdString() + "|" + c.search.date.toStdString());
        const FindBookingsOutcome o = FindBookings(c.search);
        EXPECT_EQ(ids(o), c.found);
        EXPECT_EQ(o.notices.size(), c.found.isEmpty() ? 1u : 0u);
    }
    const FindBookingsOutcome o = FindBookings({"Kumar", "", "", ""});
    ASSERT_EQ(o.found.size(), 1u);
    EXPECT_EQ(o.found[0].seats, 2);
    EXPECT_EQ(foundBookingText(o.found[0]),
              QStringLiteral("501  Ravi Kumar  9845012345  3 May 2003 23:50  Aa to Dd  Run 70  Seats 2  Fare: \u20B9 460"));
}

TEST_P(FindBooking, RefusesWhatCannotBeSearchedAndLeavesAnOpenBookingAlone)
{
    const struct {
        BookingSearch search;
        const char *message;
        Focus focus;
    } refused[] = {
        {{"  ", "", "", ""}, "Type a name, a phone number, a journey date or a run number to search for.", Focus::Name},
        {{"", "", "31/02/2003", ""}, "Type the journey date as DD/MM/YYYY.", Focus::BookingDate},
        {{"", "", "2003-05-03", ""}, "Type the journey date as DD/MM/YYYY.", Focus::BookingDate},
        {{"", "", "", "7a"}, "Type the run number in figures.", Focus::BookingRun},
    };
    for (const auto &r : refused) {
        const FindBookingsOutcome o = FindBookings(r.search);
        EXPECT_TRUE(o.found.empty());
        ASSERT_EQ(o.notices.size(), 1u);
        EXPECT_EQ(o.notices[0].text, QLatin1String(r.message));
        EXPECT_EQ(o.focus, r.focus);
    }
    for (int i = 0; i < kMostFound + 1; ++i)
        db().exec(QStringLiteral("INSERT INTO customer VALUES (%1,70,SYSDATE,'Many',30,'1','M','A','D',0)").arg(600 + i));
    const FindBookingsOutcome many = FindBookings({"many", "", "", ""});
    EXPECT_EQ(many.found.size(), size_t(kMostFound));
    EXPECT_TRUE(many.more);

    request.SeatsRequested = 1;
    search(QStringLiteral("A"), QStringLiteral("B"));
    const BookingOutcome pending = BookSeats(request, 0);
    ASSERT_TRUE(session().IsInTransaction());
    const FindBookingsOutcome busy = FindBookings({"ravi", "", "", ""});
    EXPECT_TRUE(busy.found.empty());
    ASSERT_EQ(busy.notices.size(), 1u);
    EXPECT_EQ(busy.notices[0].text, "A reservation is in progress. Finish or cancel it, then search again.");
    EXPECT_TRUE(session().IsInTransaction());
}

// The window finds by what is typed and hands the chosen id to the cancellation and the ticket.
TEST_P(FindBooking, WindowOpensCancellationAndTicketWithTheChosenId)
{
    operations::registerScreens();
    reports::registerScreens();
    auto *f = qobject_cast<frmFindBooking *>(openScreen(QStringLiteral("frmFindBooking")));
    ASSERT_NE(f, nullptr);
    EXPECT_FALSE(f->cmdCancelBooking->isEnabled());
    f->txtName->setText(QStringLiteral("ravi"));
    f->cmdFind->click();
    ASSERT_EQ(f->lstFound->count(), 2);
    EXPECT_TRUE(f->lstFound->item(1)->text().startsWith(QLatin1String("501  Ravi Kumar")));
    f->lstFound->setCurrentRow(1);
    f->cmdCancelBooking->click();
    QWidget *cancel = findScreen(QStringLiteral("frmCancel"));
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->findChild<QLineEdit *>(QStringLiteral("txtcid"))->text(), "501");
    EXPECT_EQ(cancel->findChild<QComboBox *>(QStringLiteral("cmbseats"))->count(), 2);  // All, 1
    f->cmdTicket->click();
    QWidget *ticket = findScreen(QStringLiteral("Ticket"));
    ASSERT_NE(ticket, nullptr);
    EXPECT_EQ(ticket->findChild<QLineEdit *>(QStringLiteral("Text2"))->text(), "501");
    for (const char *name : {"frmCancel", "Ticket", "frmFindBooking"})
        closeScreen(QLatin1String(name));
    EXPECT_TRUE(MessageScript::texts().isEmpty());
}

NBK_ALL_ENGINES(FindBooking);

}  // namespace
