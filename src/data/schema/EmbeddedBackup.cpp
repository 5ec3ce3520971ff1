// Backup and restore of the embedded file through SQLite's online backup.
#include "data/schema/Backup.h"
#include "data/schema/BackupFile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <sqlite3.h>

namespace nbk::data::backup {

namespace {

bool failWith(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

// Closes the handle however the work ends.
struct Handle {
    sqlite3 *db = nullptr;
    ~Handle() { close(); }
    void close()
    {
        if (db)
            sqlite3_close_v2(db);
        db = nullptr;
    }
    QString message() const { return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory"); }
};

bool open(Handle &h, const QString &uriOrPath, int flags)
{
    const int rc = sqlite3_open_v2(uriOrPath.toUtf8().constData(), &h.db, flags, nullptr);
    if (h.db)
        sqlite3_busy_timeout(h.db, 5000);
    return rc == SQLITE_OK;
}

// One text column of every row.
bool column(sqlite3 *db, const char *sql, QStringList &rows, QString *problem)
{
    sqlite3_stmt *st = nullptr;
    int rc = sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    if (rc == SQLITE_OK)
        while ((rc = sqlite3_step(st)) == SQLITE_ROW)
            rows << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    if (rc == SQLITE_DONE)
        return true;
    if (problem)
        *problem = QString::fromUtf8(sqlite3_errmsg(db));
    return false;
}

bool exec(sqlite3 *db, const char *sql, QString *problem)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK)
        return true;
    if (problem)
        *problem = QString::fromUtf8(sqlite3_errmsg(db));
    return false;
}

// "" when the file is a sound reservation database, else what to tell the user.
QString checkReservationDatabase(sqlite3 *db, const QString &path, bool integrity)
{
    QStringList tables;
    QString problem;
    if (!column(db, "SELECT lower(name) FROM sqlite_master WHERE type = 'table'", tables, &problem))
        return QStringLiteral("%1 is damaged or no database (%2): %3")
            .arg(path, problem,
                 integrity ? QStringLiteral("use another backup") : QStringLiteral("give a database of this program"));
    for (const char *t : kReservationTables)
        if (!tables.contains(QLatin1String(t)))
            return QStringLiteral("%1 is a database of another program (it has no table %2): give a reservation "
                                  "database")
                .arg(path, QLatin1String(t));
    if (!integrity)
        return QString();
    QStringList verdict;
    if (!column(db, "PRAGMA integrity_check", verdict, &problem))
        return QStringLiteral("%1 is damaged (%2): use another backup").arg(path, problem);
    if (verdict != QStringList{QStringLiteral("ok")})
        return QStringLiteral("%1 is damaged (SQLite's integrity check: %2): use another backup")
            .arg(path, verdict.mid(0, 3).join(QStringLiteral("; ")));
    return QString();
}

QString writeProblem(sqlite3 *db, const QString &target, const QString &what)
{
    const int err = sqlite3_system_errno(db);
    const int rc = sqlite3_errcode(db);
    if (err != 0 || rc == SQLITE_FULL)
        return fileProblem(target, err != 0 ? err : ENOSPC);
    return QStringLiteral("%1: %2 failed (%3)").arg(target, what, QString::fromUtf8(sqlite3_errmsg(db)));
}

// Copies src's main database into dst page by page. Between steps the source's writers go
// on; a step that finds the source or the copy locked is tried again a little later.
bool copyPages(sqlite3 *src, sqlite3 *dst, const QString &target, const EmbeddedOptions &options, QString *error)
{
    sqlite3_backup *b = sqlite3_backup_init(dst, "main", src, "main");
    if (!b)
        return failWith(error, writeProblem(dst, target, QStringLiteral("the copy")));
    QElapsedTimer waiting;
    int rc;
    for (;;) {
        rc = sqlite3_backup_step(b, options.pagesPerStep);
        if (rc == SQLITE_OK) {
            waiting.invalidate();
            if (options.afterStep)
                options.afterStep(sqlite3_backup_remaining(b), sqlite3_backup_pagecount(b));
            continue;
        }
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
            // a writer holds the lock for a moment (a checkpoint, a commit): wait, but not
            // for ever on a file some program keeps locked
            if (!waiting.isValid())
                waiting.start();
            if (waiting.elapsed() < 30000) {
                sqlite3_sleep(20);
                continue;
            }
        }
        break;
    }
    sqlite3_backup_finish(b);
    if (rc == SQLITE_DONE)
        return true;
    if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
        return failWith(error, QStringLiteral("the database stayed locked for 30 s: try again when the program "
                                              "holding it is done"));
    return failWith(error, writeProblem(dst, target, QStringLiteral("the copy")));
}

// The copy, checked and closed; publish() gives it its name.
bool finishCopy(Handle &dst, const QString &target, const char *journalMode, QString *error)
{
    QString problem;
    if (!exec(dst.db, journalMode, &problem))
        return failWith(error, writeProblem(dst.db, target, QStringLiteral("finishing the copy")));
    const QString check = checkReservationDatabase(dst.db, target, true);
    if (!check.isEmpty())
        return failWith(error, QStringLiteral("the copy failed its check (%1); nothing was written").arg(check));
    if (sqlite3_close(dst.db) != SQLITE_OK)
        return failWith(error, writeProblem(dst.db, target, QStringLiteral("closing the copy")));
    dst.db = nullptr;
    return true;
}

QString readOnlyUri(const QString &path)
{
    // immutable: no lock, no -shm, nothing made beside a file that only is read
    return QStringLiteral("file:") + QString::fromLatin1(QUrl::toPercentEncoding(QFileInfo(path).absoluteFilePath(), "/"))
           + QStringLiteral("?immutable=1");
}

}  // namespace

FileKind fileKind(const QString &path)
{
    QFile f(path);
    if (!f.exists())
        return FileKind::Missing;
    if (!f.open(QIODevice::ReadOnly))
        return FileKind::Unreadable;
    const QByteArray head = f.read(64);
    if (head.startsWith(QByteArray("SQLite format 3\0", 16)))
        return FileKind::Embedded;
    if (head.startsWith(QByteArray(kServerMagic) + ' '))
        return FileKind::Server;
    return FileKind::Foreign;
}

bool backupEmbedded(const QString &database, const QString &file, const EmbeddedOptions &options, QString *error)
{
    const FileKind source = fileKind(database);
    if (source == FileKind::Missing)
        return failWith(error, QStringLiteral("%1 does not exist: give the database file to back up").arg(database));
    if (source != FileKind::Embedded)
        return failWith(error, QStringLiteral("%1 is not an embedded database: give a reservation database file or "
                                              "a postgresql:// URI")
                                   .arg(database));
    if (QFileInfo::exists(file))
        return failWith(error, QStringLiteral("%1 exists already; a backup never replaces a file: give a new name")
                                   .arg(file));
    Handle src;
    if (!open(src, database, SQLITE_OPEN_READONLY))
        return failWith(error, QStringLiteral("cannot open %1 (%2)").arg(database, src.message()));
    const QString check = checkReservationDatabase(src.db, database, false);
    if (!check.isEmpty())
        return failWith(error, check);
    // One read transaction for the whole copy: every step reads the same snapshot (a WAL
    // reader blocks no writer), so commits made meanwhile neither restart the copy nor
    // enter it.
    QString problem;
    if (!exec(src.db, "BEGIN", &problem) || !exec(src.db, "SELECT count(*) FROM sqlite_master", &problem))
        return failWith(error, QStringLiteral("cannot read %1 (%2)").arg(database, problem));

    PendingFile tmp(file);
    if (!tmp.ok())
        return failWith(error, tmp.error());
    Handle dst;
    if (!open(dst, tmp.path(), SQLITE_OPEN_READWRITE))
        return failWith(error, writeProblem(dst.db, file, QStringLiteral("opening the copy")));
    if (!copyPages(src.db, dst.db, file, options, error))
        return false;
    exec(src.db, "COMMIT", nullptr);
    src.close();
    // the copy stands alone: one file, no -wal beside it
    if (!finishCopy(dst, file, "PRAGMA journal_mode=DELETE", error))
        return false;
    if (!tmp.publish(false))
        return failWith(error, tmp.error());
    return true;
}

bool restoreEmbedded(const QString &file, const QString &database, QString *error)
{
    switch (fileKind(file)) {
    case FileKind::Missing:
        return failWith(error, QStringLiteral("%1 does not exist: give a backup file").arg(file));
    case FileKind::Unreadable:
        return failWith(error, QStringLiteral("cannot read %1: check its permissions").arg(file));
    case FileKind::Server:
        return failWith(error, QStringLiteral("%1 is a server backup: restore it onto a postgresql:// URI").arg(file));
    case FileKind::Foreign:
        return failWith(error, QStringLiteral("%1 is not a backup of this program: give a file nbk-admin backup "
                                              "wrote")
                                   .arg(file));
    case FileKind::Embedded:
        break;
    }
    Handle src;
    if (!open(src, readOnlyUri(file), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI))
        return failWith(error, QStringLiteral("cannot open %1 (%2): use another backup").arg(file, src.message()));
    const QString check = checkReservationDatabase(src.db, file, true);
    if (!check.isEmpty())
        return failWith(error, check);

    // only a file that holds nothing may be replaced
    bool replace = false;
    const QFileInfo target(database);
    if (target.exists()) {
        const QString refused =
            QStringLiteral("%1 holds data already; it is left as it is: restore to a new file name").arg(database);
        if (!target.isFile())
            return failWith(error, refused);
        if (target.size() > 0) {
            if (fileKind(database) != FileKind::Embedded)
                return failWith(error, refused);
            Handle existing;
            QStringList objects;
            if (!open(existing, readOnlyUri(database), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI)
                || !column(existing.db, "SELECT name FROM sqlite_master", objects, nullptr) || !objects.isEmpty())
                return failWith(error, refused);
        }
        replace = true;
    }
    // a -wal left beside the name would be read into the restored file
    if (QFileInfo(database + QStringLiteral("-wal")).size() > 0)
        return failWith(error, QStringLiteral("%1-wal exists: a program has %1 open or crashed with it; close it or "
                                              "restore to a new file name")
                                   .arg(database));

    PendingFile tmp(database);
    if (!tmp.ok())
        return failWith(error, tmp.error());
    Handle dst;
    if (!open(dst, tmp.path(), SQLITE_OPEN_READWRITE))
        return failWith(error, writeProblem(dst.db, database, QStringLiteral("opening the new file")));
    if (!copyPages(src.db, dst.db, database, EmbeddedOptions{}, error))
        return false;
    src.close();
    // the journal the client keeps
    if (!finishCopy(dst, database, "PRAGMA journal_mode=WAL", error))
        return false;
    if (!tmp.publish(replace))
        return failWith(error, tmp.error());
    return true;
}

}  // namespace nbk::data::backup
