#include "AuditCommand.h"

#include "data/session/Class1.h"
#include "data/session/Connection.h"
#include "data/dialect/DbError.h"
#include "data/engines/Engine.h"
#include "data/dialect/SqlText.h"
#include "reports/DayStatementQueries.h"

#include <QDate>
#include <QDateTime>
#include <QTextStream>

namespace nbk::admin {

const char *const kAuditUsage =
    "  nbk-admin audit --database DATABASE --user USER --password PASSWORD [--since YYYY-MM-DD]\n"
    "      [--login LOGIN] [--customer CUSTOMER_ID]   (the audit trail, one line per change: time in the\n"
    "      corporation's zone, transaction, login, table, key, action, before, after, client address,\n"
    "      program (as claimed by the client))\n";

namespace {

int usage()
{
    QTextStream(stderr) << "usage:\n" << kAuditUsage;
    return 2;
}

QString cell(const QVariant &v)
{
    if (v.isNull())
        return QStringLiteral("-");
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return v.toString();
}

}  // namespace

int runAudit(const QStringList &args)
{
    QMap<QString, QString> o;
    for (int i = 0; i < args.size(); ++i) {
        if (!args[i].startsWith(QLatin1String("--")) || i + 1 >= args.size())
            return usage();
        o.insert(args[i], args[i + 1]);
        ++i;
    }
    const QString database = o.value(QStringLiteral("--database"));
    for (const QString &key : o.keys())
        if (!QStringList{"--database", "--user", "--password", "--since", "--login", "--customer"}.contains(key))
            return usage();
    if (database.isEmpty())
        return usage();
    QString where = QStringLiteral(" WHERE 1 = 1");
    if (o.contains(QStringLiteral("--since"))) {
        const QDate since = QDate::fromString(o.value(QStringLiteral("--since")), Qt::ISODate);
        if (!since.isValid())
            return usage();
        where += QStringLiteral(" AND changed_at >= nbk_trail_from(TO_DATE('%1 00:00:00','YYYY-MM-DD HH24:MI:SS'))")
                     .arg(since.toString(Qt::ISODate));
    }
    if (o.contains(QStringLiteral("--login")))
        where += QStringLiteral(" AND lower(login) = lower('%1')").arg(data::sqlText(o.value(QStringLiteral("--login"))));
    if (o.contains(QStringLiteral("--customer"))) {
        bool ok = false;
        const qint64 customer = o.value(QStringLiteral("--customer")).toLongLong(&ok);
        if (!ok)
            return usage();
        where += QStringLiteral(" AND customer_id = %1").arg(customer);
    }

    // the login's own messages go to standard error (no prompt is installed)
    const bool server = database.startsWith(QLatin1String("postgres"), Qt::CaseInsensitive);
    if (!server)
        data::setEmbeddedDatabasePath(database);
    data::Class1 session;
    int rc = 1;
    if (session.ConnectToDataBase(o.value(QStringLiteral("--user")), o.value(QStringLiteral("--password")),
                                  server ? database : QString())
        == 2) {
        // a clerk reads the trail of the clerk's own login only, as the day statement
        // keeps to it: a colleague's takings and client address are not the clerk's to see
        const reports::StatementRightsOutcome rights = reports::statementRights(session);
        const QString wanted = o.value(QStringLiteral("--login"));
        if (rights.message) {
            QTextStream(stderr) << rights.message->text << "\n";
            session.CloseConnection();
            return 1;
        }
        if (!rights.rights.anyLogin) {
            if (o.contains(QStringLiteral("--login")) && wanted.compare(rights.rights.login, Qt::CaseInsensitive) != 0) {
                QTextStream(stderr) << "nbk-admin: only the supervisor may see the trail of another login\n";
                session.CloseConnection();
                return 1;
            }
            where += QStringLiteral(" AND lower(login) = lower('%1')").arg(data::sqlText(rights.rights.login));
        }
        try {
            data::ResultSet rs = session.GetCurrentConnection().query(
                QStringLiteral("SELECT nbk_trail_local(changed_at), txid, login, table_name, row_key, action, old_values, "
                               "new_values, client_addr, application_name FROM nbk_audit")
                + where + QStringLiteral(" ORDER BY audit_id"));
            QTextStream out(stdout);
            for (; !rs.eof(); rs.moveNext()) {
                // the time in the corporation's zone; the program is the client's own claim
                QStringList cells = {cell(reports::trailTime(rs.value(0)))};
                for (int i = 1; i < rs.fieldCount(); ++i)
                    cells << cell(rs.value(i));
                out << cells.join(QLatin1Char('\t')) << "\n";
            }
            rc = 0;
        } catch (const data::DbException &e) {
            QTextStream(stderr) << e.error().description << "\n";
        }
        session.CloseConnection();
    } else {
        QTextStream(stderr) << "nbk-admin: the login failed\n";
    }
    return rc;
}

}  // namespace nbk::admin
