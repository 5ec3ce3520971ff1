#pragma once
#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace nbk::test {

struct AdminRun {
    int code;
    QString out;
    QString err;
};

// Runs the nbk-admin program built with the tests (its path comes from the build).
inline AdminRun admin(const QStringList &args, const QByteArray &input = {})
{
    QProcess p;
    p.start(QStringLiteral(NBK_ADMIN_PATH), args);
    p.waitForStarted();
    if (!input.isEmpty())
        p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(120000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

}  // namespace nbk::test
