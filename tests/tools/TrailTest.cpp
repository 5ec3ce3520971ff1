// The trail as the corporation keeps it, on both engines: its time is the database's own,
// its days are the corporation's, the passengers of finished bookings are forgotten after
// the retention period, and no login draws the ids up.
#include "data/session/Audit.h"
#include "data/dialect/DbError.h"
#include "data/engines/PostgresEngine.h"
#include "data/session/Transaction.h"
#include "reports/DayStatementQueries.h"
#include "support/AdminRunner.h"
#include "support/TestDatabase.h"

using namespace nbk;
using namespace nbk::test;

namespace {

class Trail : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        seedRouteABCD();
        clerk_ = db().login(QStringLiteral("clerk1"));
    }

    // A booking of seats 1.. on stretch 1 to 2 of run 70, as the client sends it.
    void book(data::Class1 &s, qint64 cid, int seats, const QString &name = QStringLiteral("Ravi"),
              const QString &phone = QStringLiteral("9845012345"))
    {
        data::Transaction tx(s, QStringLiteral("the test's booking"));
        QStringList sql = {QStringLiteral("Insert INTO Customer values ( %1,-1,SYSDATE,'**TEMP**',-1,-1,'x','Unkn',"
                                          "'Unkn',0)")
                               .arg(cid)};
        for (int seat = 1; seat <= seats; ++seat)
            sql << QStringLiteral("INSERT INTO seat_matrix VALUES( 70 , %1 , 1 , 2 , %2, 'r' )")
                       .arg(seat + int(cid % 10) * 3)
                       .arg(cid);
        sql << QStringLiteral("UPDATE BUS_INSTANCE set free_seats=free_seats-%1 Where instance_id=70").arg(seats)
            << QStringLiteral("UPDATE Customer set Instance_ID =70, Name = '%1' , age=30, phone='%4', "
                              "gender='M', origin='A' , destin='C', fare=%2, Journey_date=TO_DATE('05-03-2003 "
                              "23:50:00','DD-MM-YYYY HH24:MI:SS') where customer_ID = %3")
                   .arg(name, QString::number(fare() * seats), QString::number(cid), phone);
        for (const QString &q : sql)
            ASSERT_EQ(s.exec(q), data::kExecOk) << q.toStdString() << ": " << s.LastExecError().toStdString();
        tx.commit();
    }

    // The fare of one seat from A to C on run 70 (class 2, fuel index 1, 100 km).
    int fare()
    {
        data::ResultSet f = db().query("SELECT f.multiplier, ct.multiplier, ct.base FROM fuel_index f, class_type ct "
                                       "WHERE f.fpi = 1 AND ct.class = 2");
        return data::seatFare(100, f.value(0).toDouble(), f.value(1).toDouble(), f.value(2).toDouble());
    }

    // A whole cancellation, as the client sends it.
    void cancel(data::Class1 &s, qint64 cid, int seats)
    {
        data::Transaction tx(s, QStringLiteral("the test's cancellation"));
        for (const QString &q : {QStringLiteral("DELETE FROM SEAT_MATRIX WHERE customer_id = %1").arg(cid),
                                 QStringLiteral("UPDATE Bus_instance SET free_seats = free_seats + %1 WHERE instance_id = 70").arg(seats),
                                 QStringLiteral("DELETE FROM CUSTOMER WHERE customer_id = %1").arg(cid)})
            ASSERT_EQ(s.exec(q), data::kExecOk) << q.toStdString() << ": " << s.LastExecError().toStdString();
        tx.commit();
    }

    // 0 when the session drew an id, else the database's error number.
    static int draw(data::Class1 &s)
    {
        try {
            s.GetCurrentConnection().query(QStringLiteral("SELECT c_seq.NEXTVAL FROM dual"));
            return 0;
        } catch (const data::DbException &e) {
            return e.nativeError();
        }
    }

    // The last trail row's time as the corporation's wall clock.
    QDateTime lastTrailTime()
    {
        return reports::trailTime(db().scalar("SELECT nbk_trail_local(changed_at) FROM nbk_audit "
                                              "WHERE audit_id = (SELECT max(audit_id) FROM nbk_audit)"));
    }

    std::unique_ptr<data::Class1> clerk_;
};

// A clerk's own zone moves neither the trail's time nor the day a booking counts on.
TEST_P(Trail, TheTrailsTimeIsTheDatabasesClockWhateverZoneTheClerkSets)
{
    if (GetParam() == EngineKind::Postgres) {
        ASSERT_EQ(clerk_->exec(QStringLiteral("SET timezone = 'Etc/GMT-14'")), data::kExecOk)
            << clerk_->LastExecError().toStdString();
    }
    book(*clerk_, 501, 2);
    const QDateTime now = reports::trailTime(db().scalar("SELECT nbk_trail_now() FROM dual"));
    const qint64 off = std::abs(lastTrailTime().secsTo(now));
    EXPECT_LT(off, 300) << "the trail's time is " << off << " s off the database's clock";

    // the settings are the supervisor's: a clerk's change is refused and changes nothing
    EXPECT_NE(clerk_->exec(QStringLiteral("UPDATE nbk_settings SET zone = 'Etc/GMT-14'")), data::kExecOk);
    EXPECT_NE(clerk_->exec(QStringLiteral("DELETE FROM nbk_settings")), data::kExecOk);
    EXPECT_EQ(db().scalar("SELECT zone FROM nbk_settings").toString(), QStringLiteral("Asia/Kolkata"));
    auto chief = db().login();
    EXPECT_EQ(chief->exec(QStringLiteral("UPDATE nbk_settings SET retention_days = 30")), data::kExecOk)
        << chief->LastExecError().toStdString();
}

TEST_P(Trail, ABookingCountsOnTheDayOfTheCorporationsZone)
{
    book(*clerk_, 501, 2);
    auto chief = db().login();
    struct Case {
        const char *zone;
        int minutesAheadOfUtc;
    };
    const Case cases[] = {{"UTC", 0}, {"Etc/GMT-14", 14 * 60}, {"Etc/GMT+12", -12 * 60}, {"Asia/Kolkata", 330}};
    QDateTime utc;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.zone);
        db().exec(QStringLiteral("UPDATE nbk_settings SET zone = '%1'").arg(QLatin1String(c.zone)));
        const QDateTime at = lastTrailTime();
        ASSERT_TRUE(at.isValid());
        if (!utc.isValid())
            utc = at;
        EXPECT_EQ(utc.secsTo(at), c.minutesAheadOfUtc * 60);
        // the statement of that day holds the booking, the days around it do not
        for (int d = -1; d <= 1; ++d) {
            const reports::DayStatementOutcome o = reports::dayStatement(*chief, at.date().addDays(d), QStringLiteral("clerk1"));
            ASSERT_FALSE(o.message) << o.message->text.toStdString();
            EXPECT_EQ(o.statement.taken, d == 0 ? 2 * fare() : 0) << d;
        }
    }
}

// Travelled and cancelled bookings lose their passenger's name and phone after the
// retention period, in their rows and in the trail; what the accounts need stays.
TEST_P(Trail, EraseForgetsThePassengersOfFinishedBookingsOnlyAndOnlyOnce)
{
    const bool embedded = GetParam() == EngineKind::Embedded;
    book(*clerk_, 501, 2, QStringLiteral("Asha"), QStringLiteral("911111"));  // travelled in 2003
    book(*clerk_, 502, 1, QStringLiteral("Bala"), QStringLiteral("922222"));
    cancel(*clerk_, 502, 1);  // cancelled long ago (below)
    book(*clerk_, 503, 1, QStringLiteral("Chitra"), QStringLiteral("933333"));
    cancel(*clerk_, 503, 1);  // cancelled just now
    db().exec(embedded ? QStringLiteral("UPDATE nbk_audit SET changed_at = changed_at - 400 WHERE customer_id = 502")
                       : QStringLiteral("UPDATE nbk_audit SET changed_at = changed_at - interval '400 days' "
                                        "WHERE customer_id = 502"));
    // a journey still to come, laid out by the owner
    db().exec("INSERT INTO customer VALUES (601, 70, SYSDATE + 10, 'Devi', 30, '944444', 'F', 'A', 'C', 0)");
    const QString database = embedded ? db().embeddedPath()
                                      : data::PostgresUri::parse(TestDatabase::adminUri()).withDatabase(db().databaseName());
    const auto inTrail = [&](const char *text) {
        return db().scalar(QStringLiteral("SELECT count(*) FROM nbk_audit WHERE old_values LIKE '%%1%' "
                                          "OR new_values LIKE '%%1%'").arg(QLatin1String(text))).toInt();
    };
    const QString fares = db().scalar("SELECT sum(fare) || '/' || count(*) FROM customer").toString();
    const int trailRows = db().scalar("SELECT count(*) FROM nbk_audit").toInt();

    const AdminRun first = admin({QStringLiteral("erase"), database});
    ASSERT_EQ(first.code, 0) << first.err.toStdString();
    struct Case {
        const char *name, *phone;
        bool erased;
    };
    const Case cases[] = {{"Asha", "911111", true}, {"Bala", "922222", true}, {"Chitra", "933333", false}, {"Devi", "944444", false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(inTrail(c.name) == 0, c.erased);
        EXPECT_EQ(inTrail(c.phone) == 0, c.erased);
    }
    EXPECT_EQ(db().scalar("SELECT count(*) FROM customer WHERE customer_id = 501 AND name IS NULL AND phone IS NULL").toInt(), 1);
    EXPECT_EQ(db().scalar("SELECT name FROM customer WHERE customer_id = 601").toString(), QStringLiteral("Devi"));
    // the accounts keep every booking, fare and trail row; the run itself is in the trail
    EXPECT_EQ(db().scalar("SELECT sum(fare) || '/' || count(*) FROM customer").toString(), fares);
    EXPECT_EQ(db().scalar("SELECT count(*) FROM nbk_audit").toInt(), trailRows + 2);  // 501's change, the run's row
    EXPECT_EQ(db().scalar("SELECT count(*) FROM nbk_audit WHERE action = 'ERASE'").toInt(), 1);
    EXPECT_EQ(db().scalar("SELECT count(*) FROM seat_matrix WHERE customer_id = 501").toInt(), 2);

    const AdminRun again = admin({QStringLiteral("erase"), database});
    EXPECT_EQ(again.code, 0) << again.err.toStdString();
    EXPECT_TRUE(again.out.contains(QLatin1String("of 0 bookings and of 0 rows"))) << again.out.toStdString();
    EXPECT_EQ(db().scalar("SELECT count(*) FROM nbk_audit").toInt(), trailRows + 2);
}

// A login drawing ids in a loop is stopped at the corporation's bound, rolled back or
// not, while the other logins go on drawing.
TEST_P(Trail, ALoopOfDrawsStopsAtTheBoundForThatLoginOnly)
{
    db().exec("UPDATE nbk_settings SET draws_per_hour = 5");
    auto clerk2 = db().login(QStringLiteral("clerk2"));
    const qint64 hour = QDateTime::currentSecsSinceEpoch() / 3600;
    QList<int> first;
    for (int i = 0; i < 8; ++i)
        first << draw(*clerk_);
    {
        // draws rolled back still count: their ids are gone all the same on the server
        data::Transaction tx(*clerk2, QStringLiteral("the test's draws"));
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(draw(*clerk2), 0);
    }
    const QList<int> second = {draw(*clerk2), draw(*clerk2)};
    const QList<int> third = {draw(*db().login())};  // the supervisor, a login of its own
    if (QDateTime::currentSecsSinceEpoch() / 3600 != hour)
        GTEST_SKIP() << "the hour turned while drawing";
    EXPECT_EQ(first, QList<int>({0, 0, 0, 0, 0, 20011, 20011, 20011}));
    EXPECT_EQ(second, QList<int>({0, 20011}));
    EXPECT_EQ(third, QList<int>({0}));
}

// A login a DBA made by hand in the clerks' group (not by useradd) books: its count of
// draws is made at its first draw, by the owner's function, and bounds it as any other.
TEST_P(Trail, ALoginMadeByHandDrawsBooksAndMeetsTheBound)
{
    if (GetParam() != EngineKind::Postgres)
        GTEST_SKIP() << "the file's logins are its own accounts, each counted in nbk_draws";
    const QString login = QStringLiteral("nbk_hand_") + db().databaseName().section(QLatin1Char('_'), 2);
    db().exec(QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD 'nb'").arg(login));
    db().exec(QStringLiteral("GRANT \"%1\" TO %2").arg(db().scalar("SELECT clerk FROM nbk_groups").toString(), login));
    struct Dropped {
        TestDatabase &db;
        QString login;
        ~Dropped() { db.exec(QStringLiteral("DROP ROLE IF EXISTS %1").arg(login)); }
    } dropped{db(), login};
    db().exec("UPDATE nbk_settings SET draws_per_hour = 3");
    const qint64 hour = QDateTime::currentSecsSinceEpoch() / 3600;
    QList<int> draws;
    {
        auto hand = db().login(login);
        const qint64 cid = hand->GetCurrentConnection().query(QStringLiteral("SELECT c_seq.NEXTVAL FROM dual")).value(0).toLongLong();
        book(*hand, cid, 1);
        for (int i = 0; i < 3; ++i)
            draws << draw(*hand);
        EXPECT_NE(hand->exec(QStringLiteral("CREATE TABLE nbk_hand_made (a integer)")), data::kExecOk);
    }
    EXPECT_EQ(db().scalar("SELECT count(*) FROM customer WHERE name = 'Ravi'").toInt(), 1);
    // the count is the owner's, not the login's
    const QString owner = db().scalar(QStringLiteral("SELECT pg_catalog.pg_get_userbyid(relowner) FROM pg_catalog.pg_class "
                                                     "WHERE relname = 'nbk_draws_' || md5('%1')")
                                          .arg(login))
                              .toString();
    EXPECT_FALSE(owner.isEmpty());
    EXPECT_NE(owner, login);
    if (QDateTime::currentSecsSinceEpoch() / 3600 != hour)
        GTEST_SKIP() << "the hour turned while drawing";
    EXPECT_EQ(draws, QList<int>({0, 0, 20011}));
}

NBK_ALL_ENGINES(Trail);

}  // namespace
