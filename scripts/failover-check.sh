#!/usr/bin/env bash
# The formation of pg-failover-cluster.sh under the loss of each node: a writer commits rows
# through the multi-host URI, noting each one whose COMMIT succeeded; the primary's machine
# is killed (keeper and postmaster, kill -9), then later the secondary's. Every noted row
# must be on the primary that is left, and writes must resume within 30 s.
# Skipped with a message when pg_auto_failover is not installed (on CI=true it fails).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
if ! command -v pg_autoctl >/dev/null 2>&1; then
  if [ "${CI:-}" = "true" ]; then echo "ERROR: pg_autoctl missing (scripts/deps.sh --dev)" >&2; exit 1; fi
  echo "failover check skipped: pg_auto_failover is not installed (scripts/deps.sh --dev)"
  exit 0
fi
dir=$(mktemp -u /tmp/nbk-paf.XXXXXX)
work=$(mktemp -d)
writer=
cleanup() {
  [ -n "$writer" ] && kill "$writer" 2>/dev/null || true
  "$root/scripts/pg-failover-cluster.sh" stop "$dir" || true
  rm -rf "$work"
}
trap cleanup EXIT
uri=$(timeout 180 scripts/pg-failover-cluster.sh start "$dir")
sql() { psql -X -At -v ON_ERROR_STOP=1 "$uri" -c "$1"; }
sql "CREATE TABLE failover_probe (id int PRIMARY KEY)" >/dev/null

# one transaction a statement; an id is noted only when psql reports its COMMIT succeeded
(
  i=0
  while [ $i -lt 100000 ]; do
    i=$((i + 1))
    psql -X -At -v ON_ERROR_STOP=1 "$uri" -c "INSERT INTO failover_probe VALUES ($i)" >/dev/null 2>&1 \
      && echo "$i $(date +%s.%N)" >> "$work/committed"
  done
) &
writer=$!

wait_sync() {
  for _ in $(seq 1 90); do
    sql "SHOW synchronous_standby_names" 2>/dev/null | grep -q ANY && return 0
    sleep 1
  done
  echo "ERROR: replication did not become synchronous again" >&2; return 1
}
resumed_after() {  # time from $1 to the first row committed after it
  awk -v t="$1" '$2 > t {print $2 - t; exit}' "$work/committed"
}

status=0
sleep 3
node=$(scripts/pg-failover-cluster.sh kill-primary "$dir"); t0=$(date +%s.%N)
for _ in $(seq 1 60); do [ -n "$(resumed_after "$t0")" ] && break; sleep 0.5; done
took=$(resumed_after "$t0")
echo "primary $node killed: commits resumed after ${took:-never} s"
[ -n "$took" ] && awk -v s="$took" 'BEGIN {exit !(s < 30)}' || status=1
scripts/pg-failover-cluster.sh rejoin "$dir" "$node"
wait_sync

node=$(scripts/pg-failover-cluster.sh kill-secondary "$dir"); t0=$(date +%s.%N)
for _ in $(seq 1 60); do [ -n "$(resumed_after "$t0")" ] && break; sleep 0.5; done
took=$(resumed_after "$t0")
echo "secondary $node killed: commits resumed after ${took:-never} s"
[ -n "$took" ] || status=1
sleep 2
scripts/pg-failover-cluster.sh rejoin "$dir" "$node"
wait_sync
# the node that came back takes over: it must hold what was committed while it was away
node=$(scripts/pg-failover-cluster.sh kill-primary "$dir"); t0=$(date +%s.%N)
for _ in $(seq 1 60); do [ -n "$(resumed_after "$t0")" ] && break; sleep 0.5; done
kill "$writer" 2>/dev/null || true; wait "$writer" 2>/dev/null || true; writer=

cut -d' ' -f1 "$work/committed" | sort -n > "$work/ids"
sql "SELECT id FROM failover_probe ORDER BY id" > "$work/found"
lost=$(comm -23 <(sort "$work/ids") <(sort "$work/found") | wc -l)
echo "failover check: $(wc -l < "$work/ids") commits noted, $lost lost"
[ "$lost" -eq 0 ] || status=1
exit $status
