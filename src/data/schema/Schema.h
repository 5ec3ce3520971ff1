#pragma once
#include "data/engines/PasswordHash.h"

#include <QString>
#include <QStringList>

namespace nbk::data::schema {

// The accounts every new database gets, with the login dialog's default password.
inline const char *const kDefaultPassword = "nb";
inline const char *const kSupervisor = "chief";
inline const char *const kClerks[] = {"clerk1", "clerk2"};

struct InitOptions {
    bool demo = false;
    // Set: the only account is the supervisor, with this password (a production
    // database: no account with a known password). Empty: the standing accounts with the
    // default password, for a demonstration or a test database.
    QString supervisorPassword;
    int kdfIterations = kDefaultKdfIterations;
};

// Creates a new embedded database file with the schema, the standing accounts and,
// with demo, the demonstration network. An existing file is never touched.
bool createEmbeddedDatabase(const QString &path, const InitOptions &options, QString *error);

// Sets (or, with create, adds) an account's password in an embedded database.
bool setEmbeddedPassword(const QString &path, const QString &user, const QString &password,
                         int kdfIterations, bool create, bool supervisor, QString *error);

// The embedded schema, one statement per entry (SQLite's own dialect).
QStringList embeddedSchemaStatements();
// Its audit trail's table, and its triggers: the seat rule, the rules on booked runs and
// the audit rows (part of the schema above; an upgrade makes the triggers anew).
QStringList embeddedAuditTableStatements();
QStringList embeddedTriggerStatements();

// Reference data every database needs: fuel indexes and fare classes (Oracle SQL).
QStringList referenceDataStatements();
// The demonstration network (Oracle SQL, runs on every engine).
QStringList demoDataStatements();

// First values of the sequences; the demo data uses ids below them.
struct SequenceStart {
    const char *name;
    int start;
};
inline constexpr SequenceStart kSequences[] = {
    {"c_seq", 1001}, {"place_seq", 1}, {"reid_seq", 1001}, {"route_seq", 101}, {"instance_seq", 10001}};

// The settings row a new or upgraded database starts with (see nbk_settings).
inline const char *const kSettingsRow =
    "INSERT INTO nbk_settings (zone, retention_days, draws_per_hour) SELECT 'Asia/Kolkata', 365, 20000 "
    "WHERE NOT EXISTS (SELECT 1 FROM nbk_settings)";

// The ids of a booking's customer and of an on-demand run come from their sequence: a
// session (the owner's loads and repairs aside) writes no id the sequence has not given
// out yet, so that no clerk squats the ids the other counters draw next. An id already
// given out may still be taken by a hand-written statement in the moment between another
// counter's draw and its insert; that costs one booking its unique key, which it draws
// again. Ids that only this session drew would close that too, but the client's own tests
// and tools write literal ids below each sequence's start as clerks.
// Drawing is bounded per login: at most nbk_settings.draws_per_hour ids of these sequences
// an hour (20000 by default: a counter books a few hundred a day, and a login drawing at
// the bound takes over twelve years to use up the 2^31 ids the client holds), counted by
// the database itself, so that one login's loop of draws stops that login only. The server
// counts in a sequence per login (nbk_draws_<md5 of the login>), which no rollback takes
// back, through the owner's function nbk_nextval (the clerks have no right on the
// sequences themselves); the file counts in nbk_draws, in the drawing transaction as the
// sequence's own value is, and in the drawing process, whose rolled-back draws still
// raise the next id it hands out. The owner's loads and repairs are not bounded.
struct DrawnId {
    const char *table;
    const char *column;
    const char *sequence;
};
// The sequence of each login's count of its draws on the server.
QString drawCounterName(const QString &login);

inline constexpr DrawnId kDrawnIds[] = {{"customer", "customer_id", "c_seq"},
                                        {"bus_instance", "instance_id", "instance_seq"}};

}  // namespace nbk::data::schema
