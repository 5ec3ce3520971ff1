// The reservation database, written once: every table, key, index, view and right, from
// which each engine's statements are made.
#include "data/definition/Definition.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

namespace nbk::data::schema {

namespace {
constexpr Type I = Type::Integer, R = Type::Real, N = Type::Numeric, T = Type::Text, D = Type::Date, B = Type::Blob;
}

const std::vector<Table> &tables()
{
    static const std::vector<Table> t = {
        // the file's own bookkeeping: accounts, sequences, the row FOR UPDATE locks
        {"nbk_account",
         {{"username", T}, {"salt", B, true}, {"iterations", I, true}, {"hash", B, true}, {"supervisor", I, true}},
         "username", {}, {}, On::Sqlite},
        {"nbk_sequence", {{"name", T}, {"value", I, true}, {"increment", I, true}}, "name", {}, {}, On::Sqlite},
        {"nbk_lock", {{"n", I}}, nullptr, {}, {}, On::Sqlite},
        // the ids each login drew in the hour it last drew one (see kDrawnIds)
        {"nbk_draws", {{"login", T}, {"hour", I, true}, {"n", I, true}}, "login", {}, {}, On::Sqlite},
        // which version each upgrade step left, oldest first
        {"nbk_schema_version", {{"version", I, true}, {"applied_at", T, true}, {"summary", T}}, "version"},

        {"place", {{"place", T}, {"full_name", T, true}}, "place", {}, {"place"}},
        // A place's name in Kannada, printed beside the English one; a table of its own, as
        // place rows are written by position. A place without a row prints in English only.
        {"place_local_name", {{"place", T, true, "place (place)", true}, {"name", T, true}}, "place", {},
         {"place"}},
        {"route_element",
         {{"reid", I}, {"place1", T, true, "place (place)"}, {"place2", T, true, "place (place)"}, {"km", R, true}},
         "reid", {}, {"reid"}},
        {"fuel_index", {{"fpi", I}, {"multiplier", R, true}, {"description", T}}, "fpi"},
        {"class_type", {{"class", I}, {"base", R, true}, {"multiplier", R, true}, {"description", T}}, "class"},
        {"route",
         {{"route_id", I}, {"place1", T}, {"place2", T}, {"stops", I}, {"km", R}, {"fpi", I}, {"stoptime", R},
          {"travelmins", R}, {"route_name", T}},
         "route_id", {}, {"route_id"}},
        {"path_order",
         {{"route_id", I, true, "route (route_id)", true}, {"sequence_no", I, true},
          {"reid", I, true, "route_element (reid)"}},
         "route_id, sequence_no", {}, {"route_id", "sequence_no"}},
        {"route_frequency",
         {{"route_id", I, true, "route (route_id)", true}, {"day", I, true}, {"frequency", R}, {"hour", I},
          {"minute", I}},
         "route_id, day", {}, {"route_id", "day"}},
        {"service_class", {{"route_id", I, true, "route (route_id)", true}, {"day", I, true}, {"class", I, true}},
         nullptr, {}, {"route_id", "day", "class"}},
        {"bus_info", {{"registration", T}, {"type", I, true}, {"total_seats", I, true}}, "registration"},
        {"bus_stand", {{"stand_id", I}, {"city", T, true}, {"location", T}}, "stand_id"},
        // free_seats is the vehicle's seats less the run's seat rows, whatever their
        // stretch (both engines' rules check it so): a seat sold again further along the
        // route counts twice, so it can fall below zero. Whether a journey has seats is
        // answered from the seat rows of its own stretch, never from this counter.
        {"bus_instance",
         {{"instance_id", I}, {"bus_id", I, true, "route (route_id)", true}, {"dep_date", D, true}, {"status", T},
          {"stand_id", I}, {"registration", T}, {"class", I}, {"free_seats", I}},
         "instance_id", {}, {"instance_id"}},
        // the phone is text, kept as typed: a leading zero or + is part of the number
        {"customer",
         {{"customer_id", I}, {"instance_id", I}, {"journey_date", D}, {"name", T}, {"age", N}, {"phone", T},
          {"gender", T}, {"origin", T}, {"destin", T}, {"fare", R}},
         "customer_id", {}, {"customer_id"}},
        // the seat rule: one seat of one run is held at most once on any segment; the
        // stretch includes both of its end segments (the file checks it by trigger)
        {"seat_matrix",
         {{"instance_id", I, true, "bus_instance (instance_id)", true}, {"seat_no", I, true},
          {"route_sequence1", I, true}, {"route_sequence2", I, true},
          {"customer_id", I, true, "customer (customer_id)"}, {"status", T}},
         nullptr, {"route_sequence1 <= route_sequence2"}, {"instance_id", "seat_no", "route_sequence1", "customer_id"},
         On::Both,
         "CONSTRAINT seat_matrix_taken EXCLUDE USING gist (instance_id WITH =, seat_no WITH =, "
         "int4range(route_sequence1, route_sequence2, '[]') WITH &&)"},
        // Cancellation charges: from hours_before hours before the departure the slab's
        // share of the fare given back is retained; below the lowest slab nothing is given
        // back. A schedule is the slabs of one effective_from; each booking keeps the one in
        // force at its sale (sale_terms), and no schedule in force is changed.
        {"cancel_slab", {{"effective_from", D, true}, {"hours_before", R, true}, {"retained_share", R, true}},
         "effective_from, hours_before", {"retained_share >= 0 AND retained_share <= 1"},
         {"effective_from", "hours_before"}},
        // written by the database when a customer row is made: the sale's time and the
        // schedule then in force (null: none, the fare is given back whole)
        {"sale_terms", {{"customer_id", I}, {"sold_at", D, true}, {"slabs_from", D}}, "customer_id"},
        // one row per cancellation that retains a charge, written before the fare and the
        // seats change: the fare before and after, the share and amount retained, the refund
        {"cancel_charge",
         {{"customer_id", I, true}, {"seats", I, true}, {"fare_before", R, true}, {"fare_after", R, true},
          {"retained_share", R, true}, {"retained", R, true}, {"refunded", R, true}},
         nullptr, {}, {"customer_id"}},
        // A clerk's shift closed: the cash the trail says the login took since its last
        // close, the cash counted by denomination ("500x3 100x2") and the difference.
        // Written once by the login itself, never changed.
        {"shift_close",
         {{"login", T, true}, {"closed_at", D, true}, {"expected", R, true}, {"counted", R, true},
          {"difference", R, true}, {"denominations", T, true}},
         nullptr, {"abs(difference - (counted - expected)) < 0.005", "counted >= 0"}, {"login", "closed_at"}},
        // Fare categories: passengers of an age range pay a share of the adult fare (a
        // child from 5 to 12 half of it). An adult has no category and pays it whole.
        {"fare_category", {{"category", T}, {"share", R, true}, {"min_age", N, true}, {"max_age", N, true}},
         "category", {"share >= 0 AND share <= 1", "min_age >= 0 AND min_age <= max_age"}, {"category"}},
        // The seats of a booking sold at a category: the passenger's age, the share and the
        // seat's fare as sold, so that a later change of the category changes no sale. A
        // seat without a row is an adult's, at the whole fare.
        {"seat_category",
         {{"customer_id", I, true}, {"seat_no", I, true}, {"category", T, true}, {"age", N, true},
          {"share", R, true}, {"fare", R, true}},
         "customer_id, seat_no", {}, {"customer_id", "seat_no"}},
        // The seats of a vehicle type (a class) as the bus is laid out: rows of seats_across
        // seats numbered from the front left, the aisle after aisle_after of them, the seats
        // at either end of a row by a window. A class without a layout has seats 1..total.
        // A seat marked for women or for senior citizens (from senior_age) is theirs until
        // release_minutes before the run's departure; after that it is open to everyone.
        {"seat_layout",
         {{"class", I}, {"seat_rows", I, true}, {"seats_across", I, true}, {"aisle_after", I, true},
          {"senior_age", N, true}, {"release_minutes", I, true}},
         "class",
         {"seat_rows BETWEEN 1 AND 50", "seats_across BETWEEN 1 AND 10", "aisle_after BETWEEN 0 AND seats_across",
          "senior_age >= 0", "release_minutes >= 0"},
         {"class"}},
        {"seat_mark",
         {{"class", I, true, "seat_layout (class)", true}, {"seat_no", I, true}, {"mark", T, true}},
         "class, seat_no", {"mark IN ('women', 'senior')", "seat_no >= 1"}, {"class", "seat_no"}},
        // the seat chart's scratch lines; on the server every session keeps its own rows
        // (the view tempbusroute shows a session its own), so two clerks charting at once
        // neither wait on nor read each other's lines
        {"tempbusroute", {{"seat_no", I}, {"line", T}}, nullptr, {}, {}, On::Sqlite},
        {"tempbusroute_rows", {{"backend", I, true}, {"seat_no", I}, {"line", T}}, nullptr, {}, {}, On::Postgres},
        // the query test window's own table
        {"test1", {{"c_id", I}, {"c_name", T}}},
        // the names of the database's groups on the server
        {"nbk_groups", {{"clerk", T, true}, {"supervisor", T, true}}, nullptr, {}, {}, On::Postgres},
        // The corporation's settings, one row: the zone its days are counted in, how long the
        // names and phones of finished bookings are kept, and how many ids one login may draw
        // in an hour. The zone is a name the engine knows (a rule of each engine); a change
        // is the supervisor's, in the trail.
        {"nbk_settings", {{"zone", T, true}, {"retention_days", I, true}, {"draws_per_hour", I, true}}, nullptr,
         {"retention_days >= 1", "draws_per_hour >= 1 AND draws_per_hour < 1048576"}, {"zone"}},
    };
    return t;
}

const std::vector<Index> &indexes()
{
    static const std::vector<Index> i = {
        {"place_full_name", "place", "full_name"},
        // a name's first letters (LIKE 'Xy%') find their rows through an index only with
        // the pattern operators, unless the database collates as C
        {"place_full_name_pattern", "place", "full_name text_pattern_ops", On::Postgres},
        // the place search matches in any letter case (UPPER(full_name) LIKE UPPER(?))
        {"place_full_name_upper", "place", "upper(full_name) text_pattern_ops", On::Postgres},
        {"route_element_places", "route_element", "place1, place2"},
        {"route_element_place2", "route_element", "place2"},
        {"route_place2", "route", "place2"},
        {"path_order_reid", "path_order", "reid, route_id, sequence_no"},
        {"service_class_route", "service_class", "route_id, class, day"},
        {"bus_info_type", "bus_info", "type"},
        {"bus_stand_city", "bus_stand", "city"},
        {"bus_instance_route", "bus_instance", "bus_id, class, dep_date"},
        {"bus_instance_vehicle", "bus_instance", "registration, dep_date"},
        {"customer_instance", "customer", "instance_id"},
        // the server's exclusion constraint serves the seat look-ups
        {"seat_matrix_seat", "seat_matrix", "instance_id, seat_no", On::Sqlite},
        {"seat_matrix_customer", "seat_matrix", "customer_id"},
        {"tempbusroute_rows_backend", "tempbusroute_rows", "backend, seat_no", On::Postgres},
        // the day statement and --since read a few days of the trail: a block range index
        // made the server check every row of its lossy pages again, more as the trail grew
        {"nbk_audit_changed", "nbk_audit", "changed_at"},
        {"nbk_audit_customer", "nbk_audit", "customer_id"},
        {"nbk_audit_txid", "nbk_audit", "txid", On::Sqlite},
    };
    return i;
}

const std::vector<View> &views()
{
    static const std::vector<View> v = {
        {"dual", "SELECT 'X' AS dummy", On::Sqlite},
        {"tempbusroute",
         "SELECT seat_no, line FROM tempbusroute_rows WHERE backend = pg_backend_pid() WITH CHECK OPTION",
         On::Postgres},
        {"vticket", R"(SELECT c.customer_id AS CUSTOMERID, c.name AS NAME, c.instance_id AS INSTANCE,
                  o.full_name AS ORIGIN, d.full_name AS DESTINATION,
                  c.journey_date AS JOURNEY_DATE, c.fare AS FARE, c.age AS AGE,
                  c.gender AS GENDER, c.phone AS PHONE
             FROM customer c LEFT JOIN place o ON o.place = c.origin
                             LEFT JOIN place d ON d.place = c.destin)"},
        {"accidentview", R"(SELECT bi.registration AS REGISTRATION, bi.instance_id AS INSTANCE,
                  c.name AS NAME, c.age AS AGE, c.gender AS GENDER, c.phone AS PHONE,
                  c.customer_id AS CUSTOMER_ID, bi.dep_date AS DEP_DATE
             FROM bus_instance bi JOIN customer c ON c.instance_id = bi.instance_id)"},
        {"routeserviceview", R"(SELECT r.route_id AS ROUTE_ID, bi.instance_id AS INSTANCE_ID,
                  bi.dep_date AS DEP_DATE, r.km AS KM
             FROM route r JOIN bus_instance bi ON bi.bus_id = r.route_id)"},
        {"btimetable", R"(SELECT bi.instance_id AS INSTANCE_ID, bi.bus_id AS BUS_ID, bi.dep_date AS DEP_DATE,
                  bs.location AS LOCATION, bs.city AS CITY, ct.description AS DESCRIPTION
             FROM bus_instance bi LEFT JOIN bus_stand bs ON bs.stand_id = bi.stand_id
                                  LEFT JOIN class_type ct ON ct.class = bi.class)"},
    };
    return v;
}

const std::vector<Right> &rights()
{
    static const std::vector<Right> r = {
        {"SELECT", "ALL TABLES", Group::Clerk},
        // booking, customer details, cancellation and on-demand runs
        {"INSERT, DELETE", "customer, seat_matrix", Group::Clerk},
        {"UPDATE (customer_id, instance_id, journey_date, name, age, phone, gender, origin, destin, fare)", "customer",
         Group::Clerk},
        {"INSERT, UPDATE (free_seats)", "bus_instance", Group::Clerk},
        // (the ids of bookings and runs are drawn through nbk_nextval, which counts them)
        // the seat chart's scratch lines, and the query test window's own table
        {"INSERT, DELETE", "tempbusroute", Group::Clerk},
        {"INSERT, UPDATE, DELETE", "test1", Group::Clerk},
        // the route wizard and route deletion (its runs, path, timetable and classes go
        // with the route by the keys' cascade, which runs with the owner's rights)
        {"INSERT", "place, route_element, route, path_order, route_frequency, service_class", Group::Supervisor},
        {"UPDATE (place1, place2, stops, km, fpi, stoptime, travelmins, route_name)", "route", Group::Supervisor},
        {"DELETE", "route, path_order, route_frequency, service_class", Group::Supervisor},
        {"USAGE", "SEQUENCE place_seq, reid_seq, route_seq", Group::Supervisor},
        // cancellation charges: a cancellation records its charge, the supervisor the slabs
        {"INSERT", "cancel_charge", Group::Clerk},
        {"INSERT, DELETE", "cancel_slab", Group::Supervisor},
        // the shift's close, by the clerk whose shift it is
        {"INSERT", "shift_close", Group::Clerk},
        // a booking's concession seats, given back with them; the categories, the supervisor's
        {"INSERT, DELETE", "seat_category", Group::Clerk},
        {"INSERT, UPDATE, DELETE", "fare_category", Group::Supervisor},
        // the places' Kannada names
        {"INSERT, UPDATE, DELETE", "place_local_name", Group::Supervisor},
        {"UPDATE (zone, retention_days, draws_per_hour)", "nbk_settings", Group::Supervisor},
        // the seat layouts of the vehicle types, the supervisor's
        {"INSERT, UPDATE, DELETE", "seat_layout, seat_mark", Group::Supervisor},
    };
    return r;
}

namespace {

// "group privilege table" -> the columns it covers (empty: every column)
using RightsIndex = QHash<QString, QSet<QString>>;
QString rightKey(Group g, const QString &privilege, const QString &table)
{
    return QStringLiteral("%1 %2 %3").arg(int(g)).arg(privilege.toUpper(), table.toLower());
}

const RightsIndex &rightsIndex()
{
    static const RightsIndex index = [] {
        RightsIndex ix;
        // "INSERT, UPDATE (a, b)": the privileges with their column lists
        static const QRegularExpression privilege(QStringLiteral(R"((SELECT|INSERT|UPDATE|DELETE|USAGE)(?:\s*\(([^)]*)\))?)"));
        for (const Right &r : rights()) {
            const QString objects = QLatin1String(r.objects);
            if (objects.startsWith(QLatin1String("SEQUENCE")) || objects == QLatin1String("ALL TABLES"))
                continue;
            auto it = privilege.globalMatch(QLatin1String(r.privileges));
            while (it.hasNext()) {
                const QRegularExpressionMatch m = it.next();
                QSet<QString> columns;
                for (const QString &c : m.captured(2).split(QLatin1Char(','), Qt::SkipEmptyParts))
                    columns.insert(c.trimmed().toLower());
                for (const QString &t : objects.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                    const QString key = rightKey(r.group, m.captured(1), t.trimmed());
                    // a right on the whole table stays whole
                    if (ix.contains(key) && (ix[key].isEmpty() || columns.isEmpty()))
                        ix[key].clear();
                    else
                        ix[key] += columns;
                }
            }
        }
        return ix;
    }();
    return index;
}

}  // namespace

bool allows(Group group, const QString &privilege, const QString &table, const QString &column)
{
    const RightsIndex &ix = rightsIndex();
    const auto it = ix.constFind(rightKey(group, privilege, table));
    if (it != ix.constEnd() && (it->isEmpty() || column.isEmpty() || it->contains(column.toLower())))
        return true;
    return group == Group::Supervisor && allows(Group::Clerk, privilege, table, column);
}

bool reachedByCascade(Group group, const QString &table)
{
    const Table *t = findTable(table);
    if (!t)
        return false;
    for (const Column &c : t->columns) {
        if (!c.references || !c.cascade)
            continue;
        const QString parent = QString::fromLatin1(c.references).section(QLatin1Char(' '), 0, 0);
        if (parent != table && (allows(group, QStringLiteral("DELETE"), parent) || reachedByCascade(group, parent)))
            return true;
    }
    return false;
}

const Table *findTable(const QString &name)
{
    for (const Table &t : tables())
        if (name.compare(QLatin1String(t.name), Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

std::vector<ValueRule> valueRules(const Table &t)
{
    std::vector<ValueRule> out;
    if (t.auditKey.empty())
        return out;  // the file's bookkeeping, the scratch tables, the owner's reference data
    // far beyond any fare, distance or id, and within what a double holds exactly
    constexpr double kLargest = 1e15;
    for (const Column &c : t.columns) {
        const QLatin1String table(t.name), column(c.name);
        if (c.type == Type::Blob)
            continue;
        if (c.type == Type::Text)
            out.push_back({c.name, c.type,
                           table == QLatin1String("route") && column == QLatin1String("route_name") ? kMaxRouteNameText
                           : table == QLatin1String("place_local_name")                             ? kMaxPlaceLocalNameText
                                                                                                     : kMaxTypedText});
        else if (table == QLatin1String("customer") && column == QLatin1String("age"))
            out.push_back({c.name, c.type, 0, -1, kMaxAgeYears});
        else
            out.push_back({c.name, c.type, 0, -kLargest, kLargest});
    }
    return out;
}

QString holdsControlCharacter(const QString &value, EngineKind engine)
{
    // an escape string, read alike whatever the session's standard_conforming_strings
    if (engine == EngineKind::Postgres)
        return QStringLiteral("%1 ~ E'[\\\\x01-\\\\x1f\\\\x7f-\\\\x9f\\\\u2028\\\\u2029]'").arg(value);
    return QStringLiteral("(%1 GLOB '*[' || char(1) || '-' || char(31) || char(127) || '-' || char(159) || "
                          "char(8232) || char(8233) || ']*' OR instr(%1, char(0)) > 0)")
        .arg(value);
}

bool carries(On on, EngineKind engine)
{
    return on == On::Both || (on == On::Sqlite) == (engine == EngineKind::Sqlite);
}

QString typeName(Type type, EngineKind engine)
{
    const bool file = engine == EngineKind::Sqlite;
    switch (type) {
    case Type::Integer:
        return file ? QStringLiteral("INTEGER") : QStringLiteral("integer");
    case Type::Real:
        return file ? QStringLiteral("REAL") : QStringLiteral("numeric");
    case Type::Numeric:
        return file ? QStringLiteral("NUMERIC") : QStringLiteral("numeric");
    case Type::Text:
        return file ? QStringLiteral("TEXT") : QStringLiteral("text");
    case Type::Date:
        return file ? QStringLiteral("DATE") : QStringLiteral("timestamp(0)");
    case Type::Blob:
        return file ? QStringLiteral("BLOB") : QStringLiteral("bytea");
    }
    return {};
}

namespace {

// Defaults the definition cannot say in types: the file's account names match in any
// letter case; a scratch row belongs to the server process that wrote it.
QString columnTail(const Table &t, const Column &c, EngineKind engine)
{
    const QString table = QLatin1String(t.name), column = QLatin1String(c.name);
    if (table == QLatin1String("nbk_account") && column == QLatin1String("username"))
        return QStringLiteral(" COLLATE NOCASE");
    if (table == QLatin1String("nbk_account") && column == QLatin1String("supervisor"))
        return QStringLiteral(" DEFAULT 0");
    if (table == QLatin1String("nbk_sequence") && column == QLatin1String("increment"))
        return QStringLiteral(" DEFAULT 1");
    if (table == QLatin1String("tempbusroute_rows") && column == QLatin1String("backend"))
        return QStringLiteral(" DEFAULT pg_backend_pid()");
    Q_UNUSED(engine);
    return {};
}

}  // namespace

QString createTable(const Table &t, EngineKind engine)
{
    const QString key = t.primaryKey ? QString::fromLatin1(t.primaryKey) : QString();
    const bool inlineKey = !key.isEmpty() && !key.contains(QLatin1Char(','));
    QStringList parts;
    for (const Column &c : t.columns) {
        QString p = QLatin1String(c.name) + QLatin1Char(' ') + typeName(c.type, engine);
        if (inlineKey && key == QLatin1String(c.name))
            p += QStringLiteral(" PRIMARY KEY");
        p += columnTail(t, c, engine);
        if (c.notNull)
            p += QStringLiteral(" NOT NULL");
        if (c.references) {
            p += QStringLiteral(" REFERENCES ") + QLatin1String(c.references);
            if (c.cascade)
                p += QStringLiteral(" ON DELETE CASCADE");
        }
        parts << p;
    }
    if (!key.isEmpty() && !inlineKey)
        parts << QStringLiteral("PRIMARY KEY (%1)").arg(key);
    for (const char *check : t.checks)
        parts << QStringLiteral("CHECK (%1)").arg(QLatin1String(check));
    if (engine == EngineKind::Postgres && t.postgresConstraints)
        parts << QLatin1String(t.postgresConstraints);
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(QLatin1String(t.name), parts.join(QStringLiteral(", ")));
}

QString createIndex(const Index &i, EngineKind engine)
{
    const QString method = engine == EngineKind::Postgres && i.method
                               ? QStringLiteral(" USING ") + QLatin1String(i.method)
                               : QString();
    return QStringLiteral("CREATE INDEX %1 ON %2%3 (%4)")
        .arg(QLatin1String(i.name), QLatin1String(i.table), method, QLatin1String(i.columns));
}

QString createView(const View &v, EngineKind engine)
{
    Q_UNUSED(engine);
    return QStringLiteral("CREATE VIEW %1 AS %2").arg(QLatin1String(v.name), QLatin1String(v.select));
}

QStringList tableStatements(EngineKind engine)
{
    QStringList s;
    for (const Table &t : tables())
        if (carries(t.on, engine))
            s << createTable(t, engine);
    return s;
}

QStringList indexStatements(EngineKind engine)
{
    QStringList s;
    for (const Index &i : indexes())
        if (carries(i.on, engine) && QLatin1String(i.table) != QLatin1String("nbk_audit"))
            s << createIndex(i, engine);
    return s;
}

QStringList viewStatements(EngineKind engine)
{
    QStringList s;
    for (const View &v : views())
        if (carries(v.on, engine))
            s << createView(v, engine);
    return s;
}

}  // namespace nbk::data::schema
