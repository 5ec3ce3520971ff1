#include "data/engines/AdminConnectionBase.h"
#include "data/engines/PasswordHash.h"
#include "data/schema/Schema.h"
#include "data/engines/SqliteEngine.h"
#include "data/schema/EmbeddedAdmin.h"
#include "data/schema/SchemaVersion.h"
#include "data/schema/BackupFile.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <cerrno>
#include <unistd.h>

namespace nbk::data::schema {

namespace {

bool storeAccount(EmbeddedAdmin &c, const QString &user, const QString &password, int iterations,
                  bool create, bool supervisor)
{
    const StoredPassword sp = hashPassword(password, iterations);
    if (!sp.isValid())
        return false;
    if (create)
        return c.run(QStringLiteral("INSERT INTO nbk_account (username, salt, iterations, hash, supervisor) "
                                    "VALUES (?, ?, ?, ?, ?)"),
                     {user, sp.salt, sp.iterations, sp.hash, supervisor ? 1 : 0});
    QSqlQuery q(c.db());
    q.prepare(QStringLiteral("UPDATE nbk_account SET salt = ?, iterations = ?, hash = ? WHERE username = ?"));
    q.addBindValue(sp.salt);
    q.addBindValue(sp.iterations);
    q.addBindValue(sp.hash);
    q.addBindValue(user);
    return q.exec() && q.numRowsAffected() == 1;
}

}  // namespace

bool createEmbeddedDatabase(const QString &path, const InitOptions &options, QString *error)
{
    if (QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("%1 exists already; it is left as it is").arg(path);
        return false;
    }
    // made empty first, readable by its owner only: SQLite gives the -wal and -shm files
    // the mode of the database file
    const int fd = backup::createPrivate(path);
    if (fd < 0) {
        if (error)
            *error = backup::fileProblem(path, errno);
        return false;
    }
    ::close(fd);
    EmbeddedAdmin c(path, true);
    auto failed = [&] {
        if (error)
            *error = c.error();
        return false;
    };
    if (!c.ok())
        return failed();
    if (!c.run(QStringLiteral("BEGIN")))
        return failed();
    for (const QString &stmt : embeddedSchemaStatements())
        if (!c.run(stmt))
            return failed();
    const bool standing = options.supervisorPassword.isEmpty();
    const QString supervisorPassword = standing ? QLatin1String(kDefaultPassword) : options.supervisorPassword;
    if (!storeAccount(c, QLatin1String(kSupervisor), supervisorPassword, options.kdfIterations, true, true))
        return failed();
    for (const char *clerk : kClerks)
        if (standing
            && !storeAccount(c, QLatin1String(clerk), QLatin1String(kDefaultPassword), options.kdfIterations, true,
                             false))
            return failed();
    SqliteEngine engine;
    QStringList data = referenceDataStatements();
    if (options.demo)
        data += demoDataStatements();
    for (const QString &stmt : data)
        if (!c.run(engine.translate(stmt)))
            return failed();
    if (!c.run(recordVersionStatement(kCurrentVersion)) || !c.run(QStringLiteral("COMMIT")))
        return failed();
    return true;
}

bool setEmbeddedPassword(const QString &path, const QString &user, const QString &password,
                         int kdfIterations, bool create, bool supervisor, QString *error)
{
    if (!QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("%1 does not exist").arg(path);
        return false;
    }
    EmbeddedAdmin c(path, false);
    if (c.ok() && create) {
        QSqlQuery q(c.db());
        q.prepare(QStringLiteral("SELECT 1 FROM nbk_account WHERE username = ?"));
        q.addBindValue(user);
        if (q.exec() && q.next()) {
            if (error)
                *error = QStringLiteral("an account named %1 exists already; nothing was changed (passwd changes "
                                        "its password)")
                             .arg(user);
            return false;
        }
    }
    if (!c.ok() || !storeAccount(c, user, password, kdfIterations, create, supervisor)) {
        if (error)
            *error = c.error().isEmpty() ? QStringLiteral("no account named %1").arg(user) : c.error();
        return false;
    }
    return true;
}

}  // namespace nbk::data::schema
