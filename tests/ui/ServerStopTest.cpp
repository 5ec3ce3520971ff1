// The server stops at once (a crash, a power cut, a failover) while a clerk's booking waits
// for its customer details, and is started again: the clerk is told what was not saved,
// nothing of the booking is left, and the counter books again on the same login. A server
// that stays away past the reconnect's limit ends the session: a login starts anew.
#include "ShellFixture.h"

#include "common/Clock.h"
#include "data/session/Audit.h"
#include "reservation/screens/frmCustomer.h"
#include "support/OwnCluster.h"
#include "app/StartApplication.h"
#include "ui/ScreenRegistry.h"

#include <QComboBox>
#include <QProcess>
#include <QRandomGenerator>

using namespace nbk;
using namespace nbk::test;
using nbk::test::MessageScript;

namespace {

const char *const kLostText =
    "The connection to the database was lost. Work that was not saved has been cancelled. Please log in again. ";

class ServerStop : public ShellTest {
protected:
    bool withDemoData() const override { return true; }

    void SetUp() override
    {
        shared_ = qEnvironmentVariable("NBK_TEST_PG_URI");
        if (GetParam() == EngineKind::Postgres && !shared_.isEmpty()) {
            if (!cluster_.start()) {
                FAIL() << "the test's own PostgreSQL cluster did not start: " << cluster_.error.toStdString();
            }
            qputenv("NBK_TEST_PG_URI", cluster_.uri().toUtf8());
        }
        ShellTest::SetUp();
        setFixedNow(QDateTime(QDate(2030, 10, 20), QTime(8, 0)));
    }
    void TearDown() override
    {
        setFixedNow(QDateTime());
        ShellTest::TearDown();
        if (!shared_.isEmpty())
            qputenv("NBK_TEST_PG_URI", shared_.toUtf8());
    }

    static void settle()
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
        flush();
    }

    // Arsikere to Shimoga at 07:10 tomorrow, booked at once; the customer screen is returned.
    frmCustomer *book()
    {
        QWidget *f = openScreen(QStringLiteral("frmReservation"));
        if (!f)
            return nullptr;
        f->findChild<QLineEdit *>(QStringLiteral("txtDD"))->setText(QStringLiteral("21"));
        f->findChild<QComboBox *>(QStringLiteral("cmbMonth"))->setCurrentIndex(9);
        auto *year = f->findChild<QComboBox *>(QStringLiteral("cmbYear"));
        year->setCurrentIndex(year->findText(QStringLiteral("2030")));
        f->findChild<QLineEdit *>(QStringLiteral("txthh"))->setText(QStringLiteral("10"));
        f->findChild<QLineEdit *>(QStringLiteral("txtmin"))->setText(QStringLiteral("07"));
        f->findChild<QComboBox *>(QStringLiteral("cmbClass"))->setCurrentIndex(2);
        f->findChild<QLineEdit *>(QStringLiteral("txtFrom"))->setText(QStringLiteral("Arsikere"));
        f->findChild<QLineEdit *>(QStringLiteral("txtTo"))->setText(QStringLiteral("Shimoga"));
        f->findChild<QPushButton *>(QStringLiteral("cmdNext"))->click();
        settle();
        auto *c = findScreenAs<frmCustomer>(QStringLiteral("frmCustomer"));
        if (c) {
            c->txtname->setText(QStringLiteral("Stopped Server"));
            c->phone->setText(QStringLiteral("9845012345"));
            c->txtage->setText(QStringLiteral("52"));
        }
        return c;
    }

    // The test cluster does not wait for its log: what a crash must not take is written
    // out first (the owner's session finds an earlier crash at its first statement).
    void writeOut()
    {
        try {
            db().exec(QStringLiteral("CHECKPOINT"));
        } catch (const data::DbException &) {
            db().exec(QStringLiteral("CHECKPOINT"));
        }
    }

    // Read by a session opened now: the fixture's own ones died with the server.
    int count(const QString &sql) { return db().login()->GetCurrentConnection().query(sql).value(0).toInt(); }

    QString shared_;
    OwnCluster cluster_;
};

// The loss meets the commit itself (the server ends the session while it checks the
// commit): no answer comes back, so the clerk is told once that the booking may have been
// saved and is to be looked up, never that nothing of it was kept.
TEST_P(ServerStop, ALossAtTheCommitIsToldAsUnknownNotAsNotSaved)
{
    if (GetParam() != EngineKind::Postgres)
        GTEST_SKIP() << "the embedded file has no server to lose";
    db().exec(QStringLiteral("CREATE FUNCTION nbk_test_lose() RETURNS trigger AS $$ BEGIN "
                             "PERFORM pg_terminate_backend(pg_backend_pid()); RETURN NULL; END $$ "
                             "LANGUAGE plpgsql SECURITY DEFINER"));
    db().exec(QStringLiteral("CREATE CONSTRAINT TRIGGER lose_at_commit AFTER UPDATE ON customer "
                             "DEFERRABLE INITIALLY DEFERRED FOR EACH ROW WHEN (NEW.name = 'Stopped Server') "
                             "EXECUTE FUNCTION nbk_test_lose()"));
    logIn(QStringLiteral("clerk1"), QStringLiteral("nb"));
    settle();
    frmCustomer *customer = book();
    ASSERT_NE(customer, nullptr) << MessageScript::texts().join('|').toStdString();
    const QString task = DbSession->PendingTask();
    MessageScript::clearShown();
    customer->Command1->click();
    settle();
    EXPECT_EQ(MessageScript::texts(), QStringList{QString::fromLatin1(kWorkUncertain).arg(task)});
    EXPECT_FALSE(DbSession->IsInTransaction());
    EXPECT_TRUE(IsConnected);
}

TEST_P(ServerStop, TheClerkIsToldWhatWasNotSavedAndBooksAgainOnceTheServerIsBack)
{
    if (GetParam() != EngineKind::Postgres)
        GTEST_SKIP() << "the embedded file has no server to stop";
    logIn(QStringLiteral("clerk1"), QStringLiteral("nb"));
    settle();
    ASSERT_TRUE(IsConnected);
    frmCustomer *customer = book();
    ASSERT_NE(customer, nullptr) << MessageScript::texts().join('|').toStdString();
    ASSERT_TRUE(DbSession->IsInTransaction());
    const QString task = DbSession->PendingTask();

    writeOut();
    ASSERT_TRUE(cluster_.crash()) << cluster_.error.toStdString();
    MessageScript::clearShown();
    customer->Command1->click();
    settle();
    // the update failed and says so; then, once, what the loss took
    const QStringList told = MessageScript::texts();
    ASSERT_EQ(told.size(), 2) << told.join('|').toStdString();
    EXPECT_TRUE(told.at(0).contains(QLatin1String("Reservation Cancelled"))) << told.join('|').toStdString();
    EXPECT_EQ(told.at(1), QString::fromLatin1(kWorkLost).arg(task.left(1).toUpper() + task.mid(1)));
    EXPECT_FALSE(DbSession->IsInTransaction());
    // the login and the request stay: the clerk books again as soon as the server is back
    EXPECT_TRUE(IsConnected);
    EXPECT_NE(findScreen(QStringLiteral("frmReservation")), nullptr);

    ASSERT_TRUE(cluster_.restart()) << cluster_.error.toStdString();
    closeScreen(QStringLiteral("frmCustomer"));
    customer = book();
    ASSERT_NE(customer, nullptr) << MessageScript::texts().join('|').toStdString();
    MessageScript::clearShown();
    customer->Command1->click();
    settle();
    EXPECT_EQ(MessageScript::headlines(), QStringList{QStringLiteral("Update complete.")});
    // nothing of the first booking survived the crash
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM customer")), 1);

    // a server that does not come back within the reconnect's limit ends the session
    DbSession->setReconnectLimit(1);
    writeOut();
    ASSERT_TRUE(cluster_.crash()) << cluster_.error.toStdString();
    MessageScript::clearShown();
    EXPECT_NE(DbSession->exec(QStringLiteral("SELECT 1 FROM DUAL")), data::kExecOk);  // finds the loss
    EXPECT_NE(DbSession->exec(QStringLiteral("SELECT 1 FROM DUAL")), data::kExecOk);  // seeks, gives up
    settle();
    EXPECT_EQ(MessageScript::texts(), QStringList{QString::fromLatin1(kLostText)});
    EXPECT_FALSE(IsConnected);
    EXPECT_EQ(findScreen(QStringLiteral("frmReservation")), nullptr);
    ASSERT_NE(login(), nullptr) << "the login dialog is the way back";

    // a login while the server is still down fails without a hang and keeps the dialog
    // (the next driver is tried on the next press)
    logIn(QStringLiteral("clerk1"), QStringLiteral("nb"));
    settle();
    EXPECT_FALSE(IsConnected);
    EXPECT_EQ(DbSession->FailedLogins(), 0) << "a stopped server is no wrong password";

    ASSERT_TRUE(cluster_.restart()) << cluster_.error.toStdString();
    if (!login())
        menu("mnuConnectConnect")->trigger();
    ASSERT_NE(login(), nullptr);
    MessageScript::clearShown();
    logIn(QStringLiteral("clerk1"), QStringLiteral("nb"));
    settle();
    ASSERT_TRUE(IsConnected) << MessageScript::texts().join('|').toStdString();
    customer = book();
    ASSERT_NE(customer, nullptr) << MessageScript::texts().join('|').toStdString();
    MessageScript::clearShown();
    customer->Command1->click();
    settle();
    EXPECT_EQ(MessageScript::headlines(), QStringList{QStringLiteral("Update complete.")});
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM customer WHERE name = 'Stopped Server'")), 2);
    const data::AuditFigures a = data::auditDatabase(DbSession->GetCurrentConnection());
    EXPECT_TRUE(a.clean()) << a.summary().toStdString();
}

NBK_ALL_ENGINES(ServerStop);

}  // namespace
