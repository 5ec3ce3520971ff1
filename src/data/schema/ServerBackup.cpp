// Backup and restore of a server database: pg_dump's archive with the database's own roles,
// packed into one file.
//
// The file: a header line "NBK-RESERVATION-BACKUP 1 postgresql nbk-admin schema N", then
// sections "NAME LENGTH\n" + LENGTH bytes + "\n" (manifest: JSON of the groups, logins,
// settings and verifiers; pg_dump: the custom-format archive), then "sha256 HEX\n" over
// every byte before that line, so that a truncated or damaged file is known before anything
// is restored.
#include "data/schema/Backup.h"
#include "data/schema/BackupFile.h"
#include "data/schema/PostgresSchema.h"
#include "data/schema/SchemaVersion.h"
#include "data/schema/ServerAdmin.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace nbk::data::backup {

namespace {

using schema::quoteIdent;
using schema::quoteLiteral;
using schema::ServerAdmin;

bool failWith(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

QString loginProblem(const PostgresUri &uri, const QString &reason)
{
    if (reason.contains(QLatin1String("password authentication failed")))
        return QStringLiteral("the server refused the password of %1: give the right password in the URI")
            .arg(uri.user);
    return QStringLiteral("cannot connect to %1 on the server (%2): check the URI").arg(uri.database, reason.simplified());
}

// The URI that pg_dump and pg_restore get: the password travels in their environment,
// never in an argument list.
QString withoutPassword(PostgresUri uri, const QString &database)
{
    uri.password.clear();
    uri.database = database;
    return uri.toString();
}

// Runs a PostgreSQL client program; "" or its first error line.
QString runTool(const QString &program, const QStringList &args, const PostgresUri &uri)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!uri.password.isEmpty())
        env.insert(QStringLiteral("PGPASSWORD"), uri.password);
    env.insert(QStringLiteral("PGCONNECT_TIMEOUT"), QStringLiteral("10"));
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForStarted())
        return QStringLiteral("%1 cannot be started: install the PostgreSQL client (postgresql-client)").arg(program);
    p.closeWriteChannel();
    p.waitForFinished(-1);
    if (p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
        return QString();
    const QStringList lines = QString::fromUtf8(p.readAllStandardError()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString &l : lines)
        if (l.contains(QLatin1String("error")) || l.contains(QLatin1String("FATAL")))
            return l.trimmed();
    return lines.isEmpty() ? QStringLiteral("%1 failed").arg(program) : lines.first().trimmed();
}

bool diskFull(const QString &toolError)
{
    return toolError.contains(QLatin1String("No space left")) || toolError.contains(QLatin1String("File too large"));
}

// Writes through a descriptor, hashing what it writes; errno tells a failure.
class Writer {
public:
    explicit Writer(const QString &path) : fd_(::open(QFile::encodeName(path).constData(), O_WRONLY | O_TRUNC | O_CLOEXEC)) {}
    ~Writer()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    bool write(const QByteArray &bytes)
    {
        hash_.addData(bytes);
        const char *p = bytes.constData();
        qsizetype left = bytes.size();
        while (fd_ >= 0 && left > 0) {
            const ssize_t n = ::write(fd_, p, size_t(left));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            p += n;
            left -= n;
        }
        return fd_ >= 0;
    }
    bool writeSection(const char *name, const QByteArray &bytes)
    {
        return write(QByteArray(name) + ' ' + QByteArray::number(bytes.size()) + '\n') && write(bytes) && write("\n");
    }
    QByteArray digest() const { return hash_.result().toHex(); }
    bool close()
    {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
    QCryptographicHash hash_{QCryptographicHash::Sha256};
};

QByteArray headerLine()
{
    return QByteArray(kServerMagic) + ' ' + QByteArray::number(kServerFormat) + " postgresql nbk-admin schema "
           + QByteArray::number(schema::kCurrentVersion) + '\n';
}

// The parts of a server backup, checked against its checksum.
struct Unpacked {
    QJsonObject manifest;
    QString dumpPath;  // the archive, in a folder of its own
};

bool unpack(const QString &file, const QString &folder, Unpacked &u, QString *error)
{
    const QString damaged = QStringLiteral("%1 is damaged or cut short: use another backup").arg(file);
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return failWith(error, QStringLiteral("cannot read %1: check its permissions").arg(file));
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const QByteArray header = in.readLine(256);
    const QList<QByteArray> words = header.trimmed().split(' ');
    if (words.value(0) != kServerMagic || words.value(2) != "postgresql")
        return failWith(error, damaged);
    if (words.value(1).toInt() != kServerFormat)
        return failWith(error, QStringLiteral("%1 has backup format %2, which this nbk-admin does not read: restore it "
                                              "with the version that wrote it")
                                   .arg(file, QString::fromLatin1(words.value(1))));
    hash.addData(header);
    QByteArray manifest;
    bool haveDump = false;
    for (;;) {
        const QByteArray line = in.readLine(256);
        if (line.startsWith("sha256 ")) {
            if (line.mid(7).trimmed() != hash.result().toHex() || !in.atEnd() || manifest.isEmpty() || !haveDump)
                return failWith(error, damaged);
            break;
        }
        hash.addData(line);
        const QList<QByteArray> w = line.trimmed().split(' ');
        bool ok = false;
        qint64 length = w.value(1).toLongLong(&ok);
        if (w.size() != 2 || !ok || length < 0 || length > in.size())
            return failWith(error, damaged);
        if (w[0] == "manifest") {
            manifest = in.read(length);
            if (manifest.size() != length)
                return failWith(error, damaged);
            hash.addData(manifest);
        } else if (w[0] == "pg_dump") {
            u.dumpPath = folder + QStringLiteral("/database.dump");
            QFile out(u.dumpPath);
            if (!out.open(QIODevice::WriteOnly))
                return failWith(error, QStringLiteral("cannot unpack the archive: %1").arg(out.errorString()));
            while (length > 0) {
                const QByteArray chunk = in.read(qMin<qint64>(length, 1 << 20));
                if (chunk.isEmpty())
                    return failWith(error, damaged);
                hash.addData(chunk);
                if (out.write(chunk) != chunk.size())
                    return failWith(error, QStringLiteral("cannot unpack the archive: %1").arg(out.errorString()));
                length -= chunk.size();
            }
            haveDump = true;
        } else {
            return failWith(error, damaged);
        }
        const QByteArray end = in.read(1);
        if (end != "\n")
            return failWith(error, damaged);
        hash.addData(end);
    }
    QJsonParseError pe;
    u.manifest = QJsonDocument::fromJson(manifest, &pe).object();
    if (pe.error != QJsonParseError::NoError)
        return failWith(error, damaged);
    if (u.manifest.value(QStringLiteral("schema_version")).toInt() > schema::kCurrentVersion)
        return failWith(error, QStringLiteral("%1 holds a database of a newer program (schema %2): restore it with that "
                                              "version")
                                   .arg(file)
                                   .arg(u.manifest.value(QStringLiteral("schema_version")).toInt()));
    return true;
}

}  // namespace

bool backupServer(const QString &uriText, const QString &file, QStringList *notes, QString *error)
{
    const PostgresUri uri = PostgresUri::parse(uriText);
    if (!uri.valid || uri.database.isEmpty())
        return failWith(error, QStringLiteral("not a postgresql:// URI naming a database: %1").arg(uriText));
    if (QFileInfo::exists(file))
        return failWith(error, QStringLiteral("%1 exists already; a backup never replaces a file: give a new name")
                                   .arg(file));
    ServerAdmin a(uri, false);
    if (!a.ok())
        return failWith(error, loginProblem(uri, a.error()));
    QSqlQuery q(a.db());
    if (!q.exec(QStringLiteral("SELECT clerk, supervisor FROM nbk_groups")) || !q.next())
        return failWith(error, QStringLiteral("database %1 is not a reservation database (no nbk_groups): give the URI "
                                              "of a database nbk-admin init made")
                                   .arg(uri.database));
    const schema::ServerGroups groups{q.value(0).toString(), q.value(1).toString()};
    const bool superuser = a.scalar(QStringLiteral("SELECT rolsuper FROM pg_roles WHERE rolname = current_user")) == QLatin1String("true");
    const bool owner = a.scalar(QStringLiteral("SELECT pg_get_userbyid(datdba) = current_user FROM pg_database "
                                               "WHERE datname = current_database()"))
                       == QLatin1String("true");
    if (!superuser && !owner)
        return failWith(error, QStringLiteral("%1 neither owns database %2 nor is a superuser: give the owner's URI")
                                   .arg(uri.user, uri.database));

    // this database's logins: the login members of its two groups (never a superuser)
    QJsonArray logins;
    QStringList loginNames;
    QStringList withoutVerifier;
    q.exec(QStringLiteral("SELECT r.rolname, bool_or(g.rolname = %2), a.rolpassword FROM pg_auth_members m "
                          "JOIN pg_roles r ON r.oid = m.member JOIN pg_roles g ON g.oid = m.roleid "
                          "LEFT JOIN (SELECT NULL::name AS rolname, NULL::text AS rolpassword %3) a ON a.rolname = r.rolname "
                          "WHERE g.rolname IN (%1, %2) AND r.rolcanlogin AND NOT r.rolsuper "
                          "GROUP BY r.rolname, a.rolpassword ORDER BY r.rolname")
               .arg(quoteLiteral(groups.clerk), quoteLiteral(groups.supervisor),
                    superuser ? QStringLiteral("UNION ALL SELECT rolname, rolpassword FROM pg_authid") : QString()));
    while (q.next()) {
        QJsonObject l{{QStringLiteral("name"), q.value(0).toString()},
                      {QStringLiteral("group"), q.value(1).toBool() ? QStringLiteral("supervisor") : QStringLiteral("clerk")}};
        if (!q.value(2).isNull() && !q.value(2).toString().isEmpty())
            l.insert(QStringLiteral("verifier"), q.value(2).toString());
        else
            withoutVerifier << q.value(0).toString();
        loginNames << q.value(0).toString();
        logins.append(l);
    }
    if (q.lastError().isValid())
        return failWith(error, q.lastError().databaseText());
    // the settings of the database (role "") and of its logins within it
    QJsonArray settings;
    q.exec(QStringLiteral("SELECT coalesce(r.rolname, ''), unnest(s.setconfig) FROM pg_db_role_setting s "
                          "JOIN pg_database d ON d.oid = s.setdatabase LEFT JOIN pg_roles r ON r.oid = s.setrole "
                          "WHERE d.datname = current_database() ORDER BY 1, 2"));
    while (q.next()) {
        const QString role = q.value(0).toString();
        if (!role.isEmpty() && !loginNames.contains(role))
            continue;
        const QString setting = q.value(1).toString();
        settings.append(QJsonObject{{QStringLiteral("role"), role},
                                    {QStringLiteral("name"), setting.section(QLatin1Char('='), 0, 0)},
                                    {QStringLiteral("value"), setting.section(QLatin1Char('='), 1)}});
    }
    if (!withoutVerifier.isEmpty() && notes)
        *notes << (superuser ? QStringLiteral("%1 have no password on the server: after a restore give each one with "
                                              "nbk-admin passwd")
                             : QStringLiteral("the passwords of %1 are not in the backup (only a superuser may read "
                                              "them): after a restore give each a new one with nbk-admin passwd"))
                      .arg(withoutVerifier.join(QStringLiteral(", ")));
    const QJsonObject manifest{
        {QStringLiteral("format"), kServerFormat},
        {QStringLiteral("program"), QStringLiteral("nbk-admin")},
        {QStringLiteral("schema_version"), schema::kCurrentVersion},
        {QStringLiteral("database"), uri.database},
        {QStringLiteral("made"), QDateTime::currentDateTimeUtc().toString(Qt::ISODate)},
        {QStringLiteral("server_version"), a.scalar(QStringLiteral("SHOW server_version"))},
        {QStringLiteral("groups"), QJsonObject{{QStringLiteral("clerk"), groups.clerk},
                                               {QStringLiteral("supervisor"), groups.supervisor}}},
        {QStringLiteral("logins"), logins},
        {QStringLiteral("settings"), settings}};

    PendingFile dump(file + QStringLiteral(".dump"));
    PendingFile pack(file);
    if (!dump.ok() || !pack.ok())
        return failWith(error, dump.ok() ? pack.error() : dump.error());
    const QString dumped = runTool(QStringLiteral("pg_dump"),
                                   {QStringLiteral("--format=custom"), QStringLiteral("--no-password"),
                                    QStringLiteral("--file=") + dump.path(),
                                    // the pooler's lookup is a superuser's: made again per cluster
                                    QStringLiteral("--exclude-schema=nbk_pooler"),
                                    QStringLiteral("--dbname=") + withoutPassword(uri, uri.database)},
                                   uri);
    if (!dumped.isEmpty())
        return failWith(error, diskFull(dumped) ? fileProblem(file, ENOSPC) : QStringLiteral("pg_dump: ") + dumped);

    Writer w(pack.path());
    bool written = w.write(headerLine())
                   && w.writeSection("manifest", QJsonDocument(manifest).toJson(QJsonDocument::Compact));
    QFile archive(dump.path());
    if (written && archive.open(QIODevice::ReadOnly)) {
        written = w.write("pg_dump " + QByteArray::number(archive.size()) + '\n');
        while (written && !archive.atEnd())
            written = w.write(archive.read(1 << 20));
        written = written && w.write("\n");
    }
    written = written && w.write("sha256 " + w.digest() + '\n');
    const int writeErrno = errno;
    if (!w.close() || !written)
        return failWith(error, fileProblem(file, written ? errno : writeErrno));
    if (!pack.publish(false))
        return failWith(error, pack.error());
    return true;
}

bool restoreServer(const QString &file, const QString &uriText, QStringList *notes, QString *error)
{
    const PostgresUri uri = PostgresUri::parse(uriText);
    if (!uri.valid || uri.database.isEmpty())
        return failWith(error, QStringLiteral("not a postgresql:// URI naming a database: %1").arg(uriText));
    switch (fileKind(file)) {
    case FileKind::Missing:
        return failWith(error, QStringLiteral("%1 does not exist: give a backup file").arg(file));
    case FileKind::Unreadable:
        return failWith(error, QStringLiteral("cannot read %1: check its permissions").arg(file));
    case FileKind::Embedded:
        return failWith(error, QStringLiteral("%1 is a backup of an embedded database: restore it to a file").arg(file));
    case FileKind::Foreign:
        return failWith(error, QStringLiteral("%1 is not a backup of this program: give a file nbk-admin backup "
                                              "wrote")
                                   .arg(file));
    case FileKind::Server:
        break;
    }
    QTemporaryDir work;
    Unpacked u;
    if (!work.isValid())
        return failWith(error, QStringLiteral("no room for a temporary folder: %1").arg(work.errorString()));
    if (!unpack(file, work.path(), u, error))
        return false;
    const QJsonObject g = u.manifest.value(QStringLiteral("groups")).toObject();
    const schema::ServerGroups groups{g.value(QStringLiteral("clerk")).toString(),
                                      g.value(QStringLiteral("supervisor")).toString()};
    const QJsonArray logins = u.manifest.value(QStringLiteral("logins")).toArray();

    // the database: missing, or holding nothing
    bool createDatabase = false;
    {
        ServerAdmin probe(uri, false);
        if (!probe.ok()) {
            if (!probe.error().contains(QLatin1String("does not exist")))
                return failWith(error, loginProblem(uri, probe.error()));
            createDatabase = true;
        } else {
            const int tables = probe.scalar(QStringLiteral(
                "SELECT count(*) FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
                "WHERE c.relkind IN ('r', 'p', 'v', 'm', 'S', 'f') AND n.nspname NOT IN ('pg_catalog', 'information_schema') "
                "AND n.nspname NOT LIKE 'pg_toast%'")).toInt();
            if (tables > 0 || probe.exists(QStringLiteral("SELECT 1 FROM pg_namespace WHERE nspname = 'oracompat'")))
                return failWith(error, QStringLiteral("database %1 holds tables already; it is left as it is: restore "
                                                      "onto a new database name")
                                           .arg(uri.database));
        }
    }
    const QString maintenanceDb = createDatabase ? QStringLiteral("postgres") : uri.database;
    PostgresUri admin = uri;
    admin.database = maintenanceDb;
    ServerAdmin a(admin, false);
    if (!a.ok())
        return failWith(error, loginProblem(admin, a.error()));

    // every role is checked before any is made: a clash changes nothing
    auto roleKind = [&](const QString &name) {
        return a.scalar(QStringLiteral("SELECT CASE WHEN rolsuper THEN 'super' WHEN rolcanlogin THEN 'login' "
                                       "ELSE 'group' END FROM pg_roles WHERE rolname = %1")
                            .arg(quoteLiteral(name)));
    };
    auto memberOf = [&](const QString &member, const QString &group) {
        return a.exists(QStringLiteral("SELECT 1 FROM pg_auth_members m JOIN pg_roles r ON r.oid = m.member "
                                       "JOIN pg_roles g ON g.oid = m.roleid WHERE r.rolname = %1 AND g.rolname = %2")
                            .arg(quoteLiteral(member), quoteLiteral(group)));
    };
    QStringList create;
    for (const QString &group : {groups.clerk, groups.supervisor}) {
        if (group.isEmpty())
            return failWith(error, QStringLiteral("%1 is damaged (no groups named): use another backup").arg(file));
        const QString kind = roleKind(group);
        if (kind.isEmpty())
            create << QStringLiteral("CREATE ROLE %1 NOLOGIN").arg(quoteIdent(group));
        else if (kind != QLatin1String("group"))
            return failWith(error, QStringLiteral("the server has a login role named %1, which the database needs for "
                                                  "its group: rename or drop that role, or restore on another server")
                                       .arg(group));
    }
    if (!memberOf(groups.supervisor, groups.clerk))
        create << QStringLiteral("GRANT %1 TO %2").arg(quoteIdent(groups.clerk), quoteIdent(groups.supervisor));
    QStringList made, passwordless;
    for (const QJsonValue &v : logins) {
        const QJsonObject l = v.toObject();
        const QString name = l.value(QStringLiteral("name")).toString();
        const QString group = l.value(QStringLiteral("group")).toString() == QLatin1String("supervisor")
                                  ? groups.supervisor
                                  : groups.clerk;
        const QString kind = roleKind(name);
        if (kind.isEmpty()) {
            const QString verifier = l.value(QStringLiteral("verifier")).toString();
            create << QStringLiteral("CREATE ROLE %1 LOGIN%2 IN ROLE %3")
                          .arg(quoteIdent(name),
                               verifier.isEmpty() ? QString() : QStringLiteral(" PASSWORD ") + quoteLiteral(verifier),
                               quoteIdent(group));
            made << name;
            if (verifier.isEmpty())
                passwordless << name;
        } else if (kind != QLatin1String("login") || !memberOf(name, group)) {
            return failWith(error, QStringLiteral("the server has a role named %1 that is not a login of %2: rename or "
                                                  "drop that role, or restore on another server")
                                       .arg(name, group));
        }
    }
    // per-login settings and the database's own, after the restore
    QStringList after = schema::postgresDatabaseAccessStatements(uri.database, groups);
    static const QRegularExpression settingName(QStringLiteral("^[A-Za-z_][A-Za-z0-9_.]*$"));
    for (const QJsonValue &v : u.manifest.value(QStringLiteral("settings")).toArray()) {
        const QJsonObject s = v.toObject();
        const QString role = s.value(QStringLiteral("role")).toString();
        const QString name = s.value(QStringLiteral("name")).toString();
        if (!settingName.match(name).hasMatch())
            return failWith(error, QStringLiteral("%1 is damaged (a setting named %2): use another backup").arg(file, name));
        const QString target = role.isEmpty() ? QStringLiteral("DATABASE %1").arg(quoteIdent(uri.database))
                                              : QStringLiteral("ROLE %1 IN DATABASE %2").arg(quoteIdent(role), quoteIdent(uri.database));
        after << QStringLiteral("ALTER %1 SET %2 = %3")
                     .arg(target, quoteIdent(name), quoteLiteral(s.value(QStringLiteral("value")).toString()));
    }

    auto undo = [&](bool dropDatabase) {
        if (dropDatabase)
            a.run(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(quoteIdent(uri.database)));
        for (auto it = made.crbegin(); it != made.crend(); ++it)
            a.run(QStringLiteral("DROP ROLE IF EXISTS %1").arg(quoteIdent(*it)));
        for (const QString &group : {groups.supervisor, groups.clerk})
            if (create.contains(QStringLiteral("CREATE ROLE %1 NOLOGIN").arg(quoteIdent(group))))
                a.run(QStringLiteral("DROP ROLE IF EXISTS %1").arg(quoteIdent(group)));
    };
    if (!create.isEmpty()) {
        bool ok = a.run(QStringLiteral("BEGIN"));
        for (const QString &sql : create)
            ok = ok && a.run(sql, true);
        const QString reason = a.error();
        if (!ok || !a.run(QStringLiteral("COMMIT"))) {
            a.run(QStringLiteral("ROLLBACK"));
            made.clear();
            return failWith(error, QStringLiteral("cannot make the database's roles (%1): give a superuser's URI")
                                       .arg(reason.section(QStringLiteral(" in: "), 0, 0)));
        }
    }
    if (createDatabase
        && !a.run(QStringLiteral("CREATE DATABASE %1 TEMPLATE template0 ENCODING 'UTF8'").arg(quoteIdent(uri.database)))) {
        const QString reason = a.error();
        undo(false);
        return failWith(error, QStringLiteral("cannot create database %1 (%2): give a superuser's URI")
                                   .arg(uri.database, reason.section(QStringLiteral(" in: "), 0, 0)));
    }
    // the objects belong to whoever restores: the new database's owner
    const QString restored = runTool(QStringLiteral("pg_restore"),
                                     {QStringLiteral("--no-owner"), QStringLiteral("--single-transaction"),
                                      QStringLiteral("--exit-on-error"), QStringLiteral("--no-password"),
                                      QStringLiteral("--dbname=") + withoutPassword(uri, uri.database), u.dumpPath},
                                     uri);
    if (!restored.isEmpty()) {
        undo(createDatabase);
        return failWith(error, QStringLiteral("pg_restore: %1; nothing was kept").arg(restored));
    }
    for (const QString &sql : after) {
        if (!a.run(sql)) {
            const QString reason = a.error();
            undo(createDatabase);
            return failWith(error, QStringLiteral("%1; nothing was kept").arg(reason));
        }
    }
    if (!passwordless.isEmpty() && notes)
        *notes << QStringLiteral("%1 cannot log in until nbk-admin passwd gives each a password (the backup was made "
                                 "without a superuser)")
                      .arg(passwordless.join(QStringLiteral(", ")));
    return true;
}

}  // namespace nbk::data::backup
