// nbk-admin seats: the supervisor sets, replaces and withdraws a class's seat layout; a
// clerk only reads them, and nothing malformed reaches the database.
#include "support/AdminRunner.h"
#include "support/TestDatabase.h"

using namespace nbk;
using namespace nbk::test;

namespace {

class SeatsTool : public DbTest {};

TEST_P(SeatsTool, TheSupervisorKeepsTheLayoutsAndAClerkReadsThem)
{
    const QString database = db().kind() == EngineKind::Embedded ? db().embeddedPath() : db().server();
    const auto seats = [&](const char *user, const QStringList &more) {
        return admin(QStringList{"seats", "--database", database, "--user", user, "--password", "nb"} + more);
    };
    struct Case {
        const char *user;
        QStringList args;
        int code;
        const char *listing;  // the whole listing after a change that went through
    };
    const Case cases[] = {
        {"chief", {"--class", "2", "--rows", "10", "--across", "4", "--aisle", "2", "--release", "120", "--women", "1,2", "--senior", "3"}, 0,
         "class 2\t10 rows of 4, aisle after 2, senior from 60, released 120 min before departure\twomen 1,2\tsenior 3\n"},
        {"chief", {"--class", "2", "--rows", "12", "--across", "5", "--aisle", "3", "--senior-age", "65"}, 0,
         "class 2\t12 rows of 5, aisle after 3, senior from 65, released 0 min before departure\n"},
        {"chief", {"--class", "3", "--rows", "9", "--across", "4", "--aisle", "2", "--women", "4", "--drop", "2"}, 0,
         "class 3\t9 rows of 4, aisle after 2, senior from 60, released 0 min before departure\twomen 4\n"},
        {"clerk1", {"--drop", "3"}, 1, nullptr},                                                  // not a clerk's
        {"chief", {"--class", "2", "--rows", "10", "--across", "4", "--aisle", "5"}, 2, nullptr},  // aisle past the row
        {"chief", {"--class", "2", "--rows", "10", "--across", "4", "--aisle", "2", "--women", "1", "--senior", "1"}, 2, nullptr},
        {"chief", {"--class", "2", "--rows", "10", "--across", "4", "--aisle", "2", "--women", "1;DROP"}, 2, nullptr},
        {"chief", {"--rows", "10"}, 2, nullptr},  // no class
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const AdminRun r = seats(c.user, c.args);
        EXPECT_EQ(r.code, c.code) << r.err.toStdString();
        if (c.listing) {
            EXPECT_EQ(r.out, QLatin1String(c.listing));
        }
    }
    const AdminRun list = seats("clerk1", {});
    EXPECT_EQ(list.code, 0) << list.err.toStdString();
    EXPECT_EQ(list.out, QStringLiteral("class 3\t9 rows of 4, aisle after 2, senior from 60, released 0 min before departure\twomen 4\n"));
}

NBK_ALL_ENGINES(SeatsTool);

}  // namespace
