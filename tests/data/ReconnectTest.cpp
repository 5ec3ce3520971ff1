// The server goes away under an open session (a crash, as a failover does to the old
// primary) and comes back: what the session does at its next statement.
#include "data/session/Transaction.h"
#include "support/OwnCluster.h"
#include "support/TestDatabase.h"

#include <QElapsedTimer>
#include <thread>

using namespace nbk;
using namespace nbk::test;

namespace {

class Reconnect : public DbTest {
protected:
    // one cluster for the suite: the test databases' template is made once per program
    static void SetUpTestSuite()
    {
        shared_ = qEnvironmentVariable("NBK_TEST_PG_URI");
        if (shared_.isEmpty())
            return;
        cluster_ = new OwnCluster;
        // crashing the shared server would fail every other test
        if (cluster_->start())
            qputenv("NBK_TEST_PG_URI", cluster_->uri().toUtf8());
    }
    static void TearDownTestSuite()
    {
        delete cluster_;
        cluster_ = nullptr;
        if (!shared_.isEmpty())
            qputenv("NBK_TEST_PG_URI", shared_.toUtf8());
    }
    void SetUp() override
    {
        if (GetParam() != EngineKind::Postgres || shared_.isEmpty())
            GTEST_SKIP() << "the embedded file has no server to lose";
        ASSERT_TRUE(cluster_ && !cluster_->uri().isEmpty()) << "the test's own cluster did not start";
        DbTest::SetUp();
        seedRouteABCD();
        clerk_ = db().login(QStringLiteral("clerk1"));
        clerk_->onConnectionLost = [this](const data::DbError &) { ++told_; };
        clerk_->onSeekingServer = [this](int seconds, bool done) { seeking_ << (done ? -seconds : seconds); };
    }
    void TearDown() override
    {
        clerk_.reset();
        DbTest::TearDown();
    }

    // Read by a session opened now: the fixture's own ones died with the server.
    int count(const QString &sql) { return db().login()->GetCurrentConnection().query(sql).value(0).toInt(); }
    int customers() { return count(QStringLiteral("SELECT count(*) FROM customer")); }
    // The test cluster commits without waiting for its log: what a crash must not take
    // is written out first.
    void flush() { db().exec(QStringLiteral("CHECKPOINT")); }
    void crashAndRestart()
    {
        flush();
        ASSERT_TRUE(cluster_->crash()) << cluster_->error.toStdString();
        ASSERT_TRUE(cluster_->restart()) << cluster_->error.toStdString();
    }
    static QString tempCustomer(int id)
    {
        return QStringLiteral("Insert INTO Customer values ( %1,-1,SYSDATE,'**TEMP**',-1,-1,'x','Unkn','Unkn',0)").arg(id);
    }

    static inline QString shared_;
    static inline OwnCluster *cluster_ = nullptr;
    std::unique_ptr<data::Class1> clerk_;
    int told_ = 0;
    QList<int> seeking_;
};

TEST_P(Reconnect, WithNothingPendingTheNextStatementConnectsAgainSilently)
{
    ASSERT_EQ(clerk_->exec(tempCustomer(1)), data::kExecOk);
    crashAndRestart();
    // the statement that finds the loss fails (it may or may not have run: never resent)
    EXPECT_EQ(clerk_->exec(tempCustomer(2)), 3113);
    EXPECT_EQ(told_, 1);
    EXPECT_TRUE(clerk_->LostTask().isEmpty());
    // the next one connects through the login's own connection string and runs
    EXPECT_EQ(clerk_->exec(tempCustomer(3)), data::kExecOk) << clerk_->LastExecError().toStdString();
    EXPECT_TRUE(clerk_->GetConnectStatus());
    EXPECT_EQ(clerk_->GetCurrentConnection().query("SELECT user FROM DUAL").value(0).toString().toLower(), "clerk1");
    EXPECT_EQ(told_, 1);
    EXPECT_TRUE(seeking_.isEmpty()) << "a server that is there at once is not announced";
    EXPECT_EQ(count("SELECT count(*) FROM customer WHERE customer_id IN (1, 3)"), 2);
    EXPECT_EQ(count("SELECT count(*) FROM customer WHERE customer_id = 2"), 0);
}

TEST_P(Reconnect, ALostTransactionIsNamedAndNothingRunsUntilTheClerkIsTold)
{
    data::Transaction tx(*clerk_, QStringLiteral("the reservation of customer 7"));
    ASSERT_EQ(clerk_->exec(tempCustomer(7)), data::kExecOk);
    ASSERT_EQ(clerk_->exec(" INSERT INTO seat_matrix VALUES( 70 , 1 ,1 , 2 , 7, 'r' )"), data::kExecOk);
    crashAndRestart();
    // the commit that meets the loss is a failure, never a success
    EXPECT_THROW(tx.commit(), data::DbException);
    EXPECT_FALSE(tx.isOpen());
    EXPECT_FALSE(clerk_->IsInTransaction());
    EXPECT_EQ(told_, 1);
    EXPECT_EQ(clerk_->LostTask(), "the reservation of customer 7");
    // the rest of the failed task must not run outside its transaction on a new connection
    EXPECT_EQ(clerk_->exec("UPDATE bus_instance SET free_seats = 39 WHERE instance_id = 70"), 3709);
    EXPECT_EQ(count("SELECT free_seats FROM bus_instance WHERE instance_id = 70"), 40);
    EXPECT_EQ(customers(), 0);

    clerk_->ResumeAfterLoss();
    EXPECT_TRUE(clerk_->LostTask().isEmpty());
    data::Transaction again(*clerk_, QStringLiteral("the reservation of customer 8"));
    ASSERT_TRUE(again.isOpen()) << again.refusal().toStdString();
    ASSERT_EQ(clerk_->exec(tempCustomer(8)), data::kExecOk);
    again.commit();
    // nothing of the lost booking came back with the new connection
    EXPECT_EQ(count("SELECT count(*) FROM customer WHERE customer_id = 8"), 1);
    EXPECT_EQ(count("SELECT count(*) FROM seat_matrix"), 0);
    EXPECT_EQ(customers(), 1);
}

TEST_P(Reconnect, AServerThatTakesAWhileIsSoughtAndAnnouncedAndOneNeverFoundEndsTheSession)
{
    ASSERT_TRUE(cluster_->crash()) << cluster_->error.toStdString();
    EXPECT_EQ(clerk_->exec(tempCustomer(1)), 3113);
    // back after a few seconds, as a promoted standby would be
    bool restarted = false;
    std::thread later([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(3500));
        restarted = cluster_->restart();
    });
    const int ran = clerk_->exec(tempCustomer(2));
    later.join();
    ASSERT_TRUE(restarted) << cluster_->error.toStdString();
    EXPECT_EQ(ran, data::kExecOk) << clerk_->LastExecError().toStdString();
    // told after two seconds, once a second, then once that the search is over
    ASSERT_GE(seeking_.size(), 2);
    EXPECT_EQ(seeking_.first(), data::Connection::kSeekingNoticeAfter);
    EXPECT_LE(seeking_.last(), -3);
    EXPECT_EQ(told_, 1);

    // a server that stays away past the limit: the session ends, a login is the way back
    clerk_->setReconnectLimit(1);
    ASSERT_TRUE(cluster_->crash()) << cluster_->error.toStdString();
    EXPECT_EQ(clerk_->exec(tempCustomer(3)), 3113);
    EXPECT_EQ(clerk_->exec(tempCustomer(3)), 3113);
    EXPECT_TRUE(clerk_->ReconnectGaveUp());
    EXPECT_EQ(told_, 3);
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(clerk_->exec(tempCustomer(3)), 3709);
    EXPECT_LT(t.elapsed(), 1000) << "a session that gave up does not seek again at every click";
    ASSERT_TRUE(cluster_->restart()) << cluster_->error.toStdString();
    EXPECT_EQ(clerk_->exec(tempCustomer(3)), 3709);
    ASSERT_EQ(clerk_->ConnectToDataBase("clerk1", "nb", db().server()), 2);
    EXPECT_EQ(clerk_->exec(tempCustomer(4)), data::kExecOk);
    EXPECT_EQ(count("SELECT count(*) FROM customer WHERE customer_id = 4"), 1);
}

NBK_ALL_ENGINES(Reconnect);

}  // namespace
