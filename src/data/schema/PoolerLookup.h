#pragma once
#include <QString>
#include <QStringList>

namespace nbk::data::schema {

// What pgbouncer's auth_query calls to find a login that its auth_file does not list.
inline constexpr const char *kPoolerAuthQuery = "SELECT uname, phash FROM nbk_pooler.lookup($1)";

// The lookup function and its rights in one database: it reads the password verifiers of
// the database's own clerks and supervisors only (never a superuser's, the owner's or
// another database's logins), and only authUser may call it.
QStringList poolerLookupStatements(const QString &authUser);

// Makes the lookup as the URI's user, who must be a superuser: no other role may read the
// verifiers, so the function runs with its maker's rights. authUser is an existing login
// that is neither a superuser nor one of the database's accounts.
bool createPoolerLookup(const QString &superuserUri, const QString &authUser, QString *error);

}  // namespace nbk::data::schema
