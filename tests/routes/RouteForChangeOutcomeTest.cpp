// The route's description and its loading for change, as their outcomes say, without any screen.
#include "support/Outcomes.h"
#include "support/TestDatabase.h"

#include "routes/LoadRouteForChange.h"
#include "routes/StoreSchedule.h"

using namespace nbk;
using namespace nbk::routes;
using namespace nbk::test;

namespace {

class RouteForChangeRead : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        seedRouteABCD();
        db().exec({"INSERT into Route_Frequency values (7, 2, 45, 6, 15)", "INSERT into service_class values(7, 2, 1)",
                   "INSERT into service_class values(7, 5, 3)", "INSERT into service_class values(7, 9, 3)"});
    }
};

TEST_P(RouteForChangeRead, DescriptionGivesPlacesOrDistancesAndNamesWhyNot)
{
    struct Case {
        const char *typed, *separator, *kind, *text, *notice;
    };
    const Case cases[] = {
        {"7", ", ", "Names", " Aa, Bb, Cc, Dd", ""},
        {" 7.2", "-", "Route", "Aa-Bb-Cc-Dd", ""},
        {"7", ", ", "KM", "40, 60, 30", ""},
        {"8", ", ", "Names", "", " Route Id not found in database|Error"},
        {"7x", ", ", "KM", "", "Invalid Route ID|Error"},
    };
    for (const Case &c : cases) {
        const RouteDescription d = DescribeRoute(session(), QLatin1String(c.typed), QLatin1String(c.separator),
                                                 QLatin1String(c.kind));
        EXPECT_EQ(d.found, !QByteArray(c.text).isEmpty()) << c.typed;
        EXPECT_EQ(d.text, QLatin1String(c.text)) << c.typed;
        EXPECT_EQ(noticeTexts(d.notices), QLatin1String(c.notice)) << c.typed;
    }
}

TEST_P(RouteForChangeRead, LoadCarriesTimesTimetableAndClassesAndLeavesOutAClassOnNoDay)
{
    const RouteForChange r = LoadRouteForChange(session(), 7, QStringLiteral(" Aa, Bb, Cc, Dd"));
    ASSERT_TRUE(r.loaded) << noticeTexts(r.notices).toStdString();
    EXPECT_TRUE(r.notices.empty());
    EXPECT_EQ(r.names + '|' + r.kms, QStringLiteral(" Aa, Bb, Cc, Dd|40, 60, 30"));
    EXPECT_TRUE(r.timed);
    EXPECT_EQ(QString::number(r.fpiIndex) + '|' + r.stopTime + '|' + r.travelMins, QStringLiteral("0|5|260"));
    ASSERT_EQ(r.days.size(), 1u);
    EXPECT_EQ(QStringLiteral("%1|%2|%3|%4").arg(r.days[0].day).arg(r.days[0].interval).arg(r.days[0].hour).arg(r.days[0].minute),
              QStringLiteral("2|45|6|15"));
    EXPECT_EQ(r.classBoxes, (std::vector<int>{classBox(1, 2), classBox(3, 5)}));

    // a route without a path loads with the distances' notice and nothing of its own
    const RouteForChange none = LoadRouteForChange(session(), 8, QString());
    EXPECT_TRUE(none.loaded);
    EXPECT_FALSE(none.timed);
    EXPECT_TRUE(none.days.empty() && none.classBoxes.empty() && none.kms.isEmpty());
    EXPECT_EQ(noticeTexts(none.notices), QStringLiteral(" Route Id not found in database|Error"));
}

NBK_ALL_ENGINES(RouteForChangeRead);

}  // namespace
