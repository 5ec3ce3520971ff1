#include "data/AdminConnectionBase.h"
#include "data/BackupFile.h"
#include "data/PasswordHash.h"
#include "data/Schema.h"
#include "data/SqliteEngine.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <cerrno>
#include <unistd.h>

namespace nbk::data::schema {

namespace {

// A raw connection to an embedded file, for the work that comes before any account.
class AdminConnection : public AdminConnectionBase {
public:
    explicit AdminConnection(const QString &path, bool create)
        : AdminConnectionBase(QStringLiteral("QSQLITE"), QStringLiteral("nbk_admin_"))
    {
        QSqlDatabase db = this->db();
        db.setDatabaseName(path);
        if (!create)
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READWRITE_NO_CREATE"));
        ok_ = db.open();
        if (!ok_)
            error_ = db.lastError().text();
        else if (!SqliteEngine::configure(db, &error_))
            ok_ = false;
    }

    bool run(const QString &sql, const QVariantList &binds = {})
    {
        QSqlQuery q(db());
        bool done = binds.isEmpty() ? q.exec(sql) : (q.prepare(sql) && [&] {
            for (const QVariant &b : binds)
                q.addBindValue(b);
            return q.exec();
        }());
        if (!done)
            error_ = q.lastError().text() + QStringLiteral(" in: ") + sql;
        return done;
    }
};

bool storeAccount(AdminConnection &c, const QString &user, const QString &password, int iterations,
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
    AdminConnection c(path, true);
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
    if (!c.run(QStringLiteral("COMMIT")))
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
    AdminConnection c(path, false);
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
