#include "SupervisorOptions.h"

#include "data/engines/Engine.h"
#include "data/dialect/DbError.h"
#include "data/session/Class1.h"

#include <QTextStream>

namespace nbk::admin {

bool splitOptions(const QStringList &args, const QStringList &known, QMap<QString, QString> *options,
                  QStringList *values)
{
    for (int i = 0; i < args.size(); ++i) {
        if (args[i].startsWith(QLatin1String("--")) && i + 1 < args.size()) {
            if (!known.contains(args[i]))
                return false;
            options->insert(args[i], args[i + 1]);
            ++i;
        } else {
            values->append(args[i]);
        }
    }
    return !options->value(QStringLiteral("--database")).isEmpty();
}

bool logInWith(data::Class1 &session, const QMap<QString, QString> &options)
{
    const QString database = options.value(QStringLiteral("--database"));
    const bool server = data::isPostgresUri(database);
    if (!server)
        data::setEmbeddedDatabasePath(database);
    if (session.ConnectToDataBase(options.value(QStringLiteral("--user")), options.value(QStringLiteral("--password")),
                                  server ? database : QString())
        == 2)
        return true;
    QTextStream(stderr) << "nbk-admin: the login failed\n";
    return false;
}

int inSession(const QMap<QString, QString> &options, const std::function<int(data::Class1 &)> &work)
{
    data::Class1 session;
    if (!logInWith(session, options))
        return 1;
    int rc = 1;
    try {
        rc = work(session);
    } catch (const data::DbException &e) {
        QTextStream(stderr) << e.error().description << "\n";
    }
    session.CloseConnection();
    return rc;
}

}  // namespace nbk::admin
