#include "CategoriesCommand.h"

#include "data/session/Class1.h"
#include "data/session/Connection.h"
#include "data/session/Transaction.h"
#include "data/dialect/DbError.h"
#include "data/dialect/Numbers.h"
#include "data/dialect/SqlText.h"
#include "data/engines/Engine.h"

#include <QRegularExpression>
#include <QTextStream>
#include <cmath>

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

struct Category {
    QString name;
    double share;
    double minAge;
    double maxAge;
};

}  // namespace

int runCategories(const QStringList &args)
{
    QMap<QString, QString> o;
    QList<Category> set;
    static const QRegularExpression categoryText(
        QStringLiteral(R"(^(\w{1,20}):(\d+(?:\.\d+)?):(\d{1,3})-(\d{1,3})$)"));
    for (int i = 0; i < args.size(); ++i) {
        if (args[i].startsWith(QLatin1String("--")) && i + 1 < args.size()) {
            o.insert(args[i], args[i + 1]);
            ++i;
            continue;
        }
        const QRegularExpressionMatch m = categoryText.match(args[i]);
        // an adult pays the whole fare: it is no category of its own
        if (!m.hasMatch() || m.captured(2).toDouble() > 100 || m.captured(3).toInt() > m.captured(4).toInt()
            || m.captured(1).compare(QLatin1String("adult"), Qt::CaseInsensitive) == 0)
            return usage();
        set.append({m.captured(1).toLower(), m.captured(2).toDouble() / 100.0, m.captured(3).toDouble(),
                    m.captured(4).toDouble()});
    }
    for (const QString &key : o.keys())
        if (!QStringList{"--database", "--user", "--password", "--drop"}.contains(key))
            return usage();
    const QString database = o.value(QStringLiteral("--database"));
    if (database.isEmpty())
        return usage();

    const bool server = data::isPostgresUri(database);
    if (!server)
        data::setEmbeddedDatabasePath(database);
    data::Class1 session;
    if (session.ConnectToDataBase(o.value(QStringLiteral("--user")), o.value(QStringLiteral("--password")),
                                  server ? database : QString())
        != 2) {
        QTextStream(stderr) << "nbk-admin: the login failed\n";
        return 1;
    }
    int rc = 1;
    try {
        data::Connection &cn = session.GetCurrentConnection();
        if (!set.isEmpty() || o.contains(QStringLiteral("--drop"))) {
            // all of them or none
            data::Transaction tx(session, QStringLiteral("the fare categories"));
            if (o.contains(QStringLiteral("--drop")))
                cn.execute(QStringLiteral("DELETE FROM fare_category WHERE category = '%1'")
                               .arg(data::sqlText(o.value(QStringLiteral("--drop")).toLower())));
            for (const Category &c : set) {
                cn.execute(QStringLiteral("DELETE FROM fare_category WHERE category = '%1'").arg(data::sqlText(c.name)));
                cn.execute(QStringLiteral("INSERT INTO fare_category (category, share, min_age, max_age) "
                                          "VALUES ('%1', %2, %3, %4)")
                               .arg(data::sqlText(c.name), shortestDecimal(c.share), shortestDecimal(c.minAge),
                                    shortestDecimal(c.maxAge)));
            }
            tx.commit();
        }
        QTextStream out(stdout);
        out << "adult\t100% of the fare\n";
        for (data::ResultSet rs = cn.query(QStringLiteral(
                 "SELECT category, share, min_age, max_age FROM fare_category ORDER BY min_age, category"));
             !rs.eof(); rs.moveNext())
            out << rs.value(0).toString() << "\t" << shortestDecimal(std::round(rs.value(1).toDouble() * 10000) / 100)
                << "% of the fare\taged " << shortestDecimal(rs.value(2).toDouble()) << " to "
                << shortestDecimal(rs.value(3).toDouble()) << "\n";
        rc = 0;
    } catch (const data::DbException &e) {
        QTextStream(stderr) << e.error().description << "\n";
    }
    session.CloseConnection();
    return rc;
}

}  // namespace nbk::admin
