#include "ServerCpu.h"

#include "data/session/Connection.h"
#include "data/engines/PostgresEngine.h"

#include <QDir>
#include <QFile>
#include <ctime>
#include <unistd.h>

namespace nbk::load {

namespace {
// Fields of /proc/PID/stat after the command name: state is field 3, ppid 4, utime 14,
// stime 15, cutime 16, cstime 17 (of proc(5), counted from 1).
struct ProcStat {
    int ppid = 0;
    double ticks = 0;          // the process's own
    double reapedTicks = 0;    // its children's that it waited for
    bool valid = false;
};

ProcStat readStat(int pid)
{
    ProcStat s;
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return s;
    const QByteArray text = f.readAll();
    const int close = int(text.lastIndexOf(')'));  // the name may hold blanks
    if (close < 0)
        return s;
    const QList<QByteArray> fields = text.mid(close + 2).split(' ');
    if (fields.size() < 15)
        return s;
    s.ppid = fields[1].toInt();
    s.ticks = fields[11].toDouble() + fields[12].toDouble();
    s.reapedTicks = fields[13].toDouble() + fields[14].toDouble();
    s.valid = true;
    return s;
}

QByteArray commandOf(int pid)
{
    QFile f(QStringLiteral("/proc/%1/cmdline").arg(pid));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool isLocalHost(const QString &hosts)
{
    if (hosts.isEmpty())
        return true;  // libpq's default: the local socket
    for (const QString &h : hosts.split(QLatin1Char(','))) {
        const bool local = h.startsWith(QLatin1Char('/')) || h == QLatin1String("localhost")
                           || h.startsWith(QLatin1String("127.")) || h == QLatin1String("::1");
        if (!local)
            return false;
    }
    return true;
}
}  // namespace

std::optional<ServerCpu> ServerCpu::find(data::Connection &cn, const QString &server)
{
    const data::PostgresUri uri = data::PostgresUri::parse(server);
    if (cn.engineName() != QLatin1String("postgresql") || !uri.valid || !isLocalHost(uri.host))
        return std::nullopt;
    const data::ResultSet who = cn.query(QStringLiteral("SELECT pg_backend_pid(), current_database() FROM DUAL"));
    const int backend = who.value(0).toInt();
    const ProcStat b = readStat(backend);
    if (!b.valid || !commandOf(backend).startsWith("postgres") || !commandOf(b.ppid).contains("postgres"))
        return std::nullopt;
    ServerCpu s;
    s.postmaster_ = b.ppid;
    s.database_ = who.value(1).toString().toUtf8();
    return s;
}

bool ServerCpu::servesDatabase(const QByteArray &title) const
{
    // "postgres: USER DATABASE HOST(PORT) STATE": the sessions' clerk and the owner alike
    const QList<QByteArray> words = title.split(' ');
    return words.size() > 2 && words[0] == "postgres:" && words[2] == database_;
}

void ServerCpu::sample()
{
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &p : pids) {
        bool number = false;
        const int pid = p.toInt(&number);
        if (!number)
            continue;
        const ProcStat s = readStat(pid);
        if (!s.valid || s.ppid != postmaster_ || !servesDatabase(commandOf(pid)))
            continue;
        // a backend that starts during the run counts from nothing
        if (!first_.contains(pid))
            first_.insert(pid, started_ ? 0.0 : s.ticks);
        last_.insert(pid, s.ticks);
    }
    started_ = true;
}

double ServerCpu::usedMs() const
{
    double ticks = 0;
    for (auto it = last_.begin(); it != last_.end(); ++it)
        ticks += it.value() - first_.value(it.key());
    return ticks * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

double ownCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1000.0 + double(t.tv_nsec) / 1e6;
}

}  // namespace nbk::load
