#pragma once
#include "data/Schema.h"

#include <QString>
#include <QStringList>

namespace nbk::data::schema {

// Group roles of a server database: clerks book, cancel and read; the supervisor also
// changes the route network. Login roles are made members of one of them.
inline const char *const kClerkRole = "nbk_clerk";
inline const char *const kSupervisorRole = "nbk_supervisor";

// The compatibility schema that gives the client's Oracle SQL its meaning on PostgreSQL.
QStringList postgresCompatStatements();
// Tables, views, sequences and grants (PostgreSQL's dialect).
QStringList postgresSchemaStatements();

// Creates the schema (and, with demo, the demonstration network) in the database the
// libpq URI names, creating the database first when it does not exist. Connects as the
// URI's user: a superuser or the database's owner. A database that already holds the
// schema is never touched.
bool createServerDatabase(const QString &uri, const InitOptions &options, QString *error);

// Creates the login role user (folded to lower case, as the client logs in) with the
// password, a member of the clerk or supervisor group role. An existing role gets the
// new password when replacePassword, and is left as it is otherwise.
bool createServerRole(const QString &uri, const QString &user, const QString &password,
                      bool supervisor, QString *error, bool replacePassword = true);

// Gives an existing login role a new password; fails for a role that does not exist.
bool setServerRolePassword(const QString &uri, const QString &user, const QString &password,
                           QString *error);

}  // namespace nbk::data::schema
