// nbk-admin places: the supervisor names places in Kannada; a clerk only reads them, and the
// database refuses a name to no place, one too long or one with a control character.
#include "support/AdminRunner.h"
#include "support/TestDatabase.h"

using namespace nbk;
using namespace nbk::test;

namespace {

class PlacesTool : public DbTest {};

TEST_P(PlacesTool, TheSupervisorNamesPlacesInKannadaAndAClerkReadsThem)
{
    db().exec({"INSERT INTO PLACE VALUES('MYS', 'Mysore')", "INSERT INTO PLACE VALUES('MAN', 'Mandya')"});
    const QString database = db().kind() == EngineKind::Embedded ? db().embeddedPath() : db().server();
    const auto places = [&](const char *user, const QStringList &more) {
        return admin(QStringList{"places", "--database", database, "--user", user, "--password", "nb"} + more);
    };
    const QString mysore = QStringLiteral("\u0CAE\u0CC8\u0CB8\u0CC2\u0CB0\u0CC1");
    const QString mandya = QStringLiteral("\u0CAE\u0C82\u0CA1\u0CCD\u0CAF");
    struct Case {
        const char *user;
        QStringList args;
        int code;
        QString listing;  // the whole listing after a change that went through
    };
    const Case cases[] = {
        {"chief", {"MYS=" + mysore, "MAN=" + mandya + "'"}, 0,
         "MAN\tMandya\t" + mandya + "'\nMYS\tMysore\t" + mysore + "\n"},
        {"chief", {"MAN=" + mandya, "--drop", "MYS"}, 0, "MAN\tMandya\t" + mandya + "\nMYS\tMysore\n"},
        {"clerk1", {"MYS=" + mysore}, 1, {}},                       // not a clerk's
        {"chief", {"XYZ=" + mysore}, 1, {}},                        // no such place
        {"chief", {"MYS=" + QString(61, QChar(0x0C95))}, 1, {}},    // longer than a ticket's line takes
        {"chief", {"MYS=" + mysore + "\u0007"}, 1, {}},             // a control character
        {"chief", {"MYS="}, 2, {}},                                 // no name
        {"chief", {"MYS=" + mysore, "--mode", "x"}, 2, {}},         // no such option
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const AdminRun r = places(c.user, c.args);
        EXPECT_EQ(r.code, c.code) << r.err.toStdString();
        if (!c.listing.isEmpty()) {
            EXPECT_EQ(r.out, c.listing);
        }
    }
    const AdminRun list = places("clerk1", {});
    EXPECT_EQ(list.code, 0) << list.err.toStdString();
    EXPECT_EQ(list.out, "MAN\tMandya\t" + mandya + "\nMYS\tMysore\n");
}

NBK_ALL_ENGINES(PlacesTool);

}  // namespace
