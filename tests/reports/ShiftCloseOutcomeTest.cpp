// The shift's close: the cash counted against what the trail says the login took since
// its last close, kept in the trail as written; the supervisor sees every login's.
#include "support/Outcomes.h"

#include "data/session/Transaction.h"
#include "operations/CancelSeed.h"
#include "reports/DayStatementQueries.h"
#include "reports/ShiftClose.h"

using namespace nbk;
using namespace nbk::test;
using reports::CashCount;

namespace {

class ShiftClose : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        seedCancelRuns(db());
    }
    // A booking of run 70 (100 a seat) by the session, as the screens send it.
    void sell(int cid, const QList<int> &seats)
    {
        data::Transaction tx(session(), QStringLiteral("the test's booking"));
        QStringList sql = {QStringLiteral("Insert INTO Customer values ( %1,-1,SYSDATE,'**TEMP**',-1,-1,'x','Unkn',"
                                          "'Unkn',0)")
                               .arg(cid)};
        for (int seat : seats)
            sql << QStringLiteral(" INSERT INTO seat_matrix VALUES( 70 , %1 ,1 , 1 , %2, 'r' )").arg(seat).arg(cid);
        sql << QStringLiteral("UPDATE BUS_INSTANCE set free_seats=free_seats-%1 Where instance_id=70").arg(seats.size())
            << QStringLiteral("UPDATE Customer set Instance_ID =70, Name = 'Ravi' , age=30, phone='1', gender='M' , "
                              "origin='A' , destin='B', fare=%1, Journey_date=TO_DATE('05-03-2030 10:00:00',"
                              "'DD-MM-YYYY HH24:MI:SS') where customer_ID = %2")
                   .arg(100 * seats.size())
                   .arg(cid);
        for (const QString &q : sql)
            ASSERT_EQ(session().exec(q), data::kExecOk) << q.toStdString() << session().LastExecError().toStdString();
        tx.commit();
    }
    static QString line(const reports::ShiftCloseRow &c)
    {
        return QStringLiteral("%1 %2 %3 %4 [%5]")
            .arg(c.login.toLower())
            .arg(c.expected)
            .arg(c.counted)
            .arg(c.difference)
            .arg(c.denominations);
    }
};

TEST_P(ShiftClose, CountedAgainstTheTrailSinceTheLastCloseAndKeptAsWritten)
{
    struct Case {
        QList<int> sold;  // seats sold before the close
        QList<CashCount> counts;
        bool yes;
        const char *close;  // the row kept, or nothing when the clerk says No
    };
    const Case cases[] = {
        {{1, 2}, {{500, 0}, {100, 2}}, true, "chief 200 200 0 [100x2]"},
        {{3}, {{50, 1}, {20, 1}}, false, ""},
        {{}, {{50, 1}, {20, 1}, {2, 3}}, true, "chief 100 76 -24 [50x1 20x1 2x3]"},
        {{}, {}, true, "chief 0 0 0 []"},
    };
    int cid = 601;
    QStringList kept;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.close);
        if (!c.sold.isEmpty())
            sell(cid++, c.sold);
        QString asked;
        const reports::ShiftCloseOutcome o = reports::closeShift(session(), c.counts, [&](const Notice &q) {
            asked = q.text;
            return c.yes;
        });
        EXPECT_TRUE(asked.contains(QStringLiteral("Expected from the trail: \u20B9 "))) << asked.toStdString();
        EXPECT_EQ(o.closed, c.yes) << (o.message ? o.message->text.toStdString() : std::string());
        if (c.yes) {
            EXPECT_EQ(line(o.close), QLatin1String(c.close));
            kept << QLatin1String(c.close);
        }
    }

    // a clerk closes too, with nothing taken; it sees its own closes, the supervisor all
    auto clerk = db().login(QStringLiteral("clerk1"));
    EXPECT_TRUE(reports::closeShift(*clerk, {{10, 1}}, [](const Notice &) { return true; }).closed);
    const QDate today = reports::statementRights(session()).rights.today;
    QStringList seen;
    for (const reports::ShiftCloseRow &r : reports::shiftCloses(session(), today))
        seen << line(r);
    EXPECT_EQ(seen, kept + QStringList{QStringLiteral("clerk1 0 10 10 [10x1]")});
    EXPECT_EQ(reports::shiftCloses(*clerk, today).size(), 1u);

    // written once by its own login: no change, no removal (the server's rights refuse
    // them first, the file's rule for its supervisor), nobody else's
    for (const char *sql : {"UPDATE shift_close SET counted = 200, difference = 0 WHERE lower(login) = 'clerk1'",
                            "DELETE FROM shift_close",
                            "INSERT INTO shift_close VALUES ('clerk1', SYSDATE + 1, 0, 0, 0, '')"}) {
        SCOPED_TRACE(sql);
        const qint16 r = session().exec(QString::fromLatin1(sql));
        EXPECT_TRUE(r == 20009 || (r == 1031 && sql[0] != 'I')) << session().LastExecError().toStdString();
    }
    EXPECT_EQ(db().scalar("SELECT count(*) FROM nbk_audit WHERE table_name = 'shift_close'").toInt(), 4);
}

NBK_ALL_ENGINES(ShiftClose);

}  // namespace
