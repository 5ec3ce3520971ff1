#pragma once
#include "data/definition/Definition.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace nbk::data::schema {

// The shape of the database this program reads and writes. Every change of tables,
// columns, indexes, rules or grants raises it and comes with an upgrade step from the
// version before.
//   1  the first schema
//   2  phones kept as text
//   3  the rules checked at commit, the audit trail, each database its own groups
//   4  the place search's index in any capitals, the trail's time index as a block range
//   5  versions recorded; CREATE on schema public revoked; the trail's writer on a
//      pinned search_path
//   6  the route's name
//   7  the bookings' invariants: seats of the vehicle, stretches of the route, a booking
//      fixed at its commit, text and numbers bounded (rules on rows written from then on)
//   8  the trail's time index a tree on the server too; no booking or run under an id its
//      sequence has not given out; cancellation charges: slabs by hours before departure,
//      kept with each sale; the shift's close
//   9  fare categories: a share of the adult fare by the passenger's age, kept with each
//      concession seat as sold; places' Kannada names, beside the English ones; the
//      corporation's settings (its zone, the retention of passengers' names and phones, the
//      draws of ids per login); the trail's time an instant of the server's clock
//      seat layouts per vehicle type: rows, aisle, windows, seats kept for women or
//      senior citizens until a release time before departure
//  10  the server's commit-time checks of a booking's customer once per booking, not once
//      per seat row; the corporation's zone a name the engine knows, and the clock of the
//      hours before a departure (cancellation charges, seats kept until their release); a
//      change of the settings in the trail; a login of the groups made by hand counts its
//      draws too
inline constexpr int kCurrentVersion = 10;

// What a version brought, as the upgrade reports it.
QString versionSummary(int version);

struct DatabaseShape {
    int version = 0;        // 0: not a reservation database (problem says why)
    bool recorded = false;  // read from nbk_schema_version, not recognised by its shape
    QString problem;
};
// The version the database records, or for one made before versions were recorded, the
// version its tables match. Reads the catalogue only.
DatabaseShape readShape(const QSqlDatabase &db, EngineKind engine);

// What the current version's rules need that the database lacks: triggers, functions,
// the trail's table, rights given too widely ("trigger seat_matrix_rules", ...).
QStringList missingRules(const QSqlDatabase &db, EngineKind engine);

// The row an upgrade step or a new database leaves in nbk_schema_version.
QString recordVersionStatement(int version);

// What a login finds: a database this program can work on, or why not, in words for the
// person at the counter.
struct OpenCheck {
    enum Verdict { Ready, Older, Newer, Foreign, RulesMissing } verdict = Ready;
    int version = 0;
    QString message;
};
OpenCheck checkDatabase(const QSqlDatabase &db, EngineKind engine);

}  // namespace nbk::data::schema
