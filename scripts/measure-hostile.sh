#!/usr/bin/env bash
# How soon the other counters book again while one clerk does their worst with psql, beside
# nbk-load's sessions and the watchdog, on a server of scripts/pg-test-cluster.sh. Each
# attack starts once the load books steadily; the figure is the longest wait between two
# bookings from the attack's start, and the bookings made while it lasted.
#   scripts/measure-hostile.sh [SESSIONS]
set -euo pipefail
cd "$(dirname "$0")/.."
sessions=${1:-6}
admin=${NBK_ADMIN:-build/bin/nbk-admin}
load=${NBK_LOAD:-build/bin/nbk-load}
work=$(mktemp -d)
dir=$(mktemp -u /tmp/nbk-hostile.XXXXXX)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  scripts/pg-test-cluster.sh stop "$dir" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
uri=$(scripts/pg-test-cluster.sh start "$dir")
password=${uri#postgresql://postgres:}
password=${password%@*}
hostport=${uri#*@}
hostport=${hostport%/postgres}
owner="postgresql://postgres:${password}@${hostport}/nbkhostile"
"$admin" init "$owner" >/dev/null
echo 'hostile-pw' | "$admin" useradd --database "$owner" hostile >/dev/null
"$admin" watchdog --database "$owner" > "$work/watchdog" 2>&1 &
pids+=($!)
export PGPASSWORD=hostile-pw
clerk() { psql -X -q -h "${hostport%:*}" -p "${hostport#*:}" -U hostile -d nbkhostile "$@"; }

echo "$password" | "$load" --database "postgresql://${hostport}/nbkhostile" --user postgres --sessions 1 \
  --seconds 1 --headless >/dev/null 2>&1
: > "$work/committed"
echo "$password" | "$load" --database "postgresql://${hostport}/nbkhostile" --user postgres --sessions "$sessions" \
  --seconds 80 --headless --mix book=90,enquire=10,cancel=0 --committed "$work/committed" > "$work/load" 2>&1 &
loader=$!
pids+=("$loader")
for _ in $(seq 1 60); do [ "$(wc -l < "$work/committed")" -ge 20 ] && break; sleep 0.5; done

# the longest wait between two bookings in the 12 s from t0 (to its end when none came), and
# the bookings made then
measure() {
  sleep 12
  sort -n -k2 "$work/committed" | awk -v t="$2" -v name="$1" '
    $2 > t && $2 <= t + 12000 { g = $2 - (p > t ? p : t); if (g > m) m = g; n++ } $2 <= t + 12000 { p = $2 }
    END { if (t + 12000 - (p > t ? p : t) > m) m = t + 12000 - (p > t ? p : t); printf "%-46s longest wait %5d ms, %d bookings in the 12 s after it began\n", name, m, n }'
}
t0=$(date +%s%3N)
clerk -c "BEGIN; LOCK TABLE seat_matrix IN EXCLUSIVE MODE; SELECT pg_sleep(60);" >/dev/null 2>&1 &
pids+=($!)
measure "a table lock in a long statement" "$t0"
t0=$(date +%s%3N)
clerk -c "SET statement_timeout = 0; WITH l AS MATERIALIZED (SELECT instance_id FROM bus_instance FOR UPDATE) SELECT count(*), pg_sleep(60) FROM l;" \
  >/dev/null 2>&1 &
pids+=($!)
measure "every run locked, time-outs lifted" "$t0"
t0=$(date +%s%3N)
{ echo "BEGIN; LOCK TABLE seat_matrix IN EXCLUSIVE MODE;"; sleep 30; } | clerk >/dev/null 2>&1 &
pids+=($!)
measure "a table lock left idle" "$t0"
t0=$(date +%s%3N)
for _ in $(seq 1 30); do clerk -c "SELECT pg_sleep(10)" >/dev/null 2>&1 & pids+=($!); done
measure "30 sessions of the clerk's login" "$t0"
t0=$(date +%s%3N)
{ echo "SET idle_in_transaction_session_timeout = 0; BEGIN; SELECT count(*) FROM (SELECT 1 FROM bus_instance FOR UPDATE) x;"; sleep 30; } \
  | clerk >/dev/null 2>&1 &
pids+=($!)
measure "every run locked, left idle" "$t0"
wait "$loader" || true
echo "nbk-load: $(tail -1 "$work/load")"
echo "watchdog: $(grep -c 'ended session' "$work/watchdog" || true) sessions ended"
