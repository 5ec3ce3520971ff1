#pragma once
#include <QString>
#include <QStringList>

namespace nbk::load {

// The command line of nbk-load; a session child gets the same options plus its own.
struct LoadOptions {
    QString database;  // a postgresql:// URI or an embedded database file
    QString user;
    QString password;
    int sessions = 1;
    int seconds = 10;
    int book = 70, enquire = 20, cancel = 10;  // the mix, as weights
    quint32 seed = 1;
    // the procedures without the screens, so that the server is what is measured
    bool headless = false;
    // on the server: the sessions log in as the given user (the owner, whom the commit-time
    // checks exempt) instead of a clerk of the database
    bool ownerSessions = false;

    // a session child (--clerk N: Qt keeps --session for its own session management)
    int session = -1;
    qint64 startMs = 0;     // when every session begins (ms since the epoch)
    qint64 deadlineMs = 0;  // when every session stops
    bool hold = false;      // book once and wait at the customer details screen (fault tests)
    // where each booking whose commit succeeded is noted ("customer_id ms_since_epoch
    // session" a line), so that a check after a failover can look for every one of them
    QString committedFile;
    QString unsavedFile;  // bookings the clerk was told were not saved because the server went away

    // --help or --version: print that and run nothing
    bool help = false;
    bool version = false;

    bool onServer() const;
    // What a clerk types into the login's Server box.
    QString serverText() const;
    // The options a session child is started with: never the password, which the child
    // reads from its standard input (another user can list every process's arguments).
    QStringList childArguments(int index) const;
};

// False with the reason in *error for a command line that cannot be run.
// Without --password the password is the first line of standard input. --help and
// --version end the parsing: nothing else is checked and no password is read.
bool parseOptions(const QStringList &args, LoadOptions &o, QString *error);
QString usage();

}  // namespace nbk::load
