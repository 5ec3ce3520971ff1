#include "Conductor.h"

#include "Clerk.h"
#include "LoadClerk.h"
#include "LoadNetwork.h"
#include "ServerCpu.h"

#include "data/session/Audit.h"
#include "data/session/Class1.h"
#include "data/engines/Engine.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace nbk::load {

namespace {
void say(const QString &s) { std::fprintf(stderr, "nbk-load: %s\n", qPrintable(s)); }

// A session of the conductor's own, for the network and the audit.
std::unique_ptr<data::Class1> login(const LoadOptions &o, QString *error)
{
    if (!o.onServer())
        data::setEmbeddedDatabasePath(o.database);
    auto s = std::make_unique<data::Class1>();
    qint16 state = 0;
    for (int attempt = 0; attempt < 3 && state == 0; ++attempt)
        state = s->ConnectToDataBase(o.user, o.password, o.serverText());
    if (state != 2) {
        *error = QStringLiteral("cannot log in to %1 as %2").arg(o.database, o.user);
        return nullptr;
    }
    return s;
}

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, size_t(p * double(v.size() - 1) + 0.5));
    return v[i];
}

double rounded(double v, int places)
{
    const double f = std::pow(10.0, places);
    return std::round(v * f) / f;
}
}  // namespace

int conduct(const LoadOptions &o)
{
    QString error;
    std::unique_ptr<data::Class1> own = login(o, &error);
    if (!own) {
        say(error);
        return 2;
    }
    bool created = false;
    if (!LoadNetwork::ensure(own->GetCurrentConnection(), &error, &created)) {
        say(error);
        return 2;
    }
    say(created ? QStringLiteral("network created") : QStringLiteral("network of an earlier run reused"));

    LoadOptions run = o;
    if (o.onServer() && !o.ownerSessions && !useClerkLogin(run, &error)) {
        say(error);
        return 2;
    }
    // every session logs in first, then all start together
    run.startMs = QDateTime::currentMSecsSinceEpoch() + 1500 + 150 * o.sessions;
    run.deadlineMs = run.startMs + qint64(o.seconds) * 1000;
    std::vector<std::unique_ptr<QProcess>> children;
    for (int i = 0; i < o.sessions; ++i) {
        auto p = std::make_unique<QProcess>();
        p->setProcessChannelMode(QProcess::SeparateChannels);
        p->setProgram(QCoreApplication::applicationFilePath());
        p->setArguments(run.childArguments(i));
        p->start();
        // the password through a pipe that only this child reads
        p->write(run.password.toUtf8() + '\n');
        p->closeWriteChannel();
        children.push_back(std::move(p));
    }
    std::optional<ServerCpu> server = ServerCpu::find(own->GetCurrentConnection(), o.serverText());
    const qint64 untilStart = run.startMs - QDateTime::currentMSecsSinceEpoch();
    if (untilStart > 0)
        QThread::msleep(quint64(untilStart));
    if (server)
        server->sample();
    SessionFigures all;
    int lost = 0;
    // a session may be seeking a new primary at the deadline (up to its reconnect limit)
    const qint64 hardStop = run.deadlineMs + 30000 + 1000 * data::Class1::kDefaultReconnectLimit;
    // the server's backends are read while the sessions run, so that one that ends early
    // keeps what it used
    for (bool running = true; running && QDateTime::currentMSecsSinceEpoch() < hardStop;) {
        running = false;
        for (auto &p : children)
            if (p->state() != QProcess::NotRunning && !p->waitForFinished(20))
                running = true;
        if (server)
            server->sample();
    }
    for (size_t i = 0; i < children.size(); ++i) {
        QProcess &p = *children[i];
        const qint64 left = std::max<qint64>(1000, hardStop - QDateTime::currentMSecsSinceEpoch());
        if (!p.waitForFinished(int(left))) {
            // a session that does not stop is ended the hard way; its open work rolls back
            p.kill();
            p.waitForFinished(5000);
        }
        const QByteArray err = p.readAllStandardError();
        const QList<QByteArray> lines = p.readAllStandardOutput().trimmed().split('\n');
        const QJsonDocument doc = QJsonDocument::fromJson(lines.isEmpty() ? QByteArray() : lines.last());
        if (!doc.isObject()) {
            ++lost;
            say(QStringLiteral("session %1 ended without figures: %2").arg(i).arg(QString::fromLocal8Bit(err).trimmed()));
            continue;
        }
        const SessionFigures f = SessionFigures::fromJson(doc.object());
        all.bookings += f.bookings;
        all.enquiries += f.enquiries;
        all.cancellations += f.cancellations;
        all.concessionSeats += f.concessionSeats;
        all.chargedCancellations += f.chargedCancellations;
        all.refusals += f.refusals;
        all.errors += f.errors;
        all.interrupted += f.interrupted;
        all.cpuMs += f.cpuMs;
        all.latenciesMs.insert(all.latenciesMs.end(), f.latenciesMs.begin(), f.latenciesMs.end());
        for (const QString &t : f.errorTexts)
            say(QStringLiteral("session %1: %2").arg(i).arg(t));
    }

    const double serverMs = server ? server->usedMs() : 0;

    data::AuditFigures audit;
    try {
        // this session sat idle while the sessions ran: a failover since then shows at
        // its first statement, and the next one connects to the new primary
        try {
            own->GetCurrentConnection().query(QStringLiteral("SELECT 1 FROM DUAL"));
        } catch (const data::DbException &) {
        }
        audit = data::auditDatabase(own->GetCurrentConnection());
    } catch (const data::DbException &e) {
        // figures that were never computed are not printed
        say(QStringLiteral("audit failed: ") + e.error().description);
        return 3;
    }
    const auto perBooking = [&](double ms) {
        return all.bookings > 0 ? QJsonValue(rounded(ms / all.bookings, 3)) : QJsonValue(QJsonValue::Null);
    };
    QJsonObject out{{QStringLiteral("sessions"), o.sessions},
                    {QStringLiteral("seconds"), o.seconds},
                    {QStringLiteral("bookings"), all.bookings},
                    {QStringLiteral("bookings_per_s"), rounded(all.bookings / double(o.seconds), 2)},
                    {QStringLiteral("p50_ms"), rounded(percentile(all.latenciesMs, 0.50), 2)},
                    {QStringLiteral("p99_ms"), rounded(percentile(all.latenciesMs, 0.99), 2)},
                    {QStringLiteral("enquiries"), all.enquiries},
                    {QStringLiteral("cancellations"), all.cancellations},
                    {QStringLiteral("concession_seats"), all.concessionSeats},
                    {QStringLiteral("charged_cancellations"), all.chargedCancellations},
                    {QStringLiteral("refusals"), all.refusals},
                    {QStringLiteral("errors"), all.errors + lost},
                    {QStringLiteral("interrupted"), all.interrupted},
                    {QStringLiteral("overlaps"), audit.overlaps},
                    {QStringLiteral("counter_mismatches"), audit.counterMismatches},
                    {QStringLiteral("temp_rows"), audit.tempRows},
                    {QStringLiteral("fare_mismatches"), audit.fareMismatches},
                    {QStringLiteral("concession_mismatches"), audit.concessionMismatches},
                    {QStringLiteral("charge_mismatches"), audit.chargeMismatches},
                    {QStringLiteral("client_cpu_ms_per_booking"), perBooking(all.cpuMs)},
                    {QStringLiteral("server_cpu_ms_per_booking"), server ? perBooking(serverMs) : QJsonValue(QJsonValue::Null)}};
    std::printf("%s\n", QJsonDocument(out).toJson(QJsonDocument::Compact).constData());
    std::fflush(stdout);
    return audit.clean() ? 0 : 1;
}

int runSession(const LoadOptions &o)
{
    Clerk clerk(o);
    QString error;
    if (!clerk.start(&error)) {
        clerk.finish();
        say(QStringLiteral("session %1: %2").arg(o.session).arg(error));
        return 2;
    }
    if (o.hold) {
        if (!clerk.holdOneBooking()) {
            say(QStringLiteral("session %1: no booking could be held").arg(o.session));
            return 2;
        }
        // the clerk walks away from the customer details screen; the test kills us
        QThread::sleep(600);
        return 0;
    }
    const qint64 wait = o.startMs - QDateTime::currentMSecsSinceEpoch();
    if (wait > 0)
        QThread::msleep(quint64(wait));
    clerk.runUntil(o.deadlineMs);
    clerk.finish();
    std::printf("%s\n", QJsonDocument(clerk.figures().toJson()).toJson(QJsonDocument::Compact).constData());
    std::fflush(stdout);
    return 0;
}

}  // namespace nbk::load
