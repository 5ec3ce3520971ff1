#include "SettingsCommand.h"

#include "data/dialect/DbError.h"
#include "data/dialect/SqlText.h"
#include "data/session/Class1.h"
#include "data/session/Connection.h"
#include "data/session/ResultSet.h"
#include "data/session/Transaction.h"

#include <QRegularExpression>
#include <QTextStream>

#include "SupervisorOptions.h"

namespace nbk::admin {

const char *const kSettingsUsage =
    "  nbk-admin settings --database DATABASE --user USER --password PASSWORD [--zone ZONE]\n"
    "      [--retention-days N] [--draws-per-hour N]   (the corporation's settings: the time zone\n"
    "      its days and departures are counted in, the days passengers' names and phones are kept\n"
    "      after their journey, the ids one login may draw in an hour; the supervisor changes them)\n";

namespace {

int usage()
{
    QTextStream(stderr) << "usage:\n" << kSettingsUsage;
    return 2;
}

// The options' columns, as the listing names them.
struct Setting {
    const char *option;
    const char *column;
    bool number;
};
const Setting kSettings[] = {
    {"--zone", "zone", false},
    {"--retention-days", "retention_days", true},
    {"--draws-per-hour", "draws_per_hour", true},
};

}  // namespace

int runSettings(const QStringList &args)
{
    QMap<QString, QString> o;
    QStringList values;
    QStringList known = {"--database", "--user", "--password"};
    for (const Setting &s : kSettings)
        known << QLatin1String(s.option);
    if (!splitOptions(args, known, &o, &values) || !values.isEmpty())
        return usage();
    // numbers as digits (the database bounds them); a zone as the database names zones
    static const QRegularExpression digits(QStringLiteral(R"(^\d{1,9}$)"));
    static const QRegularExpression zoneName(QStringLiteral(R"(^[A-Za-z0-9_+\-/]{1,64}$)"));
    QStringList set;
    for (const Setting &s : kSettings) {
        if (!o.contains(QLatin1String(s.option)))
            continue;
        const QString v = o.value(QLatin1String(s.option));
        if (!(s.number ? digits : zoneName).match(v).hasMatch())
            return usage();
        set << QStringLiteral("%1 = %2").arg(QLatin1String(s.column),
                                             s.number ? QString::number(v.toLongLong())
                                                      : QStringLiteral("'%1'").arg(data::sqlText(v)));
    }

    return inSession(o, [&](data::Class1 &session) {
        int rc = 1;
        if (!set.isEmpty()) {
            data::Transaction tx(session, QStringLiteral("the corporation's settings"));
            if (!tx.isOpen())
                throw data::DbException(data::DbError{0, tx.refusal()});
            if (session.GetCurrentConnection().executeCount(
                    QStringLiteral("UPDATE nbk_settings SET %1").arg(set.join(QStringLiteral(", "))))
                != 1)
                throw data::DbException(data::DbError{0, QStringLiteral("the database holds no settings row: run "
                                                                        "nbk-admin upgrade on it")});
            tx.commit();
        }
        data::ResultSet r = session.GetCurrentConnection().query(
            QStringLiteral("SELECT zone, retention_days, draws_per_hour FROM nbk_settings"));
        if (r.eof())
            throw data::DbException(
                data::DbError{0, QStringLiteral("the database holds no settings row: run nbk-admin upgrade on it")});
        QTextStream out(stdout);
        for (int i = 0; i < 3; ++i)
            out << QLatin1String(kSettings[i].option + 2) << "\t" << r.value(i).toString() << "\n";
        rc = 0;
        return rc;
    });
}

}  // namespace nbk::admin
