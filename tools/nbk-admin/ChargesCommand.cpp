#include "ChargesCommand.h"

#include "data/session/Class1.h"
#include "data/session/Connection.h"
#include "operations/CancelSlabs.h"
#include "data/dialect/DbError.h"
#include "data/dialect/Numbers.h"
#include "data/engines/Engine.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTextStream>
#include <cmath>

#include "SupervisorOptions.h"

namespace nbk::admin {

const char *const kChargesUsage =
    "  nbk-admin charges --database DATABASE --user USER --password PASSWORD\n"
    "      [--from 'YYYY-MM-DD HH:MM' HOURS:PERCENT...]   (the cancellation charges; with --from,\n"
    "      a schedule taking effect then: from HOURS before departure PERCENT of the fare is\n"
    "      retained, all of it below the lowest HOURS; a schedule in force is never changed)\n";

namespace {

int usage()
{
    QTextStream(stderr) << "usage:\n" << kChargesUsage;
    return 2;
}

}  // namespace

int runCharges(const QStringList &args)
{
    QMap<QString, QString> o;
    QStringList values;
    if (!splitOptions(args, {"--database", "--user", "--password", "--from"}, &o, &values))
        return usage();
    QList<CancelSlab> slabs;
    static const QRegularExpression slabText(QStringLiteral(R"(^(\d+(?:\.\d+)?):(\d+(?:\.\d+)?)$)"));
    for (const QString &v : values) {
        const QRegularExpressionMatch m = slabText.match(v);
        if (!m.hasMatch() || m.captured(2).toDouble() > 100)
            return usage();
        slabs.append({QDateTime(), m.captured(1).toDouble(), m.captured(2).toDouble() / 100.0});
    }
    const QDateTime from =
        QDateTime::fromString(o.value(QStringLiteral("--from")), QStringLiteral("yyyy-MM-dd HH:mm"));
    if (o.contains(QStringLiteral("--from")) != !slabs.isEmpty() || (o.contains(QStringLiteral("--from")) && !from.isValid()))
        return usage();

    return inSession(o, [&](data::Class1 &session) {
        int rc = 1;
        const SlabRefusal refused = slabs.isEmpty() ? SlabRefusal() : AddCancelSchedule(session, from, slabs);
        if (!refused.isEmpty()) {
            QTextStream(stderr) << refused << "\n";
        } else {
            QTextStream out(stdout);
            for (const CancelSlab &s : ReadCancelSlabs(session))
                out << s.effectiveFrom.toString(QStringLiteral("yyyy-MM-dd HH:mm")) << "\tfrom "
                    << shortestDecimal(s.hoursBefore) << " h\t" << shortestDecimal(std::round(s.share * 10000) / 100)
                    << "% retained\n";
            rc = 0;
        }
        return rc;
    });
}

}  // namespace nbk::admin
