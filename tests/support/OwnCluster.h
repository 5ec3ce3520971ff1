#pragma once
#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

namespace nbk::test {

// A PostgreSQL cluster of the test's own (scripts/pg-test-cluster.sh), for tests that stop,
// crash or promote a server: doing that to the shared one would fail every other test.
// Stopped and removed when the object goes, however the test ends.
class OwnCluster {
public:
    OwnCluster() = default;
    OwnCluster(const OwnCluster &) = delete;
    OwnCluster &operator=(const OwnCluster &) = delete;
    ~OwnCluster()
    {
        if (!dir_.isEmpty())
            run({QStringLiteral("stop"), dir_});
    }

    // A new primary; with tls it serves TLS too (a certificate of its own).
    bool start(bool tls = false) { return begin({QStringLiteral("start")}, tls); }
    // A streaming standby of a started primary, on a port of its own.
    bool startStandbyOf(const OwnCluster &primary) { return begin({QStringLiteral("standby")}, false, primary.dir_); }
    bool crash() { return run({QStringLiteral("crash"), dir_}); }
    bool restart() { return run({QStringLiteral("restart"), dir_}); }
    bool promote() { return run({QStringLiteral("promote"), dir_}); }

    // The administrator's URI (user postgres and its password).
    const QString &uri() const { return uri_; }
    // The standard error of the last script run that failed.
    QString error;

private:
    bool begin(QStringList args, bool tls, const QString &primaryDir = {})
    {
        dir_ = QStringLiteral("/tmp/nbk-own-%1-%2")
                   .arg(QCoreApplication::applicationPid())
                   .arg(QRandomGenerator::global()->generate());
        args << dir_;
        if (!primaryDir.isEmpty())
            args << primaryDir;
        QString out;
        if (!run(args, &out, tls))
            return false;
        uri_ = out.trimmed();
        return !uri_.isEmpty();
    }

    bool run(const QStringList &args, QString *out = nullptr, bool tls = false)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("NBK_PG_SSL"), tls ? QStringLiteral("1") : QStringLiteral("0"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral("bash"), QStringList{QStringLiteral(NBK_CLUSTER_SCRIPT)} + args);
        if (!p.waitForFinished(180000))
            p.kill();
        if (out)
            *out = QString::fromUtf8(p.readAllStandardOutput());
        error = QString::fromUtf8(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }

    QString dir_;
    QString uri_;
};

}  // namespace nbk::test
