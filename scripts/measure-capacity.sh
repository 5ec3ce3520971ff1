#!/usr/bin/env bash
# One server's capacity for the counters, side by side with pgbench in the same sitting:
# a throwaway cluster, pgbench TPC-B (scale 16, 16 clients, 2 threads), then nbk-load
# --headless with 16 sessions on a fresh database. Prints the load average, pgbench's tps,
# nbk-load's JSON line and their ratio, and the server's CPU per pgbench transaction (all of
# the cluster's processes, from /proc) beside nbk-load's per booking (the backends of its
# database); repeats ROUNDS times (default 3).
#   scripts/measure-capacity.sh [ROUNDS] [SECONDS]
# NBK_LOAD=path and NBK_ADMIN=path measure another build's nbk-load and schema (nbk-admin
# init); SESSIONS=n another session count; NBK_LOAD_ARGS more options of nbk-load (for
# example --owner-sessions, whom the commit-time rules exempt).
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-3}
seconds=${2:-10}
sessions=${SESSIONS:-16}
load=${NBK_LOAD:-build/bin/nbk-load}
admin=${NBK_ADMIN:-build/bin/nbk-admin}
[ -x "$load" ] && [ -x "$admin" ] || scripts/build.sh
dir=$(mktemp -d /tmp/nbk-capacity.XXXXXX)
rmdir "$dir"
trap 'scripts/pg-test-cluster.sh stop "$dir"' EXIT
uri=$(scripts/pg-test-cluster.sh start "$dir")
password=${uri#postgresql://postgres:}
password=${password%@*}
hostport=${uri#*@}
hostport=${hostport%/postgres}
export PGPASSWORD=$password
# CPU ticks of the cluster: the postmaster, its children, and the children it has reaped
cluster_ticks() {
  local pm
  pm=$(head -1 "$dir/data/postmaster.pid")
  awk -v pm="$pm" '{ sub(/^.*\) /, ""); if ($2 == pm) t += $12 + $13 + $14 + $15 }
                   END { print t }' /proc/[0-9]*/stat 2>/dev/null
  awk '{ sub(/^.*\) /, ""); print $12 + $13 + $14 + $15 }' "/proc/$pm/stat"
}
ticks() { cluster_ticks | awk '{ t += $1 } END { print t }'; }
hz=$(getconf CLK_TCK)
pgbench -q -i -s 16 -h "${hostport%:*}" -p "${hostport#*:}" -U postgres postgres >/dev/null 2>&1
for round in $(seq "$rounds"); do
  db=nbkload$round
  "$admin" init "postgresql://postgres:${password}@${hostport}/$db" >/dev/null
  t0=$(ticks)
  out=$(pgbench -n -c 16 -j 2 -T "$seconds" -h "${hostport%:*}" -p "${hostport#*:}" -U postgres postgres 2>/dev/null)
  t1=$(ticks)
  tps=$(echo "$out" | sed -n 's/^tps = \([0-9.]*\).*/\1/p' | head -1)
  txs=$(echo "$out" | sed -n 's/^number of transactions actually processed: \([0-9]*\).*/\1/p')
  pgcpu=$(awk -v a="$t0" -v b="$t1" -v n="$txs" -v hz="$hz" 'BEGIN { printf "%.3f", (b - a) * 1000 / hz / n }')
  before=$(cut -d' ' -f1 /proc/loadavg)
  # the first, short run makes the network; the second is measured
  echo "$password" | "$load" --database "postgresql://${hostport}/$db" --user postgres --sessions 1 --seconds 1 \
       --headless >/dev/null 2>&1
  json=$(echo "$password" | "$load" --database "postgresql://${hostport}/$db" --user postgres \
         --sessions "$sessions" --seconds "$seconds" --headless ${NBK_LOAD_ARGS:-} 2>/dev/null | tail -1)
  bps=$(echo "$json" | sed -n 's/.*"bookings_per_s":\([0-9.]*\).*/\1/p')
  echo "round $round: load average $before; pgbench $tps tps, server CPU ${pgcpu} ms per transaction; nbk-load $json; ratio $(awk -v a="$bps" -v b="$tps" 'BEGIN { printf "%.3f", a / b }')"
done
