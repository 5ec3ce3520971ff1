// The trail as the corporation keeps it, on both engines: its time is the database's own,
// its days are the corporation's, the passengers of finished bookings are forgotten after
// the retention period, and no login draws the ids up.
#include "data/session/Audit.h"
#include "data/session/Transaction.h"
#include "reports/DayStatementQueries.h"
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

NBK_ALL_ENGINES(Trail);

}  // namespace
