#include "EraseCommand.h"

#include "data/schema/Retention.h"

#include <QTextStream>

namespace nbk::admin {

int runErase(const QStringList &args)
{
    QTextStream out(stdout), err(stderr);
    if (args.size() != 1 || args.first().startsWith(QLatin1String("--"))) {
        err << "usage:\n" << kEraseUsage;
        return 2;
    }
    data::schema::EraseReport r;
    if (!data::schema::eraseExpired(args.first(), &r)) {
        err << "nbk-admin erase: " << r.error << "; nothing was changed\n";
        return 1;
    }
    out << "retention " << r.retentionDays << " days: erased the names and phones of " << r.customers
        << " bookings and of " << r.trailRows << " rows of the trail\n";
    return 0;
}

}  // namespace nbk::admin
