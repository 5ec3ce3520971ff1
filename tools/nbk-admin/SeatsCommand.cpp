#include "SeatsCommand.h"

#include "data/session/Class1.h"
#include "data/session/Connection.h"
#include "data/session/Transaction.h"
#include "data/dialect/DbError.h"
#include "data/dialect/Numbers.h"
#include "data/engines/Engine.h"

#include <QMap>
#include <QRegularExpression>
#include <QTextStream>

#include "SupervisorOptions.h"

namespace nbk::admin {

const char *const kSeatsUsage =
    "  nbk-admin seats --database DATABASE --user USER --password PASSWORD\n"
    "      [--class CLASS --rows ROWS --across SEATS --aisle AFTER [--senior-age AGE]\n"
    "       [--release MINUTES] [--women SEAT,...] [--senior SEAT,...]] [--drop CLASS]\n"
    "      (the seat layouts of the vehicle types: ROWS rows of SEATS seats numbered from the\n"
    "      front left, the aisle after AFTER of them; seats kept for women or for senior\n"
    "      citizens (from AGE, 60 unless given) until MINUTES before the departure; a class\n"
    "      without a layout has its seats 1 to the vehicle's total)\n";

namespace {

int usage()
{
    QTextStream(stderr) << "usage:\n" << kSeatsUsage;
    return 2;
}

// "1,2,15" as seat numbers; false on anything else.
bool seatList(const QString &text, QList<int> *out)
{
    static const QRegularExpression re(QStringLiteral(R"(^\d{1,3}(,\d{1,3})*$)"));
    if (text.isEmpty())
        return true;
    if (!re.match(text).hasMatch())
        return false;
    for (const QString &s : text.split(QLatin1Char(',')))
        out->append(s.toInt());
    return true;
}

bool wholeNumber(const QString &text, int max, int *out)
{
    static const QRegularExpression re(QStringLiteral(R"(^\d{1,4}$)"));
    if (!re.match(text).hasMatch() || text.toInt() > max)
        return false;
    *out = text.toInt();
    return true;
}

}  // namespace

int runSeats(const QStringList &args)
{
    QMap<QString, QString> o;
    QStringList values;
    if (!splitOptions(args, {"--database", "--user", "--password", "--class", "--rows", "--across", "--aisle",
                             "--senior-age", "--release", "--women", "--senior", "--drop"},
                      &o, &values)
        || !values.isEmpty())
        return usage();
    const bool setting = o.contains(QStringLiteral("--class"));
    int cls = 0, rows = 0, across = 0, aisle = 0, seniorAge = 60, release = 0, drop = -1;
    QList<int> women, senior;
    if (setting
        && (!wholeNumber(o.value(QStringLiteral("--class")), 9999, &cls)
            || !wholeNumber(o.value(QStringLiteral("--rows")), 50, &rows) || rows < 1
            || !wholeNumber(o.value(QStringLiteral("--across")), 10, &across) || across < 1
            || !wholeNumber(o.value(QStringLiteral("--aisle")), across, &aisle)
            || !wholeNumber(o.value(QStringLiteral("--senior-age"), QStringLiteral("60")), 150, &seniorAge)
            || !wholeNumber(o.value(QStringLiteral("--release"), QStringLiteral("0")), 9999, &release)
            || !seatList(o.value(QStringLiteral("--women")), &women)
            || !seatList(o.value(QStringLiteral("--senior")), &senior)))
        return usage();
    if (!setting
        && (o.contains(QStringLiteral("--rows")) || o.contains(QStringLiteral("--across"))
            || o.contains(QStringLiteral("--women")) || o.contains(QStringLiteral("--senior"))))
        return usage();
    for (int s : women + senior)
        if (s < 1 || women.count(s) + senior.count(s) > 1)
            return usage();  // a seat is kept for one kind of passenger
    if (o.contains(QStringLiteral("--drop")) && !wholeNumber(o.value(QStringLiteral("--drop")), 9999, &drop))
        return usage();

    return inSession(o, [&](data::Class1 &session) {
        int rc = 1;
        data::Connection &cn = session.GetCurrentConnection();
        if (setting || drop >= 0) {
            // all of it or none
            data::Transaction tx(session, QStringLiteral("the seat layouts"));
            for (int c : {drop, setting ? cls : -1}) {
                if (c < 0)
                    continue;
                cn.execute(QStringLiteral("DELETE FROM seat_mark WHERE class = %1").arg(c));
                cn.execute(QStringLiteral("DELETE FROM seat_layout WHERE class = %1").arg(c));
            }
            if (setting) {
                cn.execute(QStringLiteral("INSERT INTO seat_layout (class, seat_rows, seats_across, aisle_after, "
                                          "senior_age, release_minutes) VALUES (%1, %2, %3, %4, %5, %6)")
                               .arg(cls)
                               .arg(rows)
                               .arg(across)
                               .arg(aisle)
                               .arg(seniorAge)
                               .arg(release));
                for (const auto &[seats, mark] : {std::pair{women, "women"}, std::pair{senior, "senior"}})
                    for (int s : seats)
                        cn.execute(QStringLiteral("INSERT INTO seat_mark (class, seat_no, mark) VALUES (%1, %2, '%3')")
                                       .arg(cls)
                                       .arg(s)
                                       .arg(QLatin1String(mark)));
            }
            tx.commit();
        }
        QTextStream out(stdout);
        for (data::ResultSet l = cn.query(QStringLiteral("SELECT class, seat_rows, seats_across, aisle_after, senior_age, "
                                                         "release_minutes FROM seat_layout ORDER BY class"));
             !l.eof(); l.moveNext()) {
            const int c = l.value(0).toInt();
            out << "class " << c << "\t" << l.value(1).toInt() << " rows of " << l.value(2).toInt() << ", aisle after "
                << l.value(3).toInt() << ", senior from " << shortestDecimal(l.value(4).toDouble()) << ", released "
                << l.value(5).toInt() << " min before departure";
            for (const char *mark : {"women", "senior"}) {
                QStringList seats;
                for (data::ResultSet m = cn.query(QStringLiteral("SELECT seat_no FROM seat_mark WHERE class = %1 AND "
                                                                 "mark = '%2' ORDER BY seat_no")
                                                      .arg(c)
                                                      .arg(QLatin1String(mark)));
                     !m.eof(); m.moveNext())
                    seats << m.value(0).toString();
                if (!seats.isEmpty())
                    out << "\t" << mark << " " << seats.join(QLatin1Char(','));
            }
            out << "\n";
        }
        rc = 0;
        return rc;
    });
}

}  // namespace nbk::admin
