#!/usr/bin/env bash
# The figures of a failover under load, measured apart from the tests (several minutes):
# ROUNDS runs of scripts/failover-load-test.sh (a fresh formation each, the primary killed
# in the middle), then the same load on the formation with no kill and on one server alone
# (the formation's primary with its secondary killed first, and scripts/pg-test-cluster.sh,
# which runs with fsync off), for the booking rate and p99 with synchronous replication.
# Prints each run's line and the medians.
#   scripts/measure-failover.sh [ROUNDS] [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-5}
seconds=${2:-24}
admin=${NBK_ADMIN:-build/bin/nbk-admin}
load=${NBK_LOAD:-build/bin/nbk-load}
out=$(mktemp)
trap 'rm -f "$out"' EXIT
median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
field() { grep -o "\"$1\":[0-9.]*" | cut -d: -f2; }

for i in $(seq "$rounds"); do
  line=$(scripts/failover-load-test.sh "$admin" "$load" "$seconds" 2>/dev/null | grep '^failover of') || true
  echo "round $i: $line"
  echo "$line" >> "$out"
done
echo "median kill to first booking: $(sed -n 's/.*first booking \([0-9]*\) ms.*/\1/p' "$out" | median) ms;" \
     "bookings lost: $(sed -n 's/.*noted, \([0-9]*\) lost.*/\1/p' "$out" | paste -sd+ | bc) in all"

line=$(NBK_FAILOVER_KILL=0 scripts/failover-load-test.sh "$admin" "$load" "$seconds" 2>/dev/null | grep '^failover of') || true
echo "synchronous replication, no kill: bookings/s $(echo "$line" | field bookings_per_s), p99 $(echo "$line" | field p99_ms) ms"

line=$(NBK_FAILOVER_KILL=alone scripts/failover-load-test.sh "$admin" "$load" "$seconds" 2>/dev/null | grep '^failover of') || true
echo "the primary alone (its secondary killed first), no kill: bookings/s $(echo "$line" | field bookings_per_s), p99 $(echo "$line" | field p99_ms) ms"

dir=$(mktemp -u /tmp/nbk-single.XXXXXX)
uri=$(scripts/pg-test-cluster.sh start "$dir")
trap 'scripts/pg-test-cluster.sh stop "$dir" >/dev/null 2>&1; rm -f "$out"' EXIT
password=${uri#postgresql://postgres:}
password=${password%@*}
hostport=${uri#*@}
hostport=${hostport%/postgres}
"$admin" init "postgresql://postgres:${password}@${hostport}/nbkone" >/dev/null
echo "$password" | "$load" --database "postgresql://${hostport}/nbkone" --user postgres --sessions 1 --seconds 1 \
  --headless >/dev/null 2>&1
json=$(echo "$password" | "$load" --database "postgresql://${hostport}/nbkone" --user postgres --sessions 8 \
  --seconds "$seconds" --headless --mix book=90,enquire=10,cancel=0 2>/dev/null | tail -1)
echo "one server alone (pg-test-cluster.sh: fsync and synchronous_commit off): bookings/s" \
     "$(echo "$json" | field bookings_per_s), p99 $(echo "$json" | field p99_ms) ms"
