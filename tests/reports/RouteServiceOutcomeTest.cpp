// The route map's request as its outcome says: the route description's notices come back
// in it (none is shown on the way), then the message or the runs.
#include "support/MessageScript.h"
#include "support/TestDatabase.h"

#include "reports/ServiceQueries.h"

using namespace nbk;
using namespace nbk::reports;
using namespace nbk::test;

namespace {

class RouteMapRequest : public DbTest {};

TEST_P(RouteMapRequest, DescriptionNoticesThenTheMessageOrTheRuns)
{
    seedRouteABCD();
    struct Case {
        const char *typed;
        QString notice, message, stops;
        bool told;
        int runs;
    };
    const QString unserved = QStringLiteral("RouteID not is not yet serviced by any instance.Or it does not exist ");
    const Case cases[] = {
        {"seven", "Invalid Route ID", {}, {}, true, 0},
        {"99", " Route Id not found in database", unserved, {}, false, 0},
        {" 7", {}, {}, "Aa-Bb-Cc-Dd", false, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        const RouteServiceOutcome o = routeService(session(), QLatin1String(c.typed));
        EXPECT_EQ(o.notices.empty() ? QString() : o.notices.front().text, c.notice);
        EXPECT_LE(o.notices.size(), 1u);
        EXPECT_EQ(o.message ? o.message->text : QString(), c.message);
        EXPECT_EQ(o.told, c.told);
        EXPECT_EQ(o.service.stopList, c.stops);
        EXPECT_EQ(o.service.runs.recordCount(), c.runs);
    }
    EXPECT_TRUE(MessageScript::texts().isEmpty()) << MessageScript::texts().join('/').toStdString();
}

NBK_ALL_ENGINES(RouteMapRequest);

}  // namespace
