// The server's own rules: what each group may do, the invariants every commit keeps and
// the audit trail the database writes itself.
#include "data/schema/PostgresSchema.h"
#include "data/definition/Definition.h"
#include "data/schema/Schema.h"

#include <QCryptographicHash>

namespace nbk::data::schema {

namespace {

QString ident(const QString &name)
{
    QString n = name;
    n.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

// The audit row's key and customer, read from the row's own columns: one branch per table
// (a generic reading through jsonb cost more than the rest of the audit row).
QString auditKeyBranches()
{
    QString out;
    for (const Table &t : tables()) {
        if (t.auditKey.empty())
            continue;
        QStringList parts;
        bool customer = false;
        for (const char *k : t.auditKey) {
            parts << QStringLiteral("coalesce(r.%1::text, '')").arg(QLatin1String(k));
            customer = customer || qstrcmp(k, "customer_id") == 0;
        }
        out += QStringLiteral("  WHEN '%1' THEN\n    k := %2;\n").arg(QLatin1String(t.name), parts.join(QStringLiteral(" || '/' || ")));
        if (customer)
            out += QStringLiteral("    c := r.customer_id;\n");
    }
    return out;
}

// The value rules of one table as a trigger function: on an update, only the columns
// changed are checked, so that a row stored before a rule can still be cancelled.
QString valuesFunction(const Table &t)
{
    QString body;
    for (const ValueRule &r : valueRules(t)) {
        if (r.type == Type::Integer)
            continue;  // an integer column holds nothing else
        const QString c = QLatin1String(r.column);
        const QString v = QStringLiteral("NEW.") + c;
        const QString name = QStringLiteral("%1.%2").arg(QLatin1String(t.name), c);
        QString checks;
        if (r.type == Type::Text)
            checks = QStringLiteral("    IF pg_catalog.char_length(%1) > %2 THEN\n"
                                    "      RAISE EXCEPTION 'ORA-12899: value too large for column %3 (actual: %, maximum: %2)',\n"
                                    "        pg_catalog.char_length(%1) USING ERRCODE = '22001';\n"
                                    "    ELSIF %4 THEN\n"
                                    "      RAISE EXCEPTION 'ORA-02290: check constraint violated - %3 holds a control character'\n"
                                    "        USING ERRCODE = '23514';\n"
                                    "    END IF;\n")
                         .arg(v)
                         .arg(r.maxChars)
                         .arg(name, holdsControlCharacter(v, EngineKind::Postgres));
        else if (r.type == Type::Date)
            checks = QStringLiteral("    IF NOT pg_catalog.isfinite(%1) THEN\n"
                                    "      RAISE EXCEPTION 'ORA-02290: check constraint violated - %2 must be a finite date'\n"
                                    "        USING ERRCODE = '23514';\n"
                                    "    END IF;\n")
                         .arg(v, name);
        else  // NaN sorts above every number, so the range refuses it with the infinities
            checks = QStringLiteral("    IF NOT (%1 >= %2 AND %1 <= %3) THEN\n"
                                    "      RAISE EXCEPTION 'ORA-02290: check constraint violated - %4 must be a number from %2 to %3'\n"
                                    "        USING ERRCODE = '23514';\n"
                                    "    END IF;\n")
                         .arg(v)
                         .arg(r.min, 0, 'g', 17)
                         .arg(r.max, 0, 'g', 17)
                         .arg(name);
        body += QStringLiteral("  IF TG_OP = 'INSERT' OR %1 IS DISTINCT FROM OLD.%2 THEN\n%3  END IF;\n").arg(v, c, checks);
    }
    return QStringLiteral("CREATE FUNCTION public.nbk_%1_values() RETURNS trigger\n"
                          "  LANGUAGE plpgsql\n"
                          "  AS $$\nBEGIN\n%2  RETURN NEW;\nEND $$")
        .arg(QLatin1String(t.name), body);
}

}  // namespace

QStringList postgresRuleObjectStatements()
{
    QStringList s = {
        // The commit-time checks bind every role but the database's owner (and superusers,
        // who are members of every role): the owner can switch triggers off anyway, and
        // repairs and data loads are the owner's work. The functions below run once per
        // row changed, so they carry no settings of their own (a SET clause costs every
        // call) and name every table with its schema: clerks create no objects anywhere
        // (no CREATE, no TEMPORARY), so nothing can stand in for them.
        // plpgsql keeps its statements' plans for the session; a SQL function called from
        // plpgsql is planned anew in every transaction, which made this the dearest check
        R"(CREATE FUNCTION public.nbk_rules_bind() RETURNS boolean
             LANGUAGE plpgsql STABLE
             AS $$
           BEGIN
             RETURN NOT pg_catalog.pg_has_role(session_user,
                      (SELECT d.datdba FROM pg_catalog.pg_database d WHERE d.datname = pg_catalog.current_database()),
                      'MEMBER');
           END $$)",
        R"(CREATE FUNCTION public.nbk_seat_fare(km double precision, fuel double precision,
             class_multiplier double precision, base double precision) RETURNS double precision
             LANGUAGE sql IMMUTABLE PARALLEL SAFE
             AS $$ SELECT pg_catalog.round(pg_catalog.round(km * class_multiplier + pg_catalog.round(km * fuel)) + base) $$)",
        // free_seats is the capacity less the seats held (a booking lowers it by its seats,
        // a cancellation raises it by the seats it frees).
        R"(CREATE FUNCTION public.nbk_check_counter(run integer) RETURNS void
             LANGUAGE plpgsql STABLE
             AS $$
           DECLARE
             free integer;
             capacity integer;
             held bigint;
           BEGIN
             SELECT bi.free_seats, b.total_seats INTO free, capacity
               FROM public.bus_instance bi LEFT JOIN public.bus_info b ON b.registration = bi.registration
              WHERE bi.instance_id = run;
             IF NOT FOUND THEN
               RETURN;
             END IF;
             SELECT count(*) INTO held FROM public.seat_matrix sm WHERE sm.instance_id = run;
             IF capacity IS NULL OR free IS DISTINCT FROM capacity - held THEN
               RAISE EXCEPTION 'ORA-20002: free seats of run % do not match its seats held (% free, % of % held)',
                 run, free, held, capacity USING ERRCODE = '23514';
             END IF;
           END $$)",
        // A customer's fare is the fare rule of its run over the stretch its seats hold,
        // times its seats; a customer without seats owes nothing. The placeholder row of a
        // booking is free of it until the booking commits (the check is deferred). Lookups
        // by key, one statement each: each plans in a moment and keeps a generic plan.
        R"(CREATE FUNCTION public.nbk_check_fare(cid integer) RETURNS void
             LANGUAGE plpgsql STABLE
             AS $$
           DECLARE
             fare numeric;
             run integer;
             seats bigint;
             s1 integer;
             s2 integer;
             same_run boolean;
             route integer;
             base numeric;
             class_multiplier numeric;
             fuel numeric;
             km numeric;
             adult double precision;
             concessions bigint;
             concession_fares double precision;
             wrong record;
             want double precision;
           BEGIN
             SELECT c.fare, c.instance_id INTO fare, run FROM public.customer c WHERE c.customer_id = cid;
             IF NOT FOUND THEN
               RETURN;  -- deleted, after its seats (their key)
             END IF;
             SELECT count(*), min(sm.route_sequence1), max(sm.route_sequence2), bool_and(sm.instance_id = run)
               INTO seats, s1, s2, same_run
               FROM public.seat_matrix sm WHERE sm.customer_id = cid;
             IF seats = 0 THEN
               IF fare IS DISTINCT FROM 0 THEN
                 RAISE EXCEPTION 'ORA-20004: customer % holds no seat but owes %', cid, fare
                   USING ERRCODE = '23514';
               END IF;
               RETURN;
             ELSIF NOT same_run THEN
               RAISE EXCEPTION 'ORA-20004: customer % holds seats of another run than its own', cid
                 USING ERRCODE = '23514';
             END IF;
             SELECT bi.bus_id, ct.base, ct.multiplier, f.multiplier INTO route, base, class_multiplier, fuel
               FROM public.bus_instance bi JOIN public.class_type ct ON ct.class = bi.class
                    JOIN public.route r ON r.route_id = bi.bus_id JOIN public.fuel_index f ON f.fpi = r.fpi
              WHERE bi.instance_id = run;
             SELECT sum(re.km) INTO km FROM public.route_element re
              WHERE re.reid IN (SELECT po.reid FROM public.path_order po
                                 WHERE po.route_id = route AND po.sequence_no BETWEEN s1 AND s2);
             adult := public.nbk_seat_fare(pg_catalog.round(km::double precision), fuel, class_multiplier, base);
             -- concession seats pay their share of the adult fare, each rounded as sold
             SELECT sc.seat_no, sc.share, sc.fare INTO wrong
               FROM public.seat_category sc JOIN public.seat_matrix sm
                    ON sm.customer_id = sc.customer_id AND sm.seat_no = sc.seat_no
              WHERE sc.customer_id = cid
                AND NOT abs(sc.fare::double precision - pg_catalog.round(adult * sc.share::double precision)) <= 0.001
              LIMIT 1;
             IF FOUND THEN
               RAISE EXCEPTION 'ORA-20004: fare % of seat % of customer % is not its share % of %', wrong.fare,
                 wrong.seat_no, cid, wrong.share, adult USING ERRCODE = '23514';
             END IF;
             SELECT count(*), coalesce(sum(sc.fare), 0) INTO concessions, concession_fares
               FROM public.seat_category sc JOIN public.seat_matrix sm
                    ON sm.customer_id = sc.customer_id AND sm.seat_no = sc.seat_no
              WHERE sc.customer_id = cid;
             want := adult * (seats - concessions) + concession_fares;
             IF want IS NULL OR fare IS NULL OR abs(fare::double precision - want) > 0.001 THEN
               RAISE EXCEPTION 'ORA-20004: fare % of customer % is not the fare % of its % seats', fare, cid,
                 want, seats USING ERRCODE = '23514';
             END IF;
           END $$)",
        // A customer row this transaction made: the trail holds its insert under the
        // transaction's id (every statement of a session runs in a savepoint of its own, so
        // the row's xmin is a subtransaction's). Only such a row is a booking being made.
        // In plpgsql, whose plan the session keeps: a SQL function with settings is planned
        // again at every call.
        R"(CREATE FUNCTION public.nbk_made_here(cid integer) RETURNS boolean
             LANGUAGE plpgsql STABLE SECURITY DEFINER SET search_path = pg_catalog, pg_temp
             AS $$
           BEGIN
             RETURN EXISTS (SELECT 1 FROM public.nbk_audit a WHERE a.customer_id = cid
                             AND a.txid = pg_catalog.txid_current() AND a.table_name = 'customer'
                             AND a.action = 'INSERT');
           END $$)",
        // A booking made in this transaction travels where its seats are: one stretch for
        // all of them, its first and last stops as origin and destination, and a journey
        // date on its run, from the departure to the arrival at the last stop (the route's
        // travel time and halts, a day when the route has neither; two minutes for
        // roundings). A booking made earlier is fixed at its commit.
        R"(CREATE FUNCTION public.nbk_check_journey(cid integer) RETURNS void
             LANGUAGE plpgsql
             AS $$
           DECLARE
             c record;
             st record;
             minutes double precision;
           BEGIN
             IF NOT public.nbk_made_here(cid) THEN
               RETURN;
             END IF;
             SELECT count(*) AS n, min(sm.route_sequence1) AS a1, max(sm.route_sequence1) AS b1,
                    min(sm.route_sequence2) AS a2, max(sm.route_sequence2) AS b2
               INTO st FROM public.seat_matrix sm WHERE sm.customer_id = cid;
             IF st.n = 0 THEN
               RETURN;  -- a placeholder, or a booking cancelled whole
             END IF;
             IF st.a1 <> st.b1 OR st.a2 <> st.b2 THEN
               RAISE EXCEPTION 'ORA-20007: the seats of customer % hold different stretches', cid
                 USING ERRCODE = '23514';
             END IF;
             SELECT cu.instance_id, cu.origin, cu.destin, cu.journey_date, bi.dep_date, ro.km, ro.travelmins,
                    ro.stoptime, ro.stops,
                    (SELECT re.place1 FROM public.path_order po JOIN public.route_element re ON re.reid = po.reid
                      WHERE po.route_id = bi.bus_id AND po.sequence_no = st.a1) AS first_stop,
                    (SELECT re.place2 FROM public.path_order po JOIN public.route_element re ON re.reid = po.reid
                      WHERE po.route_id = bi.bus_id AND po.sequence_no = st.b2) AS last_stop
               INTO c FROM public.customer cu LEFT JOIN public.bus_instance bi ON bi.instance_id = cu.instance_id
                    LEFT JOIN public.route ro ON ro.route_id = bi.bus_id
              WHERE cu.customer_id = cid;
             IF c.first_stop IS NULL OR c.last_stop IS NULL OR c.origin IS DISTINCT FROM c.first_stop
                OR c.destin IS DISTINCT FROM c.last_stop THEN
               RAISE EXCEPTION 'ORA-20007: customer % travels from % to %, but its seats hold % to %', cid, c.origin,
                 c.destin, c.first_stop, c.last_stop USING ERRCODE = '23514';
             END IF;
             minutes := coalesce(CASE WHEN c.travelmins > 0 THEN c.travelmins WHEN c.km > 0 THEN c.km / 0.83334 END,
                                 1440) + coalesce(c.stops, 0) * coalesce(c.stoptime, 0) + 2;
             -- the session's path may hold the Oracle date operators: the built-in ones are named
             IF c.journey_date IS NULL OR c.dep_date IS NULL OR c.journey_date OPERATOR(pg_catalog.<) c.dep_date
                OR c.journey_date OPERATOR(pg_catalog.>) (c.dep_date OPERATOR(pg_catalog.+)
                                                           pg_catalog.make_interval(secs => minutes * 60)) THEN
               RAISE EXCEPTION 'ORA-20007: the journey date % of customer % is not on its run % (from % for % minutes)',
                 c.journey_date, cid, c.instance_id, c.dep_date, minutes USING ERRCODE = '23514';
             END IF;
           END $$)",
        // A seat kept for women or senior citizens, written in this transaction before its
        // release (its minutes before the run's departure), holds a passenger it is kept
        // for: a woman, or a senior by the customer's age or by the seat's concession.
        R"(CREATE FUNCTION public.nbk_check_reserved(run integer, seat integer, cid integer) RETURNS void
             LANGUAGE plpgsql
             AS $$
           DECLARE
             k record;
           BEGIN
             SELECT m.mark, l.senior_age, c.gender, c.age INTO k
               FROM public.bus_instance bi JOIN public.seat_layout l ON l.class = bi.class
                    JOIN public.seat_mark m ON m.class = l.class AND m.seat_no = seat
                    JOIN public.customer c ON c.customer_id = cid
              WHERE bi.instance_id = run
                AND public.nbk_now() OPERATOR(pg_catalog.<)
                    (bi.dep_date OPERATOR(pg_catalog.-) pg_catalog.make_interval(mins => l.release_minutes));
             IF NOT FOUND THEN
               RETURN;
             END IF;
             IF k.mark = 'women' THEN
               IF pg_catalog.upper(pg_catalog.btrim(k.gender)) IS DISTINCT FROM 'F' THEN
                 RAISE EXCEPTION 'ORA-20010: seat % is kept for women until its release before the departure; customer % is not',
                   seat, cid USING ERRCODE = '23514';
               END IF;
             ELSIF NOT coalesce(k.age >= k.senior_age, false)
                   AND NOT EXISTS (SELECT 1 FROM public.seat_category sc WHERE sc.customer_id = cid AND sc.seat_no = seat
                                    AND (sc.age >= k.senior_age OR pg_catalog.lower(sc.category) = 'senior')) THEN
               RAISE EXCEPTION 'ORA-20010: seat % is kept for senior citizens until its release before the departure; customer % is not',
                 seat, cid USING ERRCODE = '23514';
             END IF;
           END $$)",
        // A seat's customer is checked here unless the trail shows the customer row updated
        // in this transaction after every seat change of that customer: that update's own
        // commit-time check (nbk_customer_rules, the fare and the journey) runs after all of
        // them and sees them all, so a booking of n seats checks its customer once, not n + 1
        // times. The trail is written only by the owner's function, in the changing
        // (sub)transaction, so no session can make it say so without the update.
        R"(CREATE FUNCTION public.nbk_seat_rules() RETURNS trigger
             LANGUAGE plpgsql
             AS $$
           DECLARE
             later boolean;
           BEGIN
             IF public.nbk_rules_bind() THEN
               IF TG_OP <> 'INSERT' THEN
                 PERFORM public.nbk_check_counter(OLD.instance_id);
                 PERFORM public.nbk_check_fare(OLD.customer_id);
               END IF;
               IF TG_OP <> 'DELETE' THEN
                 PERFORM public.nbk_check_counter(NEW.instance_id);
                 SELECT coalesce(max(a.audit_id) FILTER (WHERE a.table_name = 'customer' AND a.action = 'UPDATE')
                                 > max(a.audit_id) FILTER (WHERE a.table_name = 'seat_matrix'), false)
                   INTO later
                   FROM public.nbk_audit a
                  WHERE a.customer_id = NEW.customer_id AND a.txid = pg_catalog.txid_current();
                 IF NOT later THEN
                   PERFORM public.nbk_check_fare(NEW.customer_id);
                   PERFORM public.nbk_check_journey(NEW.customer_id);
                 END IF;
                 PERFORM public.nbk_check_reserved(NEW.instance_id, NEW.seat_no, NEW.customer_id);
               END IF;
             END IF;
             RETURN NULL;
           END $$)",
        R"(CREATE FUNCTION public.nbk_run_rules() RETURNS trigger
             LANGUAGE plpgsql
             AS $$
           BEGIN
             IF public.nbk_rules_bind() THEN
               PERFORM public.nbk_check_counter(NEW.instance_id);
             END IF;
             RETURN NULL;
           END $$)",
        R"(CREATE FUNCTION public.nbk_customer_rules() RETURNS trigger
             LANGUAGE plpgsql
             AS $$
           BEGIN
             -- a new row owing nothing (the booking's placeholder) can only break the rule
             -- through seats, whose own check covers it
             IF TG_OP = 'INSERT' AND NEW.fare = 0 THEN
               RETURN NULL;
             END IF;
             IF public.nbk_rules_bind() THEN
               IF TG_OP = 'UPDATE' AND OLD.customer_id <> NEW.customer_id THEN
                 PERFORM public.nbk_check_fare(OLD.customer_id);
               END IF;
               PERFORM public.nbk_check_fare(NEW.customer_id);
               PERFORM public.nbk_check_journey(NEW.customer_id);
             END IF;
             RETURN NULL;
           END $$)",
        // Checked at commit, once per row changed: in between, a booking holds its seats
        // before it lowers the counter, and a partial cancellation lowers the fare first.
        R"(CREATE CONSTRAINT TRIGGER seat_matrix_rules AFTER INSERT OR UPDATE OR DELETE ON seat_matrix
             DEFERRABLE INITIALLY DEFERRED FOR EACH ROW EXECUTE FUNCTION public.nbk_seat_rules())",
        R"(CREATE FUNCTION public.nbk_category_rules() RETURNS trigger
             LANGUAGE plpgsql
             AS $$
           BEGIN
             IF public.nbk_rules_bind() THEN
               PERFORM public.nbk_check_fare(CASE WHEN TG_OP = 'DELETE' THEN OLD.customer_id ELSE NEW.customer_id END);
             END IF;
             RETURN NULL;
           END $$)",
        R"(CREATE CONSTRAINT TRIGGER seat_category_rules AFTER INSERT OR DELETE ON seat_category
             DEFERRABLE INITIALLY DEFERRED FOR EACH ROW EXECUTE FUNCTION public.nbk_category_rules())",
        // A concession seat is sold with its booking, for a seat of it, at its category's
        // share and for an age the category takes, and kept as sold: at once, for every
        // role but the owner.
        R"(CREATE FUNCTION public.nbk_category_sold() RETURNS trigger
             LANGUAGE plpgsql
             AS $$
           BEGIN
             IF NOT public.nbk_rules_bind() THEN
               RETURN NEW;
             END IF;
             IF TG_OP = 'UPDATE' THEN
               RAISE EXCEPTION 'ORA-20004: a concession seat is kept as it was sold' USING ERRCODE = '23514';
             END IF;
             IF NOT public.nbk_made_here(NEW.customer_id) THEN
               RAISE EXCEPTION 'ORA-20004: a concession is sold with its booking, not after it' USING ERRCODE = '23514';
             END IF;
             IF NOT EXISTS (SELECT 1 FROM public.seat_matrix sm WHERE sm.customer_id = NEW.customer_id
                             AND sm.seat_no = NEW.seat_no) THEN
               RAISE EXCEPTION 'ORA-20004: a concession is for a seat of the booking' USING ERRCODE = '23514';
             END IF;
             IF NOT EXISTS (SELECT 1 FROM public.fare_category fc WHERE fc.category = NEW.category
                             AND abs(fc.share - NEW.share) <= 1e-9 AND NEW.age BETWEEN fc.min_age AND fc.max_age) THEN
               RAISE EXCEPTION 'ORA-20004: the category does not give that share to a passenger of that age'
                 USING ERRCODE = '23514';
             END IF;
             RETURN NEW;
           END $$)",
        R"(CREATE TRIGGER seat_category_sold BEFORE INSERT OR UPDATE ON seat_category
             FOR EACH ROW EXECUTE FUNCTION public.nbk_category_sold())",
        R"(CREATE CONSTRAINT TRIGGER bus_instance_rules AFTER INSERT OR UPDATE ON bus_instance
             DEFERRABLE INITIALLY DEFERRED FOR EACH ROW EXECUTE FUNCTION public.nbk_run_rules())",
        R"(CREATE CONSTRAINT TRIGGER customer_rules AFTER INSERT OR UPDATE ON customer
             DEFERRABLE INITIALLY DEFERRED FOR EACH ROW EXECUTE FUNCTION public.nbk_customer_rules())",
        // A run that holds reservations keeps its departure, route and vehicle and is not
        // deleted (a route with booked runs is not deleted either): for every role, at once.
        R"(CREATE FUNCTION public.nbk_booked_run() RETURNS trigger
             LANGUAGE plpgsql
             AS $$
           BEGIN
             IF TG_OP = 'UPDATE' AND (NEW.instance_id, NEW.bus_id, NEW.dep_date, NEW.registration)
                                     IS NOT DISTINCT FROM (OLD.instance_id, OLD.bus_id, OLD.dep_date, OLD.registration) THEN
               RETURN NEW;
             END IF;
             IF EXISTS (SELECT 1 FROM public.seat_matrix WHERE instance_id = OLD.instance_id)
                OR EXISTS (SELECT 1 FROM public.customer WHERE instance_id = OLD.instance_id) THEN
               RAISE EXCEPTION 'ORA-02292: integrity constraint violated - run % holds reservations', OLD.instance_id
                 USING ERRCODE = '23503';
             END IF;
             RETURN CASE WHEN TG_OP = 'DELETE' THEN OLD ELSE NEW END;
           END $$)",
        R"(CREATE TRIGGER bus_instance_booked BEFORE UPDATE OR DELETE ON bus_instance
             FOR EACH ROW EXECUTE FUNCTION public.nbk_booked_run())",
        // Seat rows: a seat of the vehicle on a stretch of the route, for every role. A
        // session adds seats only to the booking it is making, and never rewrites one:
        // seats are given back by a cancellation (the owner repairs).
        R"(CREATE FUNCTION public.nbk_seat_place() RETURNS trigger
             LANGUAGE plpgsql
             AS $$
           DECLARE
             capacity integer;
             route integer;
           BEGIN
             IF TG_OP = 'UPDATE' AND public.nbk_rules_bind() THEN
               RAISE EXCEPTION 'ORA-20006: seat rows are given back by a cancellation, never rewritten'
                 USING ERRCODE = '23514';
             END IF;
             SELECT b.total_seats, bi.bus_id INTO capacity, route
               FROM public.bus_instance bi LEFT JOIN public.bus_info b ON b.registration = bi.registration
              WHERE bi.instance_id = NEW.instance_id;
             IF capacity IS NULL OR NEW.seat_no NOT BETWEEN 1 AND capacity THEN
               RAISE EXCEPTION 'ORA-20005: seat % is not a seat of the vehicle of run % (1 to %)', NEW.seat_no,
                 NEW.instance_id, capacity USING ERRCODE = '23514';
             END IF;
             IF NOT EXISTS (SELECT 1 FROM public.path_order p WHERE p.route_id = route
                                                                AND p.sequence_no = NEW.route_sequence1)
                OR NOT EXISTS (SELECT 1 FROM public.path_order p WHERE p.route_id = route
                                                                   AND p.sequence_no = NEW.route_sequence2) THEN
               RAISE EXCEPTION 'ORA-20005: the stretch % to % is not within the stops of the route of run %',
                 NEW.route_sequence1, NEW.route_sequence2, NEW.instance_id USING ERRCODE = '23514';
             END IF;
             IF TG_OP = 'INSERT' AND public.nbk_rules_bind() AND NOT public.nbk_made_here(NEW.customer_id) THEN
               RAISE EXCEPTION 'ORA-20006: customer % was booked earlier: a booking takes no seats after its commit',
                 NEW.customer_id USING ERRCODE = '23514';
             END IF;
             RETURN NEW;
           END $$)",
        R"(CREATE TRIGGER seat_matrix_place BEFORE INSERT OR UPDATE ON seat_matrix
             FOR EACH ROW EXECUTE FUNCTION public.nbk_seat_place())",
        // A booking keeps its run, journey date and stretch after its commit, and its
        // passenger too but for the supervisor's correction of name, phone, age and gender
        // (the trail keeps both values).
        R"(CREATE FUNCTION public.nbk_customer_booked() RETURNS trigger
             LANGUAGE plpgsql
             AS $$
           BEGIN
             IF (NEW.customer_id, NEW.instance_id, NEW.journey_date, NEW.origin, NEW.destin)
                  IS NOT DISTINCT FROM (OLD.customer_id, OLD.instance_id, OLD.journey_date, OLD.origin, OLD.destin)
                AND ((NEW.name, NEW.age, NEW.phone, NEW.gender) IS NOT DISTINCT FROM (OLD.name, OLD.age, OLD.phone, OLD.gender)
                     OR pg_catalog.pg_has_role(session_user, (SELECT g.supervisor FROM public.nbk_groups g), 'MEMBER')) THEN
               RETURN NEW;
             END IF;
             IF public.nbk_rules_bind() AND NOT public.nbk_made_here(OLD.customer_id) THEN
               RAISE EXCEPTION 'ORA-20006: customer % keeps its journey and passenger after its booking; only a cancellation changes it',
                 OLD.customer_id USING ERRCODE = '23514';
             END IF;
             RETURN NEW;
           END $$)",
        R"(CREATE TRIGGER customer_booked BEFORE UPDATE ON customer
             FOR EACH ROW EXECUTE FUNCTION public.nbk_customer_booked())",
        // A new booking or run takes an id its sequence has given out (see kDrawnIds); the
        // sequence is read with the owner's rights, a clerk may only draw from it.
        R"(CREATE FUNCTION public.nbk_drawn_id() RETURNS trigger
             LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp
             AS $$
           DECLARE
             id bigint := (pg_catalog.to_jsonb(NEW) ->> TG_ARGV[0])::bigint;
             seq regclass := TG_ARGV[1]::regclass;
             given bigint := pg_catalog.pg_sequence_last_value(seq);
           BEGIN
             IF NOT public.nbk_rules_bind() THEN
               RETURN NEW;
             END IF;
             IF given IS NULL THEN  -- nothing drawn yet
               SELECT s.seqstart - s.seqincrement INTO given FROM pg_catalog.pg_sequence s WHERE s.seqrelid = seq;
             END IF;
             IF id IS NULL OR id > given THEN
               RAISE EXCEPTION 'ORA-20008: a new % row takes an id drawn from % (% was not given out)',
                 TG_TABLE_NAME, TG_ARGV[1], id USING ERRCODE = '23514';
             END IF;
             RETURN NEW;
           END $$)",
        "REVOKE ALL ON FUNCTION public.nbk_drawn_id() FROM PUBLIC",
        // The only way a login draws the ids of bookings and runs: counted per login and hour
        // in the login's own sequence (see kDrawnIds), whose value is the hour since 1970
        // times 2^20 plus the draws of that hour. A draw refused keeps the count at the bound.
        R"(CREATE FUNCTION public.nbk_nextval(seq text) RETURNS bigint
             LANGUAGE plpgsql VOLATILE SECURITY DEFINER SET search_path = pg_catalog, pg_temp
             AS $$
           DECLARE
             name text := pg_catalog.lower(seq);
             hour bigint := pg_catalog.floor(pg_catalog.date_part('epoch', pg_catalog.clock_timestamp()) / 3600);
             counter regclass;
             allowed bigint;
             v bigint;
           BEGIN
             IF name NOT IN ('c_seq', 'instance_seq') THEN
               RAISE EXCEPTION 'ORA-02289: sequence does not exist' USING ERRCODE = '42P01';
             END IF;
             IF public.nbk_rules_bind() THEN
               counter := pg_catalog.to_regclass('public.nbk_draws_' || pg_catalog.md5(session_user::text));
               -- a login of the groups made by hand (not by useradd) gets its count at its
               -- first draw, made here with the owner's rights: the clerk creates nothing
               IF counter IS NULL AND EXISTS (SELECT 1 FROM public.nbk_groups g
                                               WHERE pg_catalog.pg_has_role(session_user, g.clerk, 'MEMBER')) THEN
                 BEGIN
                   EXECUTE pg_catalog.format('CREATE SEQUENCE IF NOT EXISTS public.%I MINVALUE 0 START WITH 0',
                                             'nbk_draws_' || pg_catalog.md5(session_user::text));
                 EXCEPTION WHEN unique_violation OR duplicate_table THEN
                   NULL;  -- another session of the login made it first
                 END;
                 counter := pg_catalog.to_regclass('public.nbk_draws_' || pg_catalog.md5(session_user::text));
               END IF;
               IF counter IS NULL THEN
                 RAISE EXCEPTION 'ORA-20011: login % has no count of its draws; nbk-admin upgrade makes it', session_user
                   USING ERRCODE = '54000';
               END IF;
               SELECT s.draws_per_hour INTO allowed FROM public.nbk_settings s;
               v := pg_catalog.nextval(counter);
               IF v / 1048576 <> hour THEN
                 v := pg_catalog.setval(counter, hour * 1048576 + 1);
               END IF;
               IF v % 1048576 > coalesce(allowed, 0) THEN
                 PERFORM pg_catalog.setval(counter, hour * 1048576 + coalesce(allowed, 0));
                 RAISE EXCEPTION 'ORA-20011: login % has drawn the % ids an hour it may draw; it may draw again next hour',
                   session_user, allowed USING ERRCODE = '54000';
               END IF;
             END IF;
             RETURN pg_catalog.nextval(('public.' || name)::regclass);
           END $$)",

        // Cancellation charges. The database's clock as the corporation's wall clock (its
        // zone is nbk_settings'), the clock its departures are written in: neither the
        // server's zone nor a session's TimeZone moves the hours left before a departure
        // (nor so its slab).
        R"(CREATE FUNCTION public.nbk_now() RETURNS timestamp(0)
             LANGUAGE sql VOLATILE
             AS $$ SELECT CAST(pg_catalog.timezone((SELECT s.zone FROM public.nbk_settings s),
                                                   pg_catalog.clock_timestamp()) AS timestamp(0)) $$)",
        // A customer row made is a sale: the schedule of charges then in force goes with
        // it, written with the owner's rights (no session may write the terms of a sale).
        R"(CREATE FUNCTION public.nbk_sale_terms() RETURNS trigger
             LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp
             AS $$
           DECLARE
             t timestamp(0) := public.nbk_now();
           BEGIN
             INSERT INTO public.sale_terms (customer_id, sold_at, slabs_from)
             VALUES (NEW.customer_id, t, (SELECT max(s.effective_from) FROM public.cancel_slab s WHERE s.effective_from <= t))
             ON CONFLICT (customer_id) DO UPDATE SET sold_at = EXCLUDED.sold_at, slabs_from = EXCLUDED.slabs_from;
             RETURN NULL;
           END $$)",
        "REVOKE ALL ON FUNCTION public.nbk_sale_terms() FROM PUBLIC",
        R"(CREATE TRIGGER customer_sale_terms AFTER INSERT ON customer
             FOR EACH ROW EXECUTE FUNCTION public.nbk_sale_terms())",
        // The share of the fare a cancellation of this booking retains now: the slab of the
        // schedule sold with it whose hours before the departure have been reached, all of
        // it below the lowest slab; null when the booking was sold without charges.
        R"(CREATE FUNCTION public.nbk_charge_share(cid integer) RETURNS double precision
             LANGUAGE plpgsql STABLE
             AS $$
           DECLARE
             slabs timestamp(0);
             departure timestamp(0);
             hours double precision;
           BEGIN
             SELECT st.slabs_from, c.journey_date INTO slabs, departure
               FROM public.sale_terms st JOIN public.customer c ON c.customer_id = st.customer_id
              WHERE st.customer_id = cid;
             IF slabs IS NULL THEN
               RETURN NULL;
             END IF;
             hours := pg_catalog.date_part('epoch', departure OPERATOR(pg_catalog.-) public.nbk_now()) / 3600;
             RETURN coalesce((SELECT s.retained_share FROM public.cancel_slab s
                               WHERE s.effective_from = slabs AND s.hours_before <= hours
                               ORDER BY s.hours_before DESC LIMIT 1), 1);
           END $$)",
        // A charge row states the cancellation it goes with, before the fare and seats
        // change: the fare as it stands, the seats' share of it, and no more refunded than
        // the slab allows.
        R"(CREATE FUNCTION public.nbk_charge_row() RETURNS trigger
             LANGUAGE plpgsql
             AS $$
           DECLARE
             f double precision;
             n bigint;
             share double precision;
             returned double precision;
           BEGIN
             IF NOT public.nbk_rules_bind() THEN
               RETURN NEW;
             END IF;
             IF TG_OP <> 'INSERT' THEN
               RAISE EXCEPTION 'ORA-20008: a cancellation''s charge is kept as it was recorded' USING ERRCODE = '23514';
             END IF;
             SELECT c.fare INTO f FROM public.customer c WHERE c.customer_id = NEW.customer_id;
             SELECT count(*) INTO n FROM public.seat_matrix sm WHERE sm.customer_id = NEW.customer_id;
             share := coalesce(public.nbk_charge_share(NEW.customer_id), 0);
             returned := NEW.fare_before - NEW.fare_after;
             IF f IS NULL OR n = 0 OR NEW.seats NOT BETWEEN 1 AND n OR abs(NEW.fare_before - f) > 0.001
                OR (abs(NEW.fare_after - (f - NEW.seats * (f / n))) > 0.001
                    -- a booking with concession seats gives back the fares of the seats it
                    -- cancels, which the fare rule checks against the seats left at the commit
                    AND NOT (EXISTS (SELECT 1 FROM public.seat_category sc WHERE sc.customer_id = NEW.customer_id)
                             AND NEW.fare_after BETWEEN 0 AND f)) THEN
               RAISE EXCEPTION 'ORA-20008: customer % holds % seats at fare %: no cancellation of % seats from % to %',
                 NEW.customer_id, n, f, NEW.seats, NEW.fare_before, NEW.fare_after USING ERRCODE = '23514';
             END IF;
             IF abs(NEW.retained_share - share) > 1e-9 OR NEW.retained < returned * share - 0.005
                OR NEW.retained > returned + 0.005 OR abs(NEW.refunded - (returned - NEW.retained)) > 0.005 THEN
               RAISE EXCEPTION 'ORA-20008: the charge on % given back from customer % is % of it (% retained, % refunded)',
                 returned, NEW.customer_id, share, NEW.retained, NEW.refunded USING ERRCODE = '23514';
             END IF;
             RETURN NEW;
           END $$)",
        R"(CREATE TRIGGER cancel_charge_row BEFORE INSERT OR UPDATE OR DELETE ON cancel_charge
             FOR EACH ROW EXECUTE FUNCTION public.nbk_charge_row())",
        // The charge row this transaction recorded for a fare going from `before` to `after`.
        R"(CREATE FUNCTION public.nbk_charged_here(cid integer, before numeric, after numeric) RETURNS boolean
             LANGUAGE sql SECURITY DEFINER SET search_path = pg_catalog, pg_temp
             AS $$ SELECT EXISTS (SELECT 1 FROM public.nbk_audit a WHERE a.customer_id = cid
                                   AND a.txid = pg_catalog.txid_current() AND a.table_name = 'cancel_charge'
                                   AND a.action = 'INSERT'
                                   AND abs((a.new_values::json ->> 'fare_before')::numeric - before) <= 0.001
                                   AND abs((a.new_values::json ->> 'fare_after')::numeric - after) <= 0.001) $$)",
        // A booking sold with charges gives back fare only with its charge recorded.
        R"(CREATE FUNCTION public.nbk_customer_refund() RETURNS trigger
             LANGUAGE plpgsql
             AS $$
           DECLARE
             after numeric := CASE WHEN TG_OP = 'DELETE' THEN 0 ELSE NEW.fare END;
           BEGIN
             IF (TG_OP = 'UPDATE' AND NOT NEW.fare < OLD.fare) OR NOT public.nbk_rules_bind()
                OR NOT EXISTS (SELECT 1 FROM public.sale_terms st WHERE st.customer_id = OLD.customer_id
                                                                    AND st.slabs_from IS NOT NULL)
                OR public.nbk_made_here(OLD.customer_id) OR public.nbk_charged_here(OLD.customer_id, OLD.fare, after) THEN
               RETURN CASE WHEN TG_OP = 'DELETE' THEN OLD ELSE NEW END;
             END IF;
             RAISE EXCEPTION 'ORA-20008: customer % is given back % of its fare % without the charge of its slab recorded',
               OLD.customer_id, OLD.fare - after, OLD.fare USING ERRCODE = '23514';
           END $$)",
        R"(CREATE TRIGGER customer_refund BEFORE UPDATE OR DELETE ON customer
             FOR EACH ROW EXECUTE FUNCTION public.nbk_customer_refund())",
        // A schedule in force stays as it is: bookings sold under it keep its charges.
        R"(CREATE FUNCTION public.nbk_slab_kept() RETURNS trigger
             LANGUAGE plpgsql
             AS $$
           BEGIN
             IF public.nbk_rules_bind()
                AND ((TG_OP <> 'INSERT' AND OLD.effective_from OPERATOR(pg_catalog.<=) public.nbk_now())
                     OR (TG_OP <> 'DELETE' AND NEW.effective_from OPERATOR(pg_catalog.<=) public.nbk_now())) THEN
               RAISE EXCEPTION 'ORA-20008: the cancellation charges from % are in force and kept as they are',
                 coalesce(OLD.effective_from, NEW.effective_from) USING ERRCODE = '23514';
             END IF;
             RETURN CASE WHEN TG_OP = 'DELETE' THEN OLD ELSE NEW END;
           END $$)",
        R"(CREATE TRIGGER cancel_slab_kept BEFORE INSERT OR UPDATE OR DELETE ON cancel_slab
             FOR EACH ROW EXECUTE FUNCTION public.nbk_slab_kept())",

        // A shift's close is the login's own, and stays as it was written.
        R"(CREATE FUNCTION public.nbk_shift_close() RETURNS trigger
             LANGUAGE plpgsql
             AS $$
           BEGIN
             IF TG_OP = 'INSERT' AND (NOT public.nbk_rules_bind()
                                      OR pg_catalog.lower(NEW.login) = pg_catalog.lower(session_user)) THEN
               RETURN NEW;
             END IF;
             IF TG_OP <> 'INSERT' AND NOT public.nbk_rules_bind() THEN
               RETURN CASE WHEN TG_OP = 'DELETE' THEN OLD ELSE NEW END;
             END IF;
             RAISE EXCEPTION 'ORA-20009: a shift is closed by its own login, once, and never changed'
               USING ERRCODE = '23514';
           END $$)",
        R"(CREATE TRIGGER shift_close_kept BEFORE INSERT OR UPDATE OR DELETE ON shift_close
             FOR EACH ROW EXECUTE FUNCTION public.nbk_shift_close())",

        // The trail's times as the corporation's wall clock (its zone is nbk_settings'), and
        // back: the day statement's days and the trail tool's dates, whatever zone the
        // reading session set for itself.
        R"(CREATE FUNCTION public.nbk_trail_local(t timestamptz) RETURNS timestamp(0)
             LANGUAGE sql STABLE
             AS $$ SELECT CAST(pg_catalog.timezone((SELECT s.zone FROM public.nbk_settings s), t) AS timestamp(0)) $$)",
        R"(CREATE FUNCTION public.nbk_trail_from(t timestamp) RETURNS timestamptz
             LANGUAGE sql STABLE
             AS $$ SELECT pg_catalog.timezone((SELECT s.zone FROM public.nbk_settings s), t) $$)",
        // The corporation's zone is one the server knows, whoever writes it: every day and
        // hour above is counted in it.
        R"(CREATE FUNCTION public.nbk_settings_zone() RETURNS trigger
             LANGUAGE plpgsql SET search_path = pg_catalog, pg_temp
             AS $$
           BEGIN
             IF NOT EXISTS (SELECT 1 FROM pg_catalog.pg_timezone_names z WHERE z.name = NEW.zone) THEN
               RAISE EXCEPTION 'ORA-20012: % is no time zone the database knows (a name such as Asia/Kolkata)',
                 NEW.zone USING ERRCODE = '23514';
             END IF;
             RETURN NEW;
           END $$)",
        R"(CREATE TRIGGER settings_zone_known BEFORE INSERT OR UPDATE OF zone ON nbk_settings
             FOR EACH ROW EXECUTE FUNCTION public.nbk_settings_zone())",
        R"(CREATE FUNCTION public.nbk_trail_now() RETURNS timestamp(0)
             LANGUAGE sql VOLATILE
             AS $$ SELECT public.nbk_trail_local(pg_catalog.clock_timestamp()) $$)",
        QStringLiteral(R"(CREATE FUNCTION public.nbk_audit_row() RETURNS trigger
             LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp
             AS $$
           DECLARE
             r record;
             k text := '';
             c integer;
           BEGIN
             IF TG_OP = 'DELETE' THEN
               r := OLD;
             ELSE
               r := NEW;
             END IF;
             CASE TG_TABLE_NAME
           %1  ELSE
               NULL;
             END CASE;
             INSERT INTO public.nbk_audit (table_name, action, row_key, customer_id, old_values, new_values)
             VALUES (TG_TABLE_NAME, TG_OP, k, c,
                     CASE WHEN TG_OP <> 'INSERT' THEN pg_catalog.row_to_json(OLD)::text END,
                     CASE WHEN TG_OP <> 'DELETE' THEN pg_catalog.row_to_json(NEW)::text END);
             RETURN NULL;
           END $$)").arg(auditKeyBranches()),
        "REVOKE ALL ON FUNCTION public.nbk_audit_row() FROM PUBLIC",
    };
    for (const auto &[table, column, sequence] : kDrawnIds)
        s << QStringLiteral("CREATE TRIGGER %1_drawn BEFORE INSERT ON %1 FOR EACH ROW "
                            "EXECUTE FUNCTION public.nbk_drawn_id('%2', 'public.%3')")
                 .arg(QLatin1String(table), QLatin1String(column), QLatin1String(sequence));
    for (const Table &t : tables())
        if (!valueRules(t).empty())
            s << valuesFunction(t)
              << QStringLiteral("CREATE TRIGGER %1_values BEFORE INSERT OR UPDATE ON %1 FOR EACH ROW "
                                "EXECUTE FUNCTION public.nbk_%1_values()")
                     .arg(QLatin1String(t.name));
    for (const Table &t : tables())
        if (!t.auditKey.empty())
            s << QStringLiteral("CREATE TRIGGER %1_audit AFTER INSERT OR UPDATE OR DELETE ON %1 "
                                "FOR EACH ROW EXECUTE FUNCTION public.nbk_audit_row()")
                     .arg(QLatin1String(t.name));
    return s;
}

QStringList postgresAuditTableStatements()
{
    QStringList s = {
        // The audit trail: one row per row changed, in the changing transaction (a rollback
        // takes it along). Its time is the server's clock as an instant: no session's
        // TimeZone moves it; the days are counted in the corporation's zone (nbk_trail_local).
        // The program is what the client claimed in application_name, and is shown so. Written by the owner's function, whose search_path is pinned:
        // it runs with the owner's rights, so no object a caller could put on the path may
        // stand in for a name it uses; readers only read it.
        R"(CREATE TABLE nbk_audit (
             audit_id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
             changed_at timestamptz(0) NOT NULL DEFAULT pg_catalog.now(),
             txid bigint NOT NULL DEFAULT txid_current(),
             login text NOT NULL DEFAULT session_user,
             table_name text NOT NULL,
             action text NOT NULL,
             row_key text NOT NULL,
             customer_id integer,
             old_values text,
             new_values text,
             client_addr text DEFAULT inet_client_addr()::text,
             application_name text DEFAULT current_setting('application_name')))",
    };
    for (const Index &i : indexes())
        if (QLatin1String(i.table) == QLatin1String("nbk_audit") && carries(i.on, EngineKind::Postgres))
            s << createIndex(i, EngineKind::Postgres);
    return s;
}

QStringList postgresRulesStatements() { return postgresAuditTableStatements() + postgresRuleObjectStatements(); }

QStringList postgresGrantStatements(const ServerGroups &g)
{
    const QString clerk = ident(g.clerk);
    const QString supervisor = ident(g.supervisor);
    QStringList s = {QStringLiteral("GRANT %1 TO %2").arg(clerk, supervisor),
                     QStringLiteral("GRANT USAGE ON SCHEMA public TO %1").arg(clerk)};
    for (const Right &r : rights()) {
        const QString objects = QLatin1String(r.objects);
        s << QStringLiteral("GRANT %1 ON %2%3 TO %4")
                 .arg(QLatin1String(r.privileges), objects,
                      objects == QLatin1String("ALL TABLES") ? QStringLiteral(" IN SCHEMA public") : QString(),
                      r.group == Group::Supervisor ? supervisor : clerk);
    }
    // the seat chart's lines are read through the view, which shows a session its own
    s << QStringLiteral("REVOKE SELECT ON tempbusroute_rows FROM %1").arg(clerk);
    return s;
}

QStringList postgresDatabaseAccessStatements(const QString &database, const ServerGroups &g)
{
    const QString db = ident(database);
    return {QStringLiteral("REVOKE ALL ON DATABASE %1 FROM PUBLIC").arg(db),
            QStringLiteral("GRANT CONNECT ON DATABASE %1 TO %2, %3").arg(db, ident(g.clerk), ident(g.supervisor))};
}

QString drawCounterName(const QString &login)
{
    return QStringLiteral("nbk_draws_")
           + QString::fromLatin1(QCryptographicHash::hash(login.toUtf8(), QCryptographicHash::Md5).toHex());
}

QStringList postgresDrawCounterStatements(const QString &login)
{
    // the database's owner holds it: only the owner's function nbk_nextval writes it
    return {QStringLiteral("CREATE SEQUENCE IF NOT EXISTS public.%1 MINVALUE 0 START WITH 0").arg(drawCounterName(login)),
            QStringLiteral("DO $$ BEGIN EXECUTE pg_catalog.format('ALTER SEQUENCE public.%I OWNER TO %I', '%1', "
                           "(SELECT pg_catalog.pg_get_userbyid(d.datdba) FROM pg_catalog.pg_database d "
                           "WHERE d.datname = pg_catalog.current_database())); END $$")
                .arg(drawCounterName(login))};
}

QStringList postgresLoginLimitStatements(const QString &login, const QString &database, bool supervisor)
{
    const QString in = QStringLiteral("ALTER ROLE %1 IN DATABASE %2 SET ").arg(ident(login), ident(database));
    QStringList s = {QStringLiteral("ALTER ROLE %1 CONNECTION LIMIT %2")
                         .arg(ident(login))
                         .arg(supervisor ? kSupervisorConnections : kClerkConnections),
                     in + QStringLiteral("lock_timeout = '%1'").arg(QLatin1String(kLockTimeout))};
    if (!supervisor)
        s << in + QStringLiteral("statement_timeout = '%1'").arg(QLatin1String(kClerkStatementTimeout))
          << in + QStringLiteral("idle_in_transaction_session_timeout = '%1'").arg(QLatin1String(kClerkIdleTimeout));
    return s;
}

}  // namespace nbk::data::schema
