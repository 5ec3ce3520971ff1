#include "ServerCommands.h"

#include "data/engines/PostgresEngine.h"
#include "data/schema/PoolerLookup.h"
#include "data/schema/PostgresSchema.h"

#include <QTextStream>
#include <iostream>
#include <string>

namespace nbk::admin {

bool initServer(const QString &uri, const data::schema::InitOptions &options, QString *error)
{
    return data::schema::createServerDatabase(uri, options, error);
}

bool setServerPassword(const QString &uri, const QString &user, const QString &password, QString *error)
{
    return data::schema::setServerRolePassword(uri, user, password, error);
}

QString withoutPassword(const QString &uri)
{
    data::PostgresUri u = data::PostgresUri::parse(uri);
    if (!u.valid || u.password.isEmpty())
        return uri;
    u.password.clear();
    return u.toString();
}

namespace {

const char *const kServerUsage =
    "  nbk-admin useradd --database URI [--supervisor] USER   (password on standard input)\n"
    "  nbk-admin pooler-lookup --database SUPERUSER_URI AUTH_USER\n";

// nbk-admin useradd --database URI [--supervisor] USER
int useradd(const QStringList &args)
{
    QTextStream err(stderr);
    QString database, user;
    bool supervisor = false;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--database") && i + 1 < args.size())
            database = args[++i];
        else if (args[i] == QLatin1String("--supervisor"))
            supervisor = true;
        else if (user.isEmpty() && !args[i].startsWith(QLatin1String("--")))
            user = args[i];
        else {
            err << "usage:\n" << kServerUsage;
            return 2;
        }
    }
    if (database.isEmpty() || user.isEmpty()) {
        err << "usage:\n" << kServerUsage;
        return 2;
    }
    if (!database.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive)
        && !database.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive)) {
        err << "nbk-admin: useradd works on a server (postgresql://...); an embedded database "
               "has the standing accounts chief, clerk1 and clerk2\n";
        return 2;
    }
    std::string line;
    std::getline(std::cin, line);
    QString password = QString::fromStdString(line);
    while (password.endsWith(QLatin1Char('\r')) || password.endsWith(QLatin1Char('\n')))
        password.chop(1);
    if (password.isEmpty()) {
        err << "nbk-admin: the password is empty\n";
        return 1;
    }
    QString error;
    if (!data::schema::createServerRole(database, user, password, supervisor, &error)) {
        err << "nbk-admin: " << error << "\n";
        return 1;
    }
    QTextStream(stdout) << (supervisor ? "supervisor " : "clerk ") << user.toLower() << " can log in\n";
    return 0;
}

// nbk-admin pooler-lookup --database SUPERUSER_URI AUTH_USER
int poolerLookup(const QStringList &args)
{
    QTextStream err(stderr);
    const int at = args.indexOf(QStringLiteral("--database"));
    if (args.size() != 3 || at < 0 || at + 1 >= args.size()) {
        err << "usage:\n" << kServerUsage;
        return 2;
    }
    const QString database = args[at + 1];
    const QString user = args[at == 0 ? 2 : 0];
    QString error;
    if (!data::schema::createPoolerLookup(database, user, &error)) {
        err << "nbk-admin: " << error << "\n";
        return 1;
    }
    QTextStream(stdout) << "pgbouncer may look up this database's accounts as " << user << ":\n"
                        << "    auth_user = " << user << "\n"
                        << "    auth_query = " << data::schema::kPoolerAuthQuery << "\n";
    return 0;
}

}  // namespace

int runServerCommand(const QString &command, const QStringList &args)
{
    if (command == QLatin1String("useradd"))
        return useradd(args);
    if (command == QLatin1String("pooler-lookup"))
        return poolerLookup(args);
    QTextStream(stderr) << "nbk-admin: unknown command " << command << "\n";
    return 2;
}

}  // namespace nbk::admin
