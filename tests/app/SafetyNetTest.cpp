#include "app/Application.h"
#include "data/session/Transaction.h"
#include "reservation/BookSeats.h"
#include "support/TestDatabase.h"
#include "support/MessageScript.h"
#include "ui/MsgBox.h"

#include <QKeyEvent>
#include <QPushButton>
#include <stdexcept>
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

using namespace nbk;
using namespace nbk::test;

namespace {

// An object whose handler fails the way a screen's can.
class Failing : public QObject {
public:
    std::function<void()> fail;
    bool event(QEvent *e) override
    {
        if (e->type() == QEvent::User)
            fail();
        return QObject::event(e);
    }
};

class SafetyNet : public DbTest {
protected:
    int rows(int id)
    {
        return db().scalar(QStringLiteral("SELECT count(*) FROM test1 WHERE c_id = %1").arg(id)).toInt();
    }
    // Delivers an event the way the client's application object does.
    static bool deliver(QObject *receiver, QEvent *event)
    {
        return app::runGuarded([&] { return QCoreApplication::instance()->notify(receiver, event); });
    }
};
NBK_ALL_ENGINES(SafetyNet);

TEST_P(SafetyNet, DatabaseErrorEscapingAHandlerRollsBackAndIsShown)
{
    Failing f;
    f.fail = [] {
        data::Transaction tx(*DbSession, QStringLiteral("the failing handler's change"));
        ASSERT_EQ(DbSession->exec(QStringLiteral("INSERT INTO test1 VALUES (7, 'half done')")), -13);
        DbSession->GetCurrentConnection().execute(QStringLiteral("INSERT INTO no_such_table VALUES (1)"));
    };
    QEvent e(QEvent::User);
    EXPECT_FALSE(deliver(&f, &e));

    EXPECT_FALSE(session().IsInTransaction());
    EXPECT_TRUE(session().GetConnectStatus());
    EXPECT_EQ(rows(7), 0);
    ASSERT_EQ(test::MessageScript::shown().size(), 1u);
    const test::ShownMessage &m = test::MessageScript::shown().front();
    EXPECT_EQ(m.title, "Error");
    EXPECT_EQ(m.icon(), mb::Critical);
    EXPECT_TRUE(m.text.contains("no_such_table", Qt::CaseInsensitive)) << m.text.toStdString();

    // the session goes on working
    ASSERT_EQ(session().exec(QStringLiteral("INSERT INTO test1 VALUES (8, 'later')")), -13);
    EXPECT_EQ(rows(8), 1);
}

// A report screen's handler fails while a booking waits at its customer screen: the
// booking is another task's, so it stays pending and can still be completed.
TEST_P(SafetyNet, AFailingReportHandlerLeavesAWaitingBookingPending)
{
    data::Transaction booking(session(), reservation::bookingTask(4711));
    ASSERT_EQ(session().exec(QStringLiteral("INSERT INTO test1 VALUES (9, 'booked')")), -13);
    Failing report;
    report.fail = [] { DbSession->GetCurrentConnection().query(QStringLiteral("SELECT * FROM no_such_report")); };
    QEvent e(QEvent::User);
    EXPECT_FALSE(deliver(&report, &e));

    EXPECT_EQ(test::MessageScript::shown().size(), 1u);
    ASSERT_TRUE(booking.isOpen());
    EXPECT_EQ(session().PendingTask(), reservation::bookingTask(4711));
    booking.commit();
    EXPECT_EQ(rows(9), 1);
}

TEST_P(SafetyNet, OtherExceptionsFromAClickedButtonAreShown)
{
#if defined(__SANITIZE_ADDRESS__)
    // the exception unwinds through Qt's button frames, built without cleanups: what they
    // held (a theme hint, the button's accessibility entry) is never freed
    __lsan::ScopedDisabler qtFramesKeepWhatTheyHeld;
#endif
    QPushButton b(QStringLiteral("Go"));
    QObject::connect(&b, &QPushButton::clicked, [] { throw std::out_of_range("row 201 is past the table"); });
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    deliver(&b, &press);
    EXPECT_FALSE(deliver(&b, &release));
    EXPECT_EQ(test::MessageScript::texts(), QStringList{"row 201 is past the table"});
    EXPECT_EQ(test::MessageScript::shown().front().title, "Error");
    EXPECT_FALSE(session().IsInTransaction());
}

}  // namespace
