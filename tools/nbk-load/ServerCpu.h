#pragma once
#include <QString>
#include <optional>

namespace nbk::data {
class Connection;
}

namespace nbk::load {

// CPU time of the database server when it runs on this machine: its postmaster and every
// process under it (the backends of all sessions, the writers), found through the backend
// that serves `cn`.
class ServerCpu {
public:
    // Nothing when the server (the URI typed as Server) is elsewhere, or for the embedded file.
    static std::optional<ServerCpu> find(data::Connection &cn, const QString &server);
    // Milliseconds used so far by the server's processes, those that ended included.
    double usedMs() const;

private:
    int postmaster_ = 0;
};

// CPU time this process has used so far, in milliseconds.
double ownCpuMs();

}  // namespace nbk::load
