#pragma once
#include "support/AdminRunner.h"

#include <QFile>
#include <QProcess>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace nbk::test {

// The permission bits of a file, -1 when it is missing.
inline int modeOf(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
}

// nbk-admin as on a full disk: no file of it (or of the programs it starts) grows past
// limitBytes, and the write that would fails instead of killing the process.
inline AdminRun adminOnFullDisk(const QStringList &args, rlim_t limitBytes)
{
    QProcess p;
    p.setChildProcessModifier([limitBytes] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit r{limitBytes, limitBytes};
        ::setrlimit(RLIMIT_FSIZE, &r);
    });
    p.start(QStringLiteral(NBK_ADMIN_PATH), args);
    p.closeWriteChannel();
    p.waitForFinished(300000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

}  // namespace nbk::test
