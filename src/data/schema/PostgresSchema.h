#pragma once
#include "data/schema/Schema.h"

#include <QString>
#include <QStringList>

namespace nbk::data::schema {

// Group roles of one server database: clerks book, cancel and read; the supervisor also
// changes the route network. Each database has its own pair (login roles are made members
// of one of them), and only they may connect to it. The names are kept in the database's
// table nbk_groups.
struct ServerGroups {
    QString clerk;
    QString supervisor;
};
// The pair a new database gets: its name with _clerk and _supervisor.
ServerGroups serverGroupsFor(const QString &database);
class ServerAdmin;
// Creates the groups of a database under names no role holds yet (the pair above, or
// with a number after it); false with the admin connection's error.
bool createServerGroups(ServerAdmin &a, const QString &database, ServerGroups *groups);

// Session limits on each login role of a database (a setting on a group reaches none of
// its members): a lock wait ends in a refusal, a clerk's statement cannot run for long,
// and a clerk's open transaction ends when left alone longer than typing a customer's
// details takes.
inline const char *const kLockTimeout = "3s";
inline const char *const kClerkStatementTimeout = "15s";
inline const char *const kClerkIdleTimeout = "3min";
// Sessions one login may hold at once (a counter needs one, a reconnect a second while
// the lost one is noticed): one login's flood of idle sessions cannot use up the server's
// connections and lock every other counter out. A role's own limit, which only the owner
// changes; the load driver's login, standing for many counters, is given its sessions.
inline constexpr int kClerkConnections = 8;
inline constexpr int kSupervisorConnections = 16;

// The compatibility schema that gives the client's Oracle SQL its meaning on PostgreSQL.
QStringList postgresCompatStatements();
// Tables, views and sequences (PostgreSQL's dialect).
QStringList postgresSchemaStatements();
// The invariants checked at commit, the rules on booked runs and the audit trail: its
// table, and the functions and triggers (made anew by an upgrade).
QStringList postgresRulesStatements();
QStringList postgresAuditTableStatements();
QStringList postgresRuleObjectStatements();
// What each group may do.
QStringList postgresGrantStatements(const ServerGroups &groups);
// Only the two groups connect to the database.
QStringList postgresDatabaseAccessStatements(const QString &database, const ServerGroups &groups);
// The limits of one login role's sessions in one database.
QStringList postgresLoginLimitStatements(const QString &login, const QString &database, bool supervisor);
// The count of a login's draws of ids (see kDrawnIds), made in the login's database by a
// connection to it.
QStringList postgresDrawCounterStatements(const QString &login);

// Creates the schema (and, with demo, the demonstration network) in the database the
// libpq URI names, creating the database first when it does not exist. Connects as the
// URI's user: a superuser or the database's owner. A database that already holds the
// schema is never touched.
bool createServerDatabase(const QString &uri, const InitOptions &options, QString *error);

// Adds the login role user (folded to lower case, as the client logs in) to this
// database, a member of its clerk or supervisor group. A name that any role of the
// cluster has already is refused with nothing changed. The password goes to the server as
// a SCRAM-SHA-256 verifier made here; neither it nor the verifier is in an error text.
bool createServerRole(const QString &uri, const QString &user, const QString &password,
                      bool supervisor, QString *error);

// Gives a login role of this database (a member of one of its groups) a new password, as
// a verifier; any other role is refused.
bool setServerRolePassword(const QString &uri, const QString &user, const QString &password,
                           QString *error);

// How many sessions a login role of this database may hold at once (the load driver's
// login, which stands for many counters); any other role is refused.
bool setServerRoleConnections(const QString &uri, const QString &user, int connections, QString *error);

}  // namespace nbk::data::schema
