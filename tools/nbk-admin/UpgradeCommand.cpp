#include "UpgradeCommand.h"

#include "data/schema/SchemaVersion.h"
#include "data/schema/Upgrade.h"

#include <QTextStream>

namespace nbk::admin {

int runUpgrade(const QStringList &args)
{
    QTextStream out(stdout), err(stderr);
    if (args.size() != 1 || args.first().startsWith(QLatin1String("--"))) {
        err << "usage:\n" << kUpgradeUsage;
        return 2;
    }
    data::schema::UpgradeReport report;
    const bool ok = data::schema::upgradeDatabase(args.first(), &report);
    for (const QString &step : report.steps)
        out << step << "\n";
    if (!ok) {
        err << "nbk-admin upgrade: " << report.error << "\n";
        return 1;
    }
    if (report.from == report.to && report.steps.isEmpty())
        out << "schema version " << report.to << " is current; nothing to do\n";
    else
        out << "upgraded from schema version " << report.from << " to " << report.to << "\n";
    return 0;
}

}  // namespace nbk::admin
