#include "ServerCommands.h"

#include <QTextStream>

namespace nbk::admin {

bool initServer(const QString &, const data::schema::InitOptions &, QString *error)
{
    if (error)
        *error = QStringLiteral("PostgreSQL servers are not supported by this build yet");
    return false;
}

bool setServerPassword(const QString &, const QString &, const QString &, QString *error)
{
    if (error)
        *error = QStringLiteral("PostgreSQL servers are not supported by this build yet");
    return false;
}

int runServerCommand(const QString &command, const QStringList &)
{
    QTextStream(stderr) << "nbk-admin: unknown command " << command << "\n";
    return 2;
}

}  // namespace nbk::admin
