#!/usr/bin/env bash
# Point-in-time recovery with pgBackRest on loopback, start to end:
#   a throwaway cluster that archives its WAL into a pgBackRest repository in a temporary
#   folder; a reservation database (nbk-admin init); a full backup; bookings; the moment
#   (the server's clock); more bookings; the server stopped; a restore to that moment; the
#   server started again. Passes when exactly the bookings committed before the moment are
#   back. Stops and removes everything it started, however it ends.
#   scripts/pitr-test.sh NBK_ADMIN   (the nbk-admin program; build/bin/nbk-admin by default)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
admin=${1:-$root/build/bin/nbk-admin}
if ! command -v pgbackrest >/dev/null; then
  echo "pgbackrest is not installed (scripts/deps.sh --dev)" >&2
  # 77: skipped, except in CI, where every test runs
  [ "${CI:-}" = "true" ] && exit 1 || exit 77
fi
[ -x "$admin" ] || { echo "no nbk-admin at $admin (build first)" >&2; exit 1; }

work=$(mktemp -d /tmp/nbk-pitr.XXXXXX)
pg="$work/pg"
br="$work/pgbackrest"
cleanup() {
  "$root/scripts/pg-test-cluster.sh" stop "$pg" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
# killed outright (a test's time-out): a watcher outside this process tree still cleans up
( setsid sh -c "while kill -0 $$ 2>/dev/null; do sleep 1; done
    '$root/scripts/pg-test-cluster.sh' stop '$pg' >/dev/null 2>&1; rm -rf '$work'" >/dev/null 2>&1 & )

as_owner() {
  if [ "$(id -u)" -eq 0 ]; then su postgres -s /bin/sh -c "$1"; else sh -c "$1"; fi
}
bin=$(dirname "$(ls /usr/lib/postgresql/*/bin/pg_ctl | tail -1)")
fail() { echo "PITR test failed: $*" >&2; [ -f "$br/log/nbk-restore.log" ] && tail -20 "$br/log/nbk-restore.log" >&2; tail -20 "$pg/log" >&2 2>/dev/null || true; exit 1; }

# the server and pgBackRest run as postgres: they reach the folder
chmod 755 "$work"
uri=$("$root/scripts/pg-test-cluster.sh" start "$pg")
port=$(cat "$pg/port")
db_uri="${uri%/postgres}/nbk_pitr"
sql() { psql "$db_uri" -X -q -A -t -v ON_ERROR_STOP=1 -c "$1"; }

mkdir -p "$br/repo" "$br/log" "$br/lock"
cat > "$br/pgbackrest.conf" <<CONF
[global]
repo1-path=$br/repo
repo1-retention-full=2
log-path=$br/log
lock-path=$br/lock
log-level-console=warn
log-level-file=info
start-fast=y

[nbk]
pg1-path=$pg/data
pg1-port=$port
pg1-socket-path=$pg
CONF
[ "$(id -u)" -eq 0 ] && chown -R postgres: "$br"
br_run() { as_owner "pgbackrest --config='$br/pgbackrest.conf' --stanza=nbk $*"; }

# WAL archiving needs a restart
cat >> "$pg/data/postgresql.conf" <<CONF
archive_mode = on
archive_command = 'pgbackrest --config=$br/pgbackrest.conf --stanza=nbk archive-push %p'
CONF
as_owner "'$bin/pg_ctl' -D '$pg/data' -m fast -w restart" >> "$pg/pg_ctl.log" 2>&1 || fail "restart with archiving"

"$admin" init --demo "$db_uri" >/dev/null || fail "nbk-admin init"
br_run stanza-create || fail "stanza-create"
br_run check || fail "check (archiving)"
br_run "--type=full backup" || fail "full backup"
# pgBackRest keeps a backup's stop time in whole seconds and restores to a moment only from
# a backup that stopped before it: the moment must fall in a later second
sleep 2

book() {  # one committed booking per call: the passenger row of a customer
  sql "INSERT INTO customer (customer_id, instance_id, journey_date, name, age, phone, gender, origin, destin, fare)
       VALUES ($1, -1, localtimestamp(0), 'PITR passenger $1', 30, '1', 'M', 'Bang', 'Mys', 0)"
}
for c in 9001 9002 9003 9004 9005; do book $c; done
moment=$(sql "SELECT clock_timestamp()")
for c in 9006 9007 9008; do book $c; done
# every commit in the archive before the server goes
br_run check || fail "check after the bookings"
echo "full backup, 5 bookings, moment $moment, 3 more bookings"

as_owner "'$bin/pg_ctl' -D '$pg/data' -m fast -w stop" >> "$pg/pg_ctl.log" 2>&1 || fail "stop"
br_run "--delta --type=time '--target=$moment' --target-action=promote restore" || fail "restore"
"$root/scripts/pg-test-cluster.sh" restart "$pg" || fail "start after the restore"
for _ in $(seq 1 600); do
  [ "$(sql 'SELECT pg_is_in_recovery()' 2>/dev/null || echo t)" = "f" ] && break
  sleep 0.1
done
[ "$(sql 'SELECT pg_is_in_recovery()')" = "f" ] || fail "the server did not finish its recovery"

got=$(sql "SELECT string_agg(customer_id::text, ',' ORDER BY customer_id) FROM customer WHERE customer_id >= 9000")
[ "$got" = "9001,9002,9003,9004,9005" ] || fail "after the restore the bookings are '$got', expected 9001..9005"
# the restored server takes bookings again
book 9010 || fail "booking after the restore"
echo "PITR ok: restored to $moment, bookings $got"
