// The day statement against bookings and cancellations two clerks make through the
// client's own procedures: each clerk's totals, the supervisor's view of either, the
// database's own refusal of another clerk's rows, the screen and nbk-admin's PDF.
#include "reservation/BookingFixture.h"

#include "operations/CancelReservation.h"
#include "reports/screens/DayStatement.h"
#include "reports/DayStatementQueries.h"
#include "reports/screens/Screens.h"
#include "reports/screens/ReportWindow.h"
#include "reservation/SaveCustomer.h"
#include "support/AdminRunner.h"

#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>

using namespace nbk;
using namespace nbk::test;
using namespace nbk::reports;

namespace {

enum Kind { Book, Abandon, CancelAll, CancelSome };
struct Action {
    const char *login;
    Kind kind;
    const char *from, *to;  // a booking's stretch of route A-B-C-D
    int seats;              // booked, or cancelled
    int booking;            // the cancelled booking: its row in this table
};
// Fares a seat on run 70: A-C 125, A-B 62, B-C 83.
const Action kActions[] = {
    {"clerk1", Book, "A", "C", 2, 0},       // 250
    {"clerk1", Abandon, "C", "D", 1, 0},    // rolled back: left no audit row, shows nothing
    {"clerk2", Book, "A", "B", 3, 0},       // 186
    {"clerk1", Book, "B", "C", 1, 0},       // 83
    {"clerk2", CancelSome, "", "", 1, 0},   // one seat of clerk1's first booking: 125 back, on clerk2's statement
    {"clerk1", CancelAll, "", "", 0, 3},    // 83 back
};
struct Expected {
    const char *login;
    QStringList lines;  // action, booking row, seats, taken, refunded
    double taken, refunded;
};
const Expected kExpected[] = {
    {"clerk1", {"Booking #0 2 250 0", "Booking #3 1 83 0", "Cancellation #3 1 0 83"}, 333, 83},
    {"clerk2", {"Booking #2 3 186 0", "Partial cancellation #0 1 0 125"}, 186, 125},
};

class DayStatements : public BookingTest {
protected:
    void SetUp() override
    {
        BookingTest::SetUp();
        if (IsSkipped())
            return;
        reports::registerScreens();
        for (const char *login : {"clerk1", "clerk2"})
            clerks_[QString::fromLatin1(login)] = db().login(QString::fromLatin1(login));
        for (const Action &a : kActions)
            act(a);
        DbSession = &session();
        day_ = statementRights(session()).rights.today;
        if (db().scalar("SELECT count(DISTINCT TO_CHAR(changed_at,'YYYY-MM-DD')) FROM nbk_audit").toInt() != 1)
            GTEST_SKIP() << "midnight passed while the bookings were made";
    }
    void TearDown() override
    {
        for (const char *w : {"DayStatement", "DayStatementReport"})
            closeScreen(QString::fromLatin1(w));
        DbSession = &session();
        clerks_.clear();  // their connections end before the database goes
        BookingTest::TearDown();
    }

    void act(const Action &a)
    {
        DbSession = clerks_.at(QString::fromLatin1(a.login)).get();
        if (a.kind == CancelAll || a.kind == CancelSome) {
            const CancelOutcome o = CancelReservation(QString::number(customers_.value(a.booking)), qint16(a.seats),
                                                      [](const Notice &) { return true; });
            ASSERT_GT(o.cancelled, 0) << a.login;
            return;
        }
        search(QString::fromLatin1(a.from), QString::fromLatin1(a.to));
        request.SeatsRequested = qint16(a.seats);
        BookingOutcome b = BookSeats(request, 0);
        ASSERT_TRUE(b.booking) << a.login;
        customers_.insert(int(&a - kActions), b.booking->request.CustomerId);
        // an abandoned booking's transaction ends with it, rolled back
        if (a.kind == Book) {
            ASSERT_TRUE(SaveCustomerDetails(b.booking.get(), "Ravi", "9845012345", "30", "M").saved);
        }
    }

    // The statement's lines, the customers named by their booking's row in the table.
    QStringList lines(const DayStatementData &d) const
    {
        QStringList out;
        for (const StatementLine &l : d.lines)
            out << QStringLiteral("%1 #%2 %3 %4 %5")
                       .arg(l.action)
                       .arg(customers_.key(qint32(l.customerId), -1))
                       .arg(l.seats.size())
                       .arg(l.taken)
                       .arg(l.refunded);
        return out;
    }
    void expectStatement(data::Class1 &s, const Expected &e, const QString &asked)
    {
        SCOPED_TRACE(e.login);
        const DayStatementOutcome o = dayStatement(s, day_, asked);
        ASSERT_FALSE(o.message) << o.message->text.toStdString();
        EXPECT_EQ(o.statement.login.toLower(), QString::fromLatin1(e.login));
        EXPECT_EQ(lines(o.statement), e.lines);
        EXPECT_EQ(o.statement.taken, e.taken);
        EXPECT_EQ(o.statement.refunded, e.refunded);
    }

    std::map<QString, std::unique_ptr<data::Class1>> clerks_;
    QMap<int, qint32> customers_;
    QDate day_;
};

TEST_P(DayStatements, EachClerkSeesOwnTotalsTheSupervisorEitherAndTheyAddUpToTheFares)
{
    double net = 0;
    for (const Expected &e : kExpected) {
        data::Class1 &clerk = *clerks_.at(QString::fromLatin1(e.login));
        expectStatement(clerk, e, QString());
        expectStatement(session(), e, QString::fromLatin1(e.login).toUpper());
        net += e.taken - e.refunded;
        // another clerk's statement: refused by the client, and empty from the database's
        // own condition when asked past the client
        const QString other = e.login == QLatin1String("clerk1") ? QStringLiteral("clerk2") : QStringLiteral("clerk1");
        const DayStatementOutcome refused = dayStatement(clerk, day_, other);
        ASSERT_TRUE(refused.message);
        EXPECT_EQ(refused.message->text, QStringLiteral("Only the supervisor may see the day statement of another login "));
        EXPECT_TRUE(readDayStatement(clerk.GetCurrentConnection(), day_, other).lines.empty());
        EXPECT_EQ(statementLogins(clerk, day_).join(',').toLower(), QString::fromLatin1(e.login));
    }
    // what the statements net is what the customers' committed fares hold
    EXPECT_EQ(db().scalar("SELECT sum(fare) FROM customer").toDouble(), net);
    EXPECT_TRUE(dayStatement(session(), day_.addDays(-1), QStringLiteral("clerk1")).statement.lines.empty());
}

TEST_P(DayStatements, ScreenAndAdminCommandShowTheClerksOwnAndRefuseAnother)
{
    DbSession = clerks_.at(QStringLiteral("clerk1")).get();
    auto *screen = qobject_cast<DayStatement *>(openScreen(QStringLiteral("DayStatement")));
    ASSERT_TRUE(screen);
    EXPECT_FALSE(screen->cmbLogin->isEnabled());
    EXPECT_EQ(screen->cmbLogin->currentText().toLower(), QStringLiteral("clerk1"));
    screen->Command1->click();
    const report::ReportWindow *w = report::ReportWindow::find(QStringLiteral("DayStatementReport"));
    ASSERT_TRUE(w);
    for (const char *shown : {"Total taken", "333", "Total refunded", "83", "Net", "250"})
        EXPECT_TRUE(w->report().texts().contains(QString::fromLatin1(shown))) << shown;
    closeScreen(QStringLiteral("DayStatement"));
    DbSession = &session();
    screen = qobject_cast<DayStatement *>(openScreen(QStringLiteral("DayStatement")));
    ASSERT_TRUE(screen);
    EXPECT_TRUE(screen->cmbLogin->isEnabled());
    EXPECT_GE(screen->cmbLogin->findText(QStringLiteral("clerk2"), Qt::MatchFixedString), 0);

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("day.pdf"));
    const QString database = db().kind() == EngineKind::Embedded ? db().embeddedPath() : db().server();
    const auto report = [&](const char *user, QStringList what) {
        return admin(QStringList{"report", "--database", database, "--user", user, "--password", "nb", "--pdf", pdf,
                                 "day-statement", day_.toString(Qt::ISODate)}
                     + what);
    };
    const AdminRun own = report("clerk2", {});
    ASSERT_EQ(own.code, 0) << own.err.toStdString();
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    text.waitForFinished(60000);
    const QString t = QString::fromUtf8(text.readAllStandardOutput());
    for (const char *shown : {"Day Statement", "clerk2", "Partial", "Total taken 186", "Total refunded 125", "Net 61"})
        EXPECT_TRUE(QString(t).simplified().contains(QString::fromLatin1(shown))) << shown << "\n" << t.toStdString();
    EXPECT_EQ(report("chief", {"clerk2"}).code, 0);
    const AdminRun refused = report("clerk1", {"clerk2"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(refused.err.contains("Only the supervisor may see the day statement of another login"))
        << refused.err.toStdString();
}

NBK_ALL_ENGINES(DayStatements);

}  // namespace
