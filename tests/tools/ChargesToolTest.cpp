// nbk-admin charges: the supervisor adds a schedule from a later date and lists them; a
// schedule in force, or a clerk, is refused by the database.
#include "support/AdminRunner.h"
#include "support/TestDatabase.h"

#include <QDateTime>

using namespace nbk;
using namespace nbk::test;

namespace {

class ChargesTool : public DbTest {};

TEST_P(ChargesTool, TheSupervisorSetsALaterScheduleAndNothingInForce)
{
    const QString database = db().kind() == EngineKind::Embedded ? db().embeddedPath() : db().server();
    const auto charges = [&](const char *user, const QStringList &more) {
        return admin(QStringList{"charges", "--database", database, "--user", user, "--password", "nb"} + more);
    };
    const QString tomorrow = QDateTime::currentDateTime().addDays(1).toString(QStringLiteral("yyyy-MM-dd 00:00"));
    struct Case {
        const char *user;
        QStringList args;
        int code;
        const char *out;  // the listing that follows, or the refusal's number
    };
    const Case cases[] = {
        {"chief", {"--from", tomorrow, "72:10", "24:25", "0:50"}, 0, "\tfrom 0 h\t50% retained\n"},
        {"chief", {"--from", "2020-01-01 00:00", "12:5"}, 1, "ORA-20008"},  // in force
        {"clerk1", {"--from", tomorrow, "6:90"}, 1, ""},                   // not a clerk's
        {"chief", {"--from", tomorrow}, 2, ""},                            // no slab
        {"chief", {"--from", tomorrow, "24:150"}, 2, ""},                  // more than all of it
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const AdminRun r = charges(c.user, c.args);
        EXPECT_EQ(r.code, c.code) << r.err.toStdString();
        EXPECT_TRUE((c.code == 0 ? r.out : r.err).contains(QLatin1String(c.out))) << r.out.toStdString() << r.err.toStdString();
    }
    const AdminRun list = charges("clerk1", {});
    EXPECT_EQ(list.code, 0);
    EXPECT_EQ(list.out.count(QLatin1Char('\n')), 3) << list.out.toStdString();
    EXPECT_TRUE(list.out.startsWith(tomorrow + QStringLiteral("\tfrom 72 h\t10% retained\n"))) << list.out.toStdString();
}

NBK_ALL_ENGINES(ChargesTool);

}  // namespace
