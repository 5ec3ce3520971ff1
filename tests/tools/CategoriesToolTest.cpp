// nbk-admin categories: the supervisor sets, changes and withdraws fare categories; a clerk
// only reads them, and nothing malformed reaches the database.
#include "support/AdminRunner.h"
#include "support/TestDatabase.h"

using namespace nbk;
using namespace nbk::test;

namespace {

class CategoriesTool : public DbTest {};

TEST_P(CategoriesTool, TheSupervisorKeepsTheCategoriesAndAClerkReadsThem)
{
    const QString database = db().kind() == EngineKind::Embedded ? db().embeddedPath() : db().server();
    const auto categories = [&](const char *user, const QStringList &more) {
        return admin(QStringList{"categories", "--database", database, "--user", user, "--password", "nb"} + more);
    };
    struct Case {
        const char *user;
        QStringList args;
        int code;
        const char *listing;  // the whole listing after a change that went through
    };
    const Case cases[] = {
        {"chief", {"child:50:5-12", "senior:75:60-120"}, 0,
         "adult\t100% of the fare\nchild\t50% of the fare\taged 5 to 12\nsenior\t75% of the fare\taged 60 to 120\n"},
        {"chief", {"senior:50:65-120", "--drop", "child"}, 0,
         "adult\t100% of the fare\nsenior\t50% of the fare\taged 65 to 120\n"},
        {"clerk1", {"child:10:0-99"}, 1, nullptr},     // not a clerk's
        {"chief", {"adult:90:18-60"}, 2, nullptr},     // the whole fare is no category
        {"chief", {"child:150:5-12"}, 2, nullptr},     // more than the fare
        {"chief", {"child:50:12-5"}, 2, nullptr},      // no age
        {"chief", {"ch'ild:50:5-12"}, 2, nullptr},     // no name of words
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const AdminRun r = categories(c.user, c.args);
        EXPECT_EQ(r.code, c.code) << r.err.toStdString();
        if (c.listing) {
            EXPECT_EQ(r.out, QLatin1String(c.listing));
        }
    }
    const AdminRun list = categories("clerk1", {});
    EXPECT_EQ(list.code, 0) << list.err.toStdString();
    EXPECT_EQ(list.out, QStringLiteral("adult\t100% of the fare\nsenior\t50% of the fare\taged 65 to 120\n"));
}

NBK_ALL_ENGINES(CategoriesTool);

}  // namespace
