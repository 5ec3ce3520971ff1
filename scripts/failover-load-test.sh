#!/usr/bin/env bash
# Counters booking through a failover, start to end: the formation of pg-failover-cluster.sh,
# a reservation database on it (nbk-admin init through the multi-host URI), nbk-load with 8
# sessions on that URI noting every booking whose COMMIT succeeded, and the primary's
# machine killed (keeper and postmaster, kill -9) in the middle. Then, on the new primary:
# every noted booking is there with its seat rows and its audit rows; no seat is held twice,
# counters and fares agree (nbk-load's audit); and the sessions booked again within 30 s of
# the kill. Prints one line of figures (kill to first booking, bookings lost, nbk-load's
# JSON). Bookings the clerk was told were not saved but that the new primary holds (their
# commit landed, its answer was lost) are counted, not failed: no client can know.
# NBK_FAILOVER_KILL=secondary kills the secondary instead and brings it back: the primary
# keeps booking (replication falls back to asynchronous), the returned node catches up and
# holds every booking, and reports run on it through a prefer-standby Server text.
# NBK_FAILOVER_POOLER=1 puts a pgbouncer (transaction pooling) in front of each node, its
# auth_user no superuser and looking the logins up through nbk-admin pooler-lookup; the
# sessions' Server text names both poolers.
# Stops and removes everything it started, however it ends.
#   scripts/failover-load-test.sh NBK_ADMIN NBK_LOAD [SECONDS]
# 77 (skipped) when pg_auto_failover is not installed, except in CI, where it fails.
# NBK_FAILOVER_KILL=0 runs the same load without the kill, NBK_FAILOVER_KILL=alone without
# the kill on the primary alone (the secondary killed first): for measuring.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
admin=${1:-$root/build/bin/nbk-admin}
load=${2:-$root/build/bin/nbk-load}
seconds=${3:-24}
if ! command -v pg_autoctl >/dev/null 2>&1; then
  echo "pg_autoctl is not installed (scripts/deps.sh --dev)" >&2
  [ "${CI:-}" = "true" ] && exit 1 || exit 77
fi
[ -x "$admin" ] && [ -x "$load" ] || { echo "no nbk-admin or nbk-load (build first)" >&2; exit 1; }

dir=$(mktemp -u /tmp/nbk-paf.XXXXXX)
work=$(mktemp -d /tmp/nbk-failover.XXXXXX)
loader=
cleanup() {
  [ -n "$loader" ] && kill "$loader" 2>/dev/null || true
  for pid in "$work"/pgb*/pgbouncer.pid; do [ -f "$pid" ] && kill "$(cat "$pid")" 2>/dev/null; done
  "$root/scripts/pg-failover-cluster.sh" stop "$dir" >/dev/null 2>&1 || true
  [ -n "${NBK_KEEP:-}" ] && cp -r "$work" "$NBK_KEEP" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
# killed outright (a test's time-out): a watcher outside this process tree still cleans up
( setsid sh -c "while kill -0 $$ 2>/dev/null; do sleep 1; done
    '$root/scripts/pg-failover-cluster.sh' stop '$dir' >/dev/null 2>&1; rm -rf '$work'" >/dev/null 2>&1 & )
fail() { echo "failover test failed: $*" >&2; tail -n 5 "$work/load.err" >&2 2>/dev/null || true; exit 1; }

uri=$(timeout 180 "$root/scripts/pg-failover-cluster.sh" start "$dir") || fail "the formation did not start"
# the formation trusts loopback: any password passes
db_uri=${uri/@/:x@}
db_uri=${db_uri/\/postgres\?//nbkfail?}
"$admin" init "$db_uri" >/dev/null 2>"$work/init.err" || fail "nbk-admin init: $(cat "$work/init.err")"
sql() { psql -X -At -v ON_ERROR_STOP=1 "${uri/\/postgres\?//nbkfail?}" -c "$1"; }

if [ "${NBK_FAILOVER_POOLER:-0}" = 1 ]; then
  bouncer=$(command -v pgbouncer || echo /usr/sbin/pgbouncer)
  [ -x "$bouncer" ] || fail "pgbouncer is not installed (scripts/deps.sh --dev)"
  sql "CREATE ROLE nbk_pooler LOGIN PASSWORD 'pool'" >/dev/null
  "$admin" pooler-lookup --database "$db_uri" nbk_pooler >/dev/null 2>"$work/lookup.err" \
    || fail "nbk-admin pooler-lookup: $(cat "$work/lookup.err")"
  read -r _ p1 p2 < "$dir/ports"
  chmod 755 "$work"
  hosts=
  for node_port in "$p1" "$p2"; do
    b=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    d="$work/pgb$b"; mkdir -p "$d"
    printf '"postgres" "x"\n"nbk_pooler" "pool"\n' > "$d/users.txt"
    cat > "$d/pgbouncer.ini" <<EOF2
[databases]
nbkfail = host=127.0.0.1 port=$node_port dbname=nbkfail
[pgbouncer]
listen_addr = 127.0.0.1
listen_port = $b
unix_socket_dir =
auth_type = scram-sha-256
auth_file = $d/users.txt
auth_user = nbk_pooler
auth_query = SELECT uname, phash FROM nbk_pooler.lookup(\$1)
pool_mode = transaction
default_pool_size = 8
; in front of a lost server: fail the waiting client soon, so that it tries the other node
query_wait_timeout = 5
server_login_retry = 1
pidfile = $d/pgbouncer.pid
logfile = $d/pgbouncer.log
EOF2
    [ "$(id -u)" -eq 0 ] && chown -R postgres: "$d"
    if [ "$(id -u)" -eq 0 ]; then su postgres -s /bin/sh -c "$bouncer -d $d/pgbouncer.ini"; else "$bouncer" -d "$d/pgbouncer.ini"; fi \
      || fail "pgbouncer did not start"
    hosts="$hosts${hosts:+,}127.0.0.1:$b"
  done
  # the counters' Server text: both poolers, the one in front of the primary chosen
  db_uri="postgresql://postgres:x@$hosts/nbkfail?target_session_attrs=read-write&connect_timeout=2"
fi

if [ "${NBK_FAILOVER_KILL:-1}" = alone ]; then
  # one node alone, durable as the formation's: the secondary gone before the load, and
  # replication no longer synchronous (for measuring what the wait for the standby costs)
  "$root/scripts/pg-failover-cluster.sh" kill-secondary "$dir" >/dev/null
  for _ in $(seq 1 60); do
    [ -z "$(psql -X -At "$uri" -c 'SHOW synchronous_standby_names' 2>/dev/null)" ] && break; sleep 0.5
  done
fi
# the sessions, with the network made first by a short run
echo x | "$load" --database "$db_uri" --user postgres --sessions 1 --seconds 1 --headless >/dev/null 2>&1 \
  || fail "nbk-load could not make its network"
: > "$work/committed"; : > "$work/unsaved"
chmod 666 "$work/committed" "$work/unsaved"
# no cancellations: a booking noted and then cancelled would look lost
echo x | "$load" --database "$db_uri" --user postgres --sessions 8 --seconds "$seconds" --headless \
  --mix book=90,enquire=10,cancel=0 --committed "$work/committed" --unsaved "$work/unsaved" \
  > "$work/load.out" 2> "$work/load.err" &
loader=$!

# the kill, once the sessions have booked a while
for _ in $(seq 1 60); do [ "$(wc -l < "$work/committed")" -ge 20 ] && break; sleep 0.5; done
[ "$(wc -l < "$work/committed")" -ge 1 ] || fail "no booking before the kill"
sleep 2
mode=${NBK_FAILOVER_KILL:-1}
if [ "$mode" = secondary ]; then
  node=$("$root/scripts/pg-failover-cluster.sh" kill-secondary "$dir")
  t0=$(date +%s%3N)
  sleep 6
  "$root/scripts/pg-failover-cluster.sh" rejoin "$dir" "$node"
elif [ "$mode" != 1 ]; then
  # the same load with no failover (scripts/measure-failover.sh compares the rates)
  node=none; t0=$(date +%s%3N)
else
  node=$("$root/scripts/pg-failover-cluster.sh" kill-primary "$dir")
  t0=$(date +%s%3N)
fi
wait "$loader" || true
loader=

json=$(tail -1 "$work/load.out")
echo "$json" | grep -q '"bookings"' || fail "nbk-load printed no figures"
# the first booking committed on the new primary, from the sessions' own clocks: a commit
# the old primary answered just before the kill may be noted just after it, so the new
# primary's bookings are those after the outage, the first gap of a second or more (8
# sessions book many times a second while a primary takes writes)
sort -n -k2 "$work/committed" > "$work/by_time"
if [ "$mode" = secondary ]; then
  # the primary stays: how long its commits waited for the lost standby (the longest gap
  # between two bookings after the kill), the first booking after that wait
  gap=$(awk -v t="$t0" 'p != "" && $2 > t { g = $2 - (p > t ? p : t); if (g > m) { m = g; at = $2 } } { p = $2 }
                        END { print (m ? m : 0) " " (at ? at : "") }' "$work/by_time")
  resumed=${gap#* }
  first=${gap%% *}
else
  resumed=$(awk -v t="$t0" '$2 > t && p != "" && $2 - p >= 1000 { print $2; exit } { p = $2 }' "$work/by_time")
  first=$([ -n "$resumed" ] && echo $((resumed - t0)) || true)
fi
noted=$(wc -l < "$work/committed")
# every session, not just one of them, booked on the new primary
rebooked=$(awk -v t="${resumed:-$t0}" '$2 >= t { s[$3] = 1 } END { print length(s) }' "$work/committed")
cut -d' ' -f1 "$work/committed" | sort -u > "$work/ids"
# on the new primary: the customer row with its details, each of its seats, its audit rows
sql "SELECT c.customer_id FROM customer c
     WHERE c.name <> '**TEMP**'
       AND EXISTS (SELECT 1 FROM seat_matrix s WHERE s.customer_id = c.customer_id)
       AND EXISTS (SELECT 1 FROM nbk_audit a WHERE a.table_name = 'seat_matrix'
                   AND a.customer_id = c.customer_id)
     ORDER BY 1" | sort -u > "$work/found" || fail "the new primary cannot be read"
lost=$(comm -23 "$work/ids" "$work/found" | wc -l)
cut -d' ' -f1 "$work/unsaved" | sort -u > "$work/unsaved_ids"
phantoms=$(comm -12 "$work/unsaved_ids" "$work/found" | wc -l)
unsaved=$(wc -l < "$work/unsaved_ids")
field() { echo "$json" | grep -o "\"$1\":[0-9.]*" | cut -d: -f2; }
audit="overlaps $(field overlaps), counter mismatches $(field counter_mismatches), temp rows $(field temp_rows), fare mismatches $(field fare_mismatches)"
grep -v '^nbk-load: network' "$work/load.err" | head -5 >&2 || true
echo "failover of $node: ${noted} bookings noted, ${lost} lost, first booking ${first:-never} ms after the kill, $rebooked of 8 sessions booked again; told not saved $unsaved, of which on the new primary $phantoms; audit $audit; nbk-load $json"

status=0
if [ "$mode" = secondary ]; then
  # the returned node: a secondary again, caught up with everything the primary wrote, and
  # the reports of the menu served by it
  "$root/scripts/pg-failover-cluster.sh" wait-pair "$dir" >/dev/null || fail "the secondary did not come back"
  standby_uri=${uri/read-write/prefer-standby}
  standby_sql() { psql -X -At -v ON_ERROR_STOP=1 "${standby_uri/\/postgres\?//nbkfail?}" -c "$1"; }
  [ "$(standby_sql 'SELECT pg_is_in_recovery()')" = t ] || fail "prefer-standby did not reach the secondary"
  target=$(sql "SELECT pg_current_wal_lsn()")
  for _ in $(seq 1 60); do
    [ "$(standby_sql "SELECT pg_last_wal_replay_lsn() >= '$target'")" = t ] && break; sleep 0.5
  done
  standby_sql "SELECT c.customer_id FROM customer c WHERE c.name <> '**TEMP**'
       AND EXISTS (SELECT 1 FROM seat_matrix s WHERE s.customer_id = c.customer_id) ORDER BY 1" \
    | sort -u > "$work/on_standby" || fail "the secondary cannot be read"
  missing=$(comm -23 "$work/ids" "$work/on_standby" | wc -l)
  echo "the returned secondary lacks $missing of the noted bookings"
  [ "$missing" -eq 0 ] || status=1
  report_uri=${db_uri/read-write/prefer-standby}
  run=$(standby_sql "SELECT instance_id FROM customer WHERE name <> '**TEMP**' ORDER BY customer_id LIMIT 1")
  for r in "manifest $run" "seat-matrix $run" "passenger-list"; do
    # shellcheck disable=SC2086
    "$admin" report --database "$report_uri" --user postgres --password x --pdf "$work/report.pdf" $r \
      >/dev/null 2>"$work/report.err" && [ -s "$work/report.pdf" ] \
      || { echo "report $r on the secondary failed: $(head -3 "$work/report.err")" >&2; status=1; }
    rm -f "$work/report.pdf"
  done
fi
[ "$lost" -eq 0 ] || { echo "lost: $(comm -23 "$work/ids" "$work/found" | head -5 | tr '\n' ' ')" >&2; status=1; }
if [ "$node" != none ]; then
  [ -n "$first" ] && [ "$first" -lt 30000 ] || { echo "no booking within 30 s of the kill" >&2; status=1; }
fi
[ "$rebooked" -eq 8 ] || { echo "only $rebooked sessions booked after the kill" >&2; status=1; }
[ "$audit" = "overlaps 0, counter mismatches 0, temp rows 0, fare mismatches 0" ] \
  || { echo "the audit is not clean: $audit" >&2; status=1; }
exit $status
