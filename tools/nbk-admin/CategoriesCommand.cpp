#include "CategoriesCommand.h"

#include "data/session/Class1.h"
#include "data/session/Connection.h"
#include "reservation/FareCategories.h"
#include "data/dialect/DbError.h"
#include "data/dialect/Numbers.h"
#include "data/engines/Engine.h"

#include <QRegularExpression>
#include <QTextStream>
#include <cmath>

#include "SupervisorOptions.h"

namespace nbk::admin {

const char *const kCategoriesUsage =
    "  nbk-admin categories --database DATABASE --user USER --password PASSWORD\n"
    "      [NAME:PERCENT:MINAGE-MAXAGE...] [--drop NAME]   (the fare categories; each given one\n"
    "      pays PERCENT of the adult fare for a passenger aged MINAGE to MAXAGE; an adult pays\n"
    "      the whole fare and has no category; seats sold keep the share they were sold at)\n";

namespace {

int usage()
{
    QTextStream(stderr) << "usage:\n" << kCategoriesUsage;
    return 2;
}

}  // namespace

int runCategories(const QStringList &args)
{
    QMap<QString, QString> o;
    QStringList values;
    if (!splitOptions(args, {"--database", "--user", "--password", "--drop"}, &o, &values))
        return usage();
    QList<FareCategory> set;
    static const QRegularExpression categoryText(
        QStringLiteral(R"(^(\w{1,20}):(\d+(?:\.\d+)?):(\d{1,3})-(\d{1,3})$)"));
    for (const QString &v : values) {
        const QRegularExpressionMatch m = categoryText.match(v);
        // an adult pays the whole fare: it is no category of its own
        if (!m.hasMatch() || m.captured(2).toDouble() > 100 || m.captured(3).toInt() > m.captured(4).toInt()
            || m.captured(1).compare(QLatin1String("adult"), Qt::CaseInsensitive) == 0)
            return usage();
        set.append({m.captured(1).toLower(), m.captured(2).toDouble() / 100.0, m.captured(3).toDouble(),
                    m.captured(4).toDouble()});
    }

    return inSession(o, [&](data::Class1 &session) {
        int rc = 1;
        const QString refused = set.isEmpty() && !o.contains(QStringLiteral("--drop"))
                                    ? QString()
                                    : StoreFareCategories(session, set, o.value(QStringLiteral("--drop")));
        if (!refused.isEmpty()) {
            QTextStream(stderr) << refused << "\n";
        } else {
            QTextStream out(stdout);
            out << "adult\t100% of the fare\n";
            for (const FareCategory &c : ReadFareCategories(session))
                out << c.name << "\t" << shortestDecimal(std::round(c.share * 10000) / 100) << "% of the fare\taged "
                    << shortestDecimal(c.minAge) << " to " << shortestDecimal(c.maxAge) << "\n";
            rc = 0;
        }
        return rc;
    });
}

}  // namespace nbk::admin
