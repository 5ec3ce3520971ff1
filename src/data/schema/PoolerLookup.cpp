// The pooler's lookup of logins: pgbouncer's own default reads pg_shadow, which only a
// superuser may, and its auth_user should not be one.
#include "data/schema/PoolerLookup.h"
#include "data/schema/ServerAdmin.h"

namespace nbk::data::schema {

QStringList poolerLookupStatements(const QString &authUser)
{
    const QString user = quoteIdent(authUser);
    return {
        QStringLiteral("CREATE SCHEMA IF NOT EXISTS nbk_pooler"),
        QStringLiteral("REVOKE ALL ON SCHEMA nbk_pooler FROM PUBLIC"),
        // a set, not a record: an unknown login must give pgbouncer no row at all
        QStringLiteral(
            "CREATE OR REPLACE FUNCTION nbk_pooler.lookup(p_user text) RETURNS TABLE (uname text, phash text) "
            "LANGUAGE sql STABLE SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $f$ "
            "SELECT a.rolname::text, a.rolpassword FROM pg_catalog.pg_authid a "
            "WHERE a.rolname = p_user AND a.rolcanlogin AND NOT a.rolsuper "
            "AND (a.rolvaliduntil IS NULL OR a.rolvaliduntil > pg_catalog.now()) "
            "AND EXISTS (SELECT 1 FROM pg_catalog.pg_auth_members m "
            "JOIN pg_catalog.pg_roles g ON g.oid = m.roleid "
            "JOIN public.nbk_groups n ON g.rolname IN (n.clerk, n.supervisor) WHERE m.member = a.oid) $f$"),
        QStringLiteral("REVOKE ALL ON FUNCTION nbk_pooler.lookup(text) FROM PUBLIC"),
        QStringLiteral("GRANT USAGE ON SCHEMA nbk_pooler TO %1").arg(user),
        QStringLiteral("GRANT EXECUTE ON FUNCTION nbk_pooler.lookup(text) TO %1").arg(user),
    };
}

bool createPoolerLookup(const QString &superuserUri, const QString &authUser, QString *error)
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    const PostgresUri uri = PostgresUri::parse(superuserUri);
    if (!uri.valid)
        return fail(QStringLiteral("not a postgresql:// URI: %1").arg(superuserUri));
    ServerAdmin a(uri, false);
    if (!a.ok())
        return fail(a.error());
    if (a.scalar(QStringLiteral("SELECT rolsuper FROM pg_roles WHERE rolname = current_user")) != QLatin1String("true"))
        return fail(QStringLiteral("only a superuser can read the logins' verifiers: give a superuser's URI; "
                                   "nothing was changed"));
    if (!a.exists(QStringLiteral("SELECT 1 FROM pg_class WHERE relname = 'nbk_groups' "
                                 "AND relnamespace = 'public'::regnamespace")))
        return fail(QStringLiteral("database %1 is not a reservation database (no nbk_groups)").arg(uri.database));
    const QString role = quoteLiteral(authUser);
    if (!a.exists(QStringLiteral("SELECT 1 FROM pg_roles WHERE rolname = %1 AND rolcanlogin").arg(role)))
        return fail(QStringLiteral("no login named %1: make it first (createuser --pwprompt %1)").arg(authUser));
    // whoever holds the pooler's password reads every clerk's verifier: it must not book too
    if (a.exists(QStringLiteral("SELECT 1 FROM pg_roles r WHERE r.rolname = %1 AND (r.rolsuper OR EXISTS ("
                                "SELECT 1 FROM pg_auth_members m JOIN pg_roles g ON g.oid = m.roleid "
                                "JOIN nbk_groups n ON g.rolname IN (n.clerk, n.supervisor) WHERE m.member = r.oid))")
                     .arg(role)))
        return fail(QStringLiteral("%1 is a superuser or an account of the database: the pooler needs a login of "
                                   "its own; nothing was changed")
                        .arg(authUser));
    QStringList s = {QStringLiteral("BEGIN")};
    s += poolerLookupStatements(authUser);
    s << QStringLiteral("GRANT CONNECT ON DATABASE %1 TO %2").arg(quoteIdent(uri.database), quoteIdent(authUser))
      << QStringLiteral("COMMIT");
    for (const QString &sql : s)
        if (!a.run(sql)) {
            const QString why = a.error();
            a.run(QStringLiteral("ROLLBACK"));
            return fail(why);
        }
    return true;
}

}  // namespace nbk::data::schema
