#pragma once
#include <QString>
#include <QStringList>
#include <vector>

namespace nbk::data::schema {

// The engines a schema is rendered for (a server reached through ODBC is a PostgreSQL
// database made by the same definition).
enum class EngineKind { Sqlite, Postgres };

enum class Type {
    Integer,
    Real,     // REAL on the file (always a float), numeric on the server
    Numeric,  // NUMERIC on the file (whole numbers stay integers), numeric on the server
    Text,
    Date,     // days since 1899-12-30 on the file, timestamp(0) on the server
    Blob,
};

struct Column {
    const char *name;
    Type type;
    bool notNull = false;
    // "table (column)"; cascade: the row goes with the row it references
    const char *references = nullptr;
    bool cascade = false;
};

// Which engines carry an object.
enum class On { Both, Sqlite, Postgres };

struct Table {
    const char *name;
    std::vector<Column> columns;
    const char *primaryKey = nullptr;  // "a, b"; a single INTEGER key is the file's rowid
    std::vector<const char *> checks = {};
    // audited: every row written leaves an audit row keyed by these columns
    std::vector<const char *> auditKey = {};
    On on = On::Both;
    // constraints only the server can state (an exclusion constraint)
    const char *postgresConstraints = nullptr;
};

struct Index {
    const char *name;
    const char *table;
    const char *columns;  // as written inside the parentheses
    On on = On::Both;
    const char *method = nullptr;  // the server's index method (brin, gist); null: btree
};

struct View {
    const char *name;
    const char *select;
    On on = On::Both;
};

// Who may do what: the server grants it to the database's groups, the file's authorizer
// allows it to the logins of the group (a supervisor can do whatever a clerk can).
enum class Group { Clerk, Supervisor };
struct Right {
    const char *privileges;  // "INSERT, DELETE", "UPDATE (free_seats)", "USAGE"
    const char *objects;     // "customer, seat_matrix", "SEQUENCE c_seq"
    Group group;
};

// Whether a group may write a table: privilege INSERT, UPDATE (of column) or DELETE. A
// supervisor may also do whatever a clerk may.
bool allows(Group group, const QString &privilege, const QString &table, const QString &column = {});
// Whether deleting rows the group may delete can take rows of this table along by a key's
// cascade (a route's runs and their seats). An engine that cannot tell a cascade from a
// statement of its own lets the group delete such rows.
bool reachedByCascade(Group group, const QString &table);

const std::vector<Table> &tables();
const std::vector<Index> &indexes();
const std::vector<View> &views();
const std::vector<Right> &rights();
const Table *findTable(const QString &name);

// The engine's type for a column type.
QString typeName(Type type, EngineKind engine);
// CREATE TABLE / INDEX / VIEW statements of the objects an engine carries, in an order
// that creates what is referenced first.
QString createTable(const Table &t, EngineKind engine);
QString createIndex(const Index &i, EngineKind engine);
QString createView(const View &v, EngineKind engine);
QStringList tableStatements(EngineKind engine);
QStringList indexStatements(EngineKind engine);
QStringList viewStatements(EngineKind engine);

bool carries(On on, EngineKind engine);

// The longest text a typed field takes: a line edit's own limit, which every field without
// a limit of its own keeps.
inline constexpr int kMaxTypedText = 32767;
// The route screen's limit of a route's name.
inline constexpr int kMaxRouteNameText = 60;
// a place's Kannada name, printed beside the English one on a ticket and a manifest line
inline constexpr int kMaxPlaceLocalNameText = 60;
// The ages the customer screen takes, and the booking's placeholder (-1).
inline constexpr int kMaxAgeYears = 120;

// What a value written to a table the counters write may be, checked by both engines on
// every row written (on an update, in the columns changed only, so that a row stored
// before the rule can still be cancelled): text of at most maxChars characters without a
// control character, or a finite number from min to max.
struct ValueRule {
    const char *column;
    Type type;
    int maxChars = 0;
    double min = 0;
    double max = 0;
};
std::vector<ValueRule> valueRules(const Table &t);
// The condition that a text value holds a control character, as each engine tests it: C0
// and C1 controls, DEL, the line and paragraph separators (what the customer screen's name
// check refuses).
QString holdsControlCharacter(const QString &value, EngineKind engine);

}  // namespace nbk::data::schema
