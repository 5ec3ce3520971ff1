#include "data/schema/BackupFile.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nbk::data::backup {

QString fileProblem(const QString &path, int err)
{
    switch (err) {
    case ENOSPC:
    case EFBIG:
    case EDQUOT:
        return QStringLiteral("%1: the disk is full (or the file may not grow so large): free space or choose "
                              "another folder")
            .arg(path);
    case EACCES:
    case EPERM:
    case EROFS:
        return QStringLiteral("%1: not allowed to write there: choose a folder you may write").arg(path);
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("%1: the folder does not exist: create it or choose another").arg(path);
    default:
        return QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(err)));
    }
}

int createPrivate(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0600);
    // whatever the umask: only the owner reads a database
    if (fd >= 0)
        ::fchmod(fd, 0600);
    return fd;
}

PendingFile::PendingFile(const QString &target) : target_(target)
{
    const QFileInfo fi(target);
    QByteArray pattern = QFile::encodeName(fi.absolutePath() + QStringLiteral("/.") + fi.fileName()
                                           + QStringLiteral(".partial-XXXXXX"));
    const int fd = ::mkstemp(pattern.data());  // 0600
    if (fd < 0) {
        error_ = fileProblem(target, errno);
        return;
    }
    ::fchmod(fd, 0600);
    ::close(fd);
    path_ = QFile::decodeName(pattern);
}

PendingFile::~PendingFile()
{
    if (published_ || path_.isEmpty())
        return;
    for (const char *suffix : {"", "-wal", "-shm", "-journal"})
        ::unlink(QFile::encodeName(path_ + QLatin1String(suffix)).constData());
}

bool PendingFile::publish(bool replace)
{
    const QByteArray from = QFile::encodeName(path_);
    const QByteArray to = QFile::encodeName(target_);
    const int fd = ::open(from.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        error_ = fileProblem(target_, errno);
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    ::close(fd);
    if (replace) {
        if (::rename(from.constData(), to.constData()) != 0) {
            error_ = fileProblem(target_, errno);
            return false;
        }
    } else {
        // a hard link never replaces: a file that took the name meanwhile stays
        if (::link(from.constData(), to.constData()) != 0) {
            error_ = errno == EEXIST ? QStringLiteral("%1 exists already; it is left as it is").arg(target_)
                                     : fileProblem(target_, errno);
            return false;
        }
        ::unlink(from.constData());
    }
    published_ = true;
    // the new name itself survives a power cut only with its folder flushed
    const int dir = ::open(QFile::encodeName(QFileInfo(target_).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

}  // namespace nbk::data::backup
