// A timetable edit stores exactly the days and classes ticked in the columns offered,
// whatever the previous timetable left ticked in columns no longer offered.
#include "support/Outcomes.h"
#include "support/TestDatabase.h"

#include "data/session/Transaction.h"
#include "routes/LoadRouteForChange.h"
#include "routes/StoreSchedule.h"

#include <algorithm>

using namespace nbk;
using namespace nbk::routes;
using namespace nbk::test;

namespace {

struct DayClass {
    int day, cls;  // day 1 Monday .. 7 Sunday, 8 Everyday; class 0 .. 4
};

struct EditCase {
    const char *name;
    std::vector<DayClass> before;  // the timetable on file
    std::vector<int> days;         // days ticked on the frequency screen
    std::vector<DayClass> after;   // ticks in the offered columns
    std::vector<int> stored;       // frequency days stored
};

class ScheduleEdit : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        seedRouteABCD();
    }

    QStringList rows(const QString &sql)
    {
        QStringList out;
        for (data::ResultSet rs = db().query(sql); !rs.eof(); rs.moveNext())
            out << QString::number(rs.value(0).toInt()) + QLatin1Char(',') + QString::number(rs.value(1).toInt());
        out.sort();
        return out;
    }
};

TEST_P(ScheduleEdit, StoresExactlyTheTicksOfTheOfferedColumns)
{
    const std::vector<DayClass> everydayTwo{{8, 1}, {8, 2}};
    const std::vector<DayClass> weekend{{6, 1}, {7, 1}, {7, 3}};
    const EditCase cases[] = {
        {"everyday to weekend", everydayTwo, {6, 7}, {{6, 1}, {7, 1}, {7, 3}}, {6, 7}},
        {"weekend to everyday", weekend, {8}, {{8, 0}}, {8}},
        {"everyday to weekdays", everydayTwo, {1, 2, 3, 4, 5},
         {{1, 2}, {2, 2}, {3, 2}, {4, 2}, {5, 2}, {5, 4}}, {1, 2, 3, 4, 5}},
        {"weekdays to one day", {{1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}}, {3}, {{3, 4}}, {3}},
        {"one day to another", {{2, 1}, {2, 3}}, {4}, {{4, 1}}, {4}},
        {"same day, classes changed", {{2, 1}, {2, 3}}, {2}, {{2, 0}}, {2}},
        {"everyday to Sunday", everydayTwo, {7}, {{7, 2}}, {7}},
        {"everyday to Monday", everydayTwo, {1}, {{1, 1}}, {1}},
        {"Sunday to Monday and Sunday", {{7, 3}}, {1, 7}, {{1, 0}, {7, 0}}, {1, 7}},
        {"everyday to every single day", everydayTwo, {1, 2, 3, 4, 5, 6, 7},
         {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}, {7, 4}}, {1, 2, 3, 4, 5, 6, 7}},
        {"Everyday ticked beside a day stands for the week", weekend, {7, 8}, {{8, 3}}, {8}},
        {"weekend to everyday, same class", weekend, {8}, {{8, 1}}, {8}},
    };
    for (const EditCase &c : cases) {
        SCOPED_TRACE(c.name);
        db().exec(QStringLiteral("DELETE FROM route_frequency"));
        db().exec(QStringLiteral("DELETE FROM service_class"));
        std::vector<int> beforeDays;
        for (const DayClass &b : c.before) {
            if (std::find(beforeDays.begin(), beforeDays.end(), b.day) == beforeDays.end()) {
                beforeDays.push_back(b.day);
                db().exec(QStringLiteral("INSERT into Route_Frequency values (7, %1, 60, 6, 0)").arg(b.day));
            }
            db().exec(QStringLiteral("INSERT into service_class values(7, %1, %2)").arg(b.day).arg(b.cls));
        }

        // the screens as they open for the edit: the stored classes ticked in their columns
        const RouteForChange loaded = LoadRouteForChange(session(), 7, QStringLiteral(" Aa, Bb, Cc, Dd"));
        ASSERT_TRUE(loaded.loaded);
        std::array<bool, 40> ticked{};
        for (int box : loaded.classBoxes)
            ticked[size_t(box)] = true;

        std::array<DayEntry, 8> days;
        for (int d : c.days) {
            days[size_t(d - 1)].ticked = true;
            days[size_t(d - 1)].interval = QStringLiteral("30");
        }
        data::Transaction tx(session(), QStringLiteral("the route edit"));
        const FrequencyPass pass = storeFrequency(session(), true, 7, days);
        ASSERT_TRUE(pass.result.ok) << pass.result.notice.text.toStdString();

        // the supervisor answers the offered columns; the others keep what was loaded
        std::array<bool, 40> enabled{};
        for (int k : pass.offeredDays)
            for (int cls = 0; cls < 5; ++cls) {
                enabled[size_t(classBox(cls, k + 1))] = true;
                ticked[size_t(classBox(cls, k + 1))] = false;
            }
        for (const DayClass &a : c.after)
            ticked[size_t(classBox(a.cls, a.day))] = true;
        const Outcome stored = storeClasses(session(), true, 7, ticked, enabled);
        ASSERT_TRUE(stored.ok) << stored.notice.text.toStdString();
        tx.commit();

        QStringList wantClasses, wantDays;
        for (const DayClass &a : c.after)
            wantClasses << QStringLiteral("%1,%2").arg(a.day).arg(a.cls);
        wantClasses.sort();
        for (int d : c.stored)
            wantDays << QStringLiteral("%1,30").arg(d);
        wantDays.sort();
        EXPECT_EQ(rows(QStringLiteral("SELECT day, class FROM service_class WHERE route_id = 7")), wantClasses);
        EXPECT_EQ(rows(QStringLiteral("SELECT day, frequency FROM route_frequency WHERE route_id = 7")), wantDays);
    }
}

NBK_ALL_ENGINES(ScheduleEdit);

}  // namespace
