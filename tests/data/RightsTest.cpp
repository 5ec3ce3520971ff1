// Each group may write exactly what the definition's rights say: on the server through the
// grants rendered from them, on the file (clerks) through its authorizer.
#include "data/definition/Definition.h"
#include "support/TestDatabase.h"

using namespace nbk;
using namespace nbk::test;
namespace schema = nbk::data::schema;

namespace {

class Rights : public DbTest {};

// Whether the session may: on the server its privileges as the catalogue gives them, on
// the file whether the authorizer lets a statement that changes no row be prepared.
bool may(data::Class1 &s, bool server, const QString &privilege, const QString &table, const QString &column)
{
    if (server) {
        const QString sql = privilege == QLatin1String("UPDATE")
                                ? QStringLiteral("SELECT CASE WHEN has_column_privilege('%1', '%2', 'UPDATE') THEN 1 ELSE 0 END FROM dual")
                                      .arg(table, column)
                                : QStringLiteral("SELECT CASE WHEN has_table_privilege('%1', '%2') THEN 1 ELSE 0 END FROM dual")
                                      .arg(table, privilege);
        return s.GetCurrentConnection().query(sql).value(0).toInt() == 1;
    }
    const QString sql = privilege == QLatin1String("INSERT")   ? QStringLiteral("INSERT INTO %1 SELECT * FROM %1 WHERE 1 = 0").arg(table)
                        : privilege == QLatin1String("UPDATE") ? QStringLiteral("UPDATE %1 SET %2 = %2 WHERE 1 = 0").arg(table, column)
                                                               : QStringLiteral("DELETE FROM %1 WHERE 1 = 0").arg(table);
    return s.exec(sql) == data::kExecOk;
}

TEST_P(Rights, EachGroupMayWriteExactlyWhatTheDefinitionGrants)
{
    const bool server = GetParam() == EngineKind::Postgres;
    const schema::EngineKind engine = server ? schema::EngineKind::Postgres : schema::EngineKind::Sqlite;
    const struct {
        const char *login;
        schema::Group group;
    } logins[] = {{"clerk1", schema::Group::Clerk}, {"chief", schema::Group::Supervisor}};
    for (const auto &l : logins) {
        // the file's supervisor also sets the file up, the owner's work on the server
        if (!server && l.group == schema::Group::Supervisor)
            continue;
        auto s = db().login(QLatin1String(l.login));
        for (const schema::Table &t : schema::tables()) {
            const QString table = QLatin1String(t.name);
            // the file's own bookkeeping is the engine's, not a right of anyone's
            if (!schema::carries(t.on, engine) || table.startsWith(QLatin1String("nbk_account"))
                || table == QLatin1String("nbk_sequence") || table == QLatin1String("nbk_lock"))
                continue;
            const QString column = QLatin1String(t.columns.back().name);
            for (const char *privilege : {"INSERT", "UPDATE", "DELETE"}) {
                const QString p = QLatin1String(privilege);
                bool expected = schema::allows(l.group, p, table, column);
                // the file cannot tell a key's cascade from a delete of its own
                if (!server && p == QLatin1String("DELETE"))
                    expected = expected || schema::reachedByCascade(l.group, table);
                EXPECT_EQ(may(*s, server, p, table, column), expected)
                    << l.login << " " << privilege << " " << table.toStdString() << " (" << column.toStdString() << ")";
            }
        }
    }
}

NBK_ALL_ENGINES(Rights);

}  // namespace
