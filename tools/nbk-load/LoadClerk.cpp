#include "LoadClerk.h"

#include "LoadOptions.h"

#include "data/engines/PostgresEngine.h"
#include "data/schema/PostgresSchema.h"

#include <QRandomGenerator>

namespace nbk::load {

bool useClerkLogin(LoadOptions &o, QString *error)
{
    data::PostgresUri owner = data::PostgresUri::parse(o.database);
    owner.user = o.user;
    owner.password = o.password;
    const QString login = owner.database.left(48).toLower() + QStringLiteral("_loadclerk");
    QString password;
    for (int i = 0; i < 3; ++i)
        password += QString::number(QRandomGenerator::system()->generate64(), 36);
    QString why;
    // an account of this database from an earlier run only changes its password
    if (!data::schema::setServerRolePassword(owner.toString(), login, password, &why)
        && !data::schema::createServerRole(owner.toString(), login, password, false, &why)) {
        *error = QStringLiteral("cannot make the sessions' clerk login %1: %2").arg(login, why);
        return false;
    }
    // one login stands for all the sessions, beyond a counter's own limit
    if (!data::schema::setServerRoleConnections(owner.toString(), login, o.sessions + data::schema::kClerkConnections,
                                                &why)) {
        *error = QStringLiteral("cannot give the sessions' clerk login %1 its sessions: %2").arg(login, why);
        return false;
    }
    o.user = login;
    o.password = password;
    return true;
}

}  // namespace nbk::load
