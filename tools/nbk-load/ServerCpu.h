#pragma once
#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>

namespace nbk::data {
class Connection;
}

namespace nbk::load {

// CPU time of the database server's backends that serve one database, when the server
// runs on this machine: the processes under the postmaster of the backend that serves
// `cn` whose title names the database, whoever logged in (not the server's writers, nor
// another database's vacuum). Sampled now and then, so that a backend that ends keeps
// what it used.
class ServerCpu {
public:
    // Nothing when the server (the URI typed as Server) is elsewhere, or for the embedded file.
    static std::optional<ServerCpu> find(data::Connection &cn, const QString &server);
    // Reads the backends' CPU now; the first call is the start.
    void sample();
    // Milliseconds used between the first sample and the last.
    double usedMs() const;

private:
    bool servesDatabase(const QByteArray &title) const;

    int postmaster_ = 0;
    QByteArray database_;
    QHash<int, double> first_, last_;  // ticks per backend
    bool started_ = false;
};

// CPU time this process has used so far, in milliseconds.
double ownCpuMs();

}  // namespace nbk::load
