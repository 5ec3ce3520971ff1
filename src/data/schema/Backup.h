#pragma once
#include <QString>
#include <QStringList>
#include <functional>

namespace nbk::data::backup {

// What a file named as a backup holds, read from its first bytes.
enum class FileKind { Missing, Unreadable, Embedded, Server, Foreign };
FileKind fileKind(const QString &path);

// The first line of a server backup; a format this program cannot read fails with it.
inline const char *const kServerMagic = "NBK-RESERVATION-BACKUP";
inline constexpr int kServerFormat = 1;

// Tables every reservation database has; a file without them belongs to another program.
inline const char *const kReservationTables[] = {"place",    "route",       "bus_instance",
                                                 "seat_matrix", "customer", "nbk_account"};

struct EmbeddedOptions {
    // pages copied per step; writers go on between steps
    int pagesPerStep = 256;
    // called after each step with the pages left and the total (tests book here)
    std::function<void(int remaining, int total)> afterStep;
};

// Copies the live embedded database into a new file (mode 0600) through SQLite's online
// backup: a snapshot as of its start, counters booking on meanwhile. The copy passes
// SQLite's integrity check before it takes the name file; on failure nothing is left under
// that name. An existing file is never replaced.
bool backupEmbedded(const QString &database, const QString &file, const EmbeddedOptions &options,
                    QString *error);

// Makes database (missing, empty, or a file without tables) a copy of a checked embedded
// backup, mode 0600. A database file holding anything is refused and left alone.
bool restoreEmbedded(const QString &file, const QString &database, QString *error);

// Dumps the server database the URI names (its owner or a superuser logs in) with its
// groups, logins, memberships, per-login settings and, for a superuser, the logins'
// password verifiers into one file (mode 0600). notes: logins that will need a new
// password after a restore.
bool backupServer(const QString &uri, const QString &file, QStringList *notes, QString *error);

// Restores a server backup into the database the URI names on any server: refused when
// that database holds any table; missing roles are made, clashing ones refused before
// anything changes. notes: logins without a password afterwards.
bool restoreServer(const QString &file, const QString &uri, QStringList *notes, QString *error);

}  // namespace nbk::data::backup
