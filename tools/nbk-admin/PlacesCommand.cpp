#include "PlacesCommand.h"

#include "data/session/Class1.h"
#include "data/session/Connection.h"
#include "data/session/Transaction.h"
#include "data/dialect/DbError.h"
#include "data/engines/Engine.h"
#include "routes/PlaceLocalName.h"

#include <QMap>
#include <QRegularExpression>
#include <QTextStream>

#include "SupervisorOptions.h"

namespace nbk::admin {

const char *const kPlacesUsage =
    "  nbk-admin places --database DATABASE --user USER --password PASSWORD [CODE=NAME...]\n"
    "      [--drop CODE]   (the places, each with its Kannada name, printed beside the English\n"
    "      one on tickets and manifests; each CODE=NAME given names the place CODE in Kannada)\n";

namespace {

int usage()
{
    QTextStream(stderr) << "usage:\n" << kPlacesUsage;
    return 2;
}

}  // namespace

int runPlaces(const QStringList &args)
{
    QMap<QString, QString> o;
    QStringList values;
    if (!splitOptions(args, {"--database", "--user", "--password", "--drop"}, &o, &values))
        return usage();
    QList<QPair<QString, QString>> names;
    static const QRegularExpression naming(QStringLiteral(R"(^(\w{1,20})=(.+)$)"),
                                           QRegularExpression::DotMatchesEverythingOption);
    for (const QString &v : values) {
        const QRegularExpressionMatch m = naming.match(v);
        if (!m.hasMatch() || m.captured(2).trimmed().isEmpty())
            return usage();
        names.append({m.captured(1), m.captured(2).trimmed()});
    }

    return inSession(o, [&](data::Class1 &session) {
        int rc = 1;
        data::Connection &cn = session.GetCurrentConnection();
        if (!names.isEmpty() || o.contains(QStringLiteral("--drop"))) {
            // all of them or none; a code that is no place is refused by its key
            data::Transaction tx(session, QStringLiteral("the places' Kannada names"));
            if (o.contains(QStringLiteral("--drop")))
                routes::setPlaceLocalName(cn, o.value(QStringLiteral("--drop")), QString());
            for (const auto &[code, name] : names)
                routes::setPlaceLocalName(cn, code, name);
            tx.commit();
        }
        QTextStream out(stdout);
        for (data::ResultSet rs = cn.query(QStringLiteral(
                 "SELECT p.place, p.full_name, l.name FROM place p LEFT JOIN place_local_name l ON l.place = p.place "
                 "ORDER BY p.place"));
             !rs.eof(); rs.moveNext()) {
            out << rs.value(0).toString() << "\t" << rs.value(1).toString();
            if (!rs.value(2).isNull())
                out << "\t" << rs.value(2).toString();
            out << "\n";
        }
        rc = 0;
        return rc;
    });
}

}  // namespace nbk::admin
