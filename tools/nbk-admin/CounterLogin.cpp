#include "CounterLogin.h"

#include "data/session/Class1.h"
#include "data/engines/Engine.h"

namespace nbk::admin {

bool counterLogin(data::Class1 &session, const QString &database, const QString &user, const QString &password)
{
    QString server;
    if (data::isPostgresUri(database))
        server = database;
    else
        data::setEmbeddedDatabasePath(database);
    for (;;) {
        const qint16 driver = session.DriverIndex();
        const qint16 result = session.ConnectToDataBase(user, password, server);
        if (result == 2)
            return true;
        // 1 is final; a 0 that kept the driver was the server's refusal (a wrong password)
        if (result == 1 || session.DriverIndex() == driver)
            return false;
    }
}

}  // namespace nbk::admin
