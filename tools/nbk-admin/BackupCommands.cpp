#include "BackupCommands.h"

#include "data/schema/Backup.h"
#include "data/engines/Engine.h"

#include <QTextStream>

namespace nbk::admin {

namespace {

int usage()
{
    QTextStream(stderr) << "usage:\n" << kBackupUsage;
    return 2;
}

// One line per problem or note on standard error; the exit code says which.
int finish(bool ok, const QString &error, const QStringList &notes, const QString &done)
{
    QTextStream err(stderr);
    for (const QString &n : notes)
        err << "nbk-admin: " << n << "\n";
    if (!ok) {
        err << "nbk-admin: " << error << "\n";
        return 1;
    }
    QTextStream(stdout) << done << "\n";
    return 0;
}

}  // namespace

int runBackup(const QStringList &args)
{
    if (args.size() != 2 || args[0].startsWith(QLatin1String("--")))
        return usage();
    const QString &database = args[0], &file = args[1];
    QString error;
    QStringList notes;
    const bool ok = data::isPostgresUri(database) ? data::backup::backupServer(database, file, &notes, &error)
                                                  : data::backup::backupEmbedded(database, file, {}, &error);
    return finish(ok, error, notes, QStringLiteral("backup written to %1").arg(file));
}

int runRestore(const QStringList &args)
{
    if (args.size() != 2 || args[0].startsWith(QLatin1String("--")))
        return usage();
    const QString &file = args[0], &database = args[1];
    QString error;
    QStringList notes;
    const bool server = data::isPostgresUri(database);
    const bool ok = server ? data::backup::restoreServer(file, database, &notes, &error)
                           : data::backup::restoreEmbedded(file, database, &error);
    return finish(ok, error, notes, QStringLiteral("restored %1").arg(server ? QStringLiteral("the database") : database));
}

}  // namespace nbk::admin
