// nbk-admin settings: the supervisor changes the corporation's settings, in the trail; a
// clerk only reads them; a zone the database does not know is refused by the database
// itself, whoever writes it.
#include "data/dialect/DbError.h"
#include "support/AdminRunner.h"
#include "support/TestDatabase.h"

using namespace nbk;
using namespace nbk::test;

namespace {

class SettingsTool : public DbTest {};

TEST_P(SettingsTool, TheSupervisorChangesTheSettingsAndTheDatabaseKnowsTheZone)
{
    const QString database = db().kind() == EngineKind::Embedded ? db().embeddedPath() : db().server();
    const auto settings = [&](const char *user, const QStringList &more) {
        return admin(QStringList{"settings", "--database", database, "--user", user, "--password", "nb"} + more);
    };
    const QString initial = QStringLiteral("zone\tAsia/Kolkata\nretention-days\t365\ndraws-per-hour\t20000\n");
    const QString changed = QStringLiteral("zone\tPacific/Auckland\nretention-days\t30\ndraws-per-hour\t20000\n");
    struct Case {
        const char *user;
        QStringList args;
        int code;
        QString listing;  // the settings afterwards
        const char *refusal = nullptr;
    };
    const Case cases[] = {
        {"clerk1", {}, 0, initial},
        {"chief", {"--zone", "Pacific/Auckland", "--retention-days", "30"}, 0, changed},
        {"clerk1", {"--zone", "UTC"}, 1, changed},                                 // not a clerk's
        {"chief", {"--zone", "Mars/Olympus_Mons"}, 1, changed, "ORA-20012"},      // no such zone
        {"chief", {"--zone", "Etc/GMT-14", "--draws-per-hour", "0"}, 1, changed},  // all or nothing
        {"chief", {"--retention-days", "many"}, 2, changed},
        {"chief", {"--zone", "x' OR 'a'='a"}, 2, changed},
        {"chief", {"--hours", "3"}, 2, changed},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const AdminRun r = settings(c.user, c.args);
        EXPECT_EQ(r.code, c.code) << r.err.toStdString();
        if (c.code == 0) {
            EXPECT_EQ(r.out, c.listing);
        }
        if (c.refusal) {
            EXPECT_TRUE(r.err.contains(QLatin1String(c.refusal))) << r.err.toStdString();
        }
        EXPECT_EQ(settings("clerk1", {}).out, c.listing);
    }
    // the change is the supervisor's in the trail
    EXPECT_EQ(db().scalar("SELECT count(*) FROM nbk_audit WHERE table_name = 'nbk_settings' AND action = 'UPDATE' "
                          "AND login = 'chief'")
                  .toInt(),
              1);
    // the owner's own writes meet the same rule
    for (const char *zone : {"Asia/Calcutta_", "", "../../../etc/passwd", "Nowhere", "Foo0"}) {
        try {
            db().exec(QStringLiteral("UPDATE nbk_settings SET zone = '%1'").arg(QLatin1String(zone)));
            ADD_FAILURE() << zone << " was taken";
        } catch (const data::DbException &e) {
            EXPECT_TRUE(e.error().description.contains(QLatin1String("ORA-20012"))) << e.error().description.toStdString();
        }
    }
    EXPECT_EQ(db().scalar("SELECT zone FROM nbk_settings").toString(), QStringLiteral("Pacific/Auckland"));
}

NBK_ALL_ENGINES(SettingsTool);

}  // namespace
