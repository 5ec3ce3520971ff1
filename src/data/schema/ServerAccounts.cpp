// Login roles of a server database: added once, never taken over, passwords as verifiers.
#include "data/schema/PostgresSchema.h"
#include "data/schema/ServerAdmin.h"

#include <QSqlDriver>
#include <libpq-fe.h>

namespace nbk::data::schema {

namespace {

bool failWith(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

// The database's own groups, from the table init wrote.
bool readGroups(ServerAdmin &a, ServerGroups &g)
{
    QSqlQuery q(a.db());
    if (!q.exec(QStringLiteral("SELECT clerk, supervisor FROM nbk_groups")) || !q.next()) {
        a.setError(QStringLiteral("not a reservation database of this version (no nbk_groups): run nbk-admin init"));
        return false;
    }
    g = {q.value(0).toString(), q.value(1).toString()};
    return true;
}

// The SCRAM-SHA-256 verifier of password, made by libpq here: the clear text never
// reaches the server, its log or a statement that fails.
QString verifier(ServerAdmin &a, const QString &role, const QString &password)
{
    const QVariant h = a.db().driver()->handle();
    if (!h.isValid() || (qstrcmp(h.typeName(), "PGconn*") != 0 && qstrcmp(h.typeName(), "pg_conn*") != 0)) {
        a.setError(QStringLiteral("no libpq connection (%1)").arg(QLatin1String(h.typeName())));
        return QString();
    }
    PGconn *conn = *static_cast<PGconn *const *>(h.constData());
    char *v = PQencryptPasswordConn(conn, password.toUtf8().constData(), role.toUtf8().constData(), "scram-sha-256");
    if (!v) {
        a.setError(QString::fromUtf8(PQerrorMessage(conn)).trimmed());
        return QString();
    }
    const QString out = QString::fromLatin1(v);
    PQfreemem(v);
    return out;
}

}  // namespace

bool createServerRole(const QString &uriText, const QString &user, const QString &password, bool supervisor,
                      QString *error)
{
    const PostgresUri uri = PostgresUri::parse(uriText);
    if (!uri.valid)
        return failWith(error, QStringLiteral("not a postgresql:// URI: %1").arg(uriText));
    const QString role = user.toLower();
    if (role.trimmed().isEmpty())
        return failWith(error, QStringLiteral("no user name given"));
    ServerAdmin a(uri, false);
    ServerGroups groups;
    if (!a.ok() || !readGroups(a, groups))
        return failWith(error, a.error());
    // any role of the cluster: the superuser, another database's clerk, a group
    if (a.exists(QStringLiteral("SELECT 1 FROM pg_roles WHERE rolname = %1").arg(quoteLiteral(role))))
        return failWith(error, QStringLiteral("a role named %1 exists already on the server; nothing was changed "
                                              "(passwd changes the password of this database's accounts)")
                                   .arg(role));
    const QString v = verifier(a, role, password);
    if (v.isEmpty())
        return failWith(error, QStringLiteral("could not make the password's verifier: ") + a.error());
    QStringList statements = {QStringLiteral("BEGIN"),
                              QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD %2 IN ROLE %3")
                                  .arg(quoteIdent(role), quoteLiteral(v),
                                       quoteIdent(supervisor ? groups.supervisor : groups.clerk))};
    statements += postgresLoginLimitStatements(role, uri.database, supervisor);
    statements += postgresDrawCounterStatements(role);
    statements << QStringLiteral("COMMIT");
    for (const QString &sql : statements) {
        if (!a.run(sql, true)) {
            const QString reason = a.error();
            a.run(QStringLiteral("ROLLBACK"));
            return failWith(error, reason);
        }
    }
    return true;
}

namespace {
// An admin connection to the URI's database and whether user is one of its login roles.
bool ownAccount(ServerAdmin &a, const PostgresUri &uri, const QString &role, QString *error)
{
    ServerGroups groups;
    if (!a.ok() || !readGroups(a, groups))
        return failWith(error, a.error());
    const bool ours = a.exists(
        QStringLiteral("SELECT 1 FROM pg_auth_members m JOIN pg_roles r ON r.oid = m.member "
                       "JOIN pg_roles g ON g.oid = m.roleid WHERE r.rolname = %1 AND r.rolcanlogin "
                       "AND NOT r.rolsuper AND g.rolname IN (%2, %3)")
            .arg(quoteLiteral(role), quoteLiteral(groups.clerk), quoteLiteral(groups.supervisor)));
    if (!ours)
        return failWith(error, QStringLiteral("%1 is no account of database %2; nothing was changed")
                                   .arg(role, uri.database));
    return true;
}
}  // namespace

bool setServerRoleConnections(const QString &uriText, const QString &user, int connections, QString *error)
{
    const PostgresUri uri = PostgresUri::parse(uriText);
    if (!uri.valid)
        return failWith(error, QStringLiteral("not a postgresql:// URI: %1").arg(uriText));
    const QString role = user.toLower();
    ServerAdmin a(uri, false);
    if (!ownAccount(a, uri, role, error))
        return false;
    if (!a.run(QStringLiteral("ALTER ROLE %1 CONNECTION LIMIT %2").arg(quoteIdent(role)).arg(connections)))
        return failWith(error, a.error());
    return true;
}

bool setServerRolePassword(const QString &uriText, const QString &user, const QString &password, QString *error)
{
    const PostgresUri uri = PostgresUri::parse(uriText);
    if (!uri.valid)
        return failWith(error, QStringLiteral("not a postgresql:// URI: %1").arg(uriText));
    const QString role = user.toLower();
    ServerAdmin a(uri, false);
    if (!ownAccount(a, uri, role, error))
        return false;
    const QString v = verifier(a, role, password);
    if (v.isEmpty())
        return failWith(error, QStringLiteral("could not make the password's verifier: ") + a.error());
    if (!a.run(QStringLiteral("ALTER ROLE %1 PASSWORD %2").arg(quoteIdent(role), quoteLiteral(v)), true))
        return failWith(error, a.error());
    return true;
}

}  // namespace nbk::data::schema
