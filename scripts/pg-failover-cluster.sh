#!/usr/bin/env bash
# A throwaway pg_auto_failover formation on loopback for the failover tests: a monitor
# and two data nodes, each on its own port, replication synchronous while both nodes run.
#   pg-failover-cluster.sh start DIR   creates and runs the formation in DIR, prints the
#                                      multi-host URI (target_session_attrs=read-write)
#   pg-failover-cluster.sh stop DIR    stops every keeper and server of DIR, removes DIR
#   pg-failover-cluster.sh primary DIR prints the data directory of the current primary
#   pg-failover-cluster.sh kill-primary DIR
#                                      kill -9 of the primary's keeper and postmaster,
#                                      prints the node's name (node1 or node2)
#   pg-failover-cluster.sh kill-secondary DIR  the same for the secondary
#   pg-failover-cluster.sh rejoin DIR NODE
#                                      runs the keeper of NODE again (it rejoins)
#   pg-failover-cluster.sh wait-pair DIR
#                                      waits until a primary and a secondary run again,
#                                      replication synchronous
# DIR must not exist for start. The monitor's health checks are shortened so that the
# secondary is promoted within seconds of the primary's loss instead of about 30 s.
# Runs the servers as user postgres when started as root (PostgreSQL refuses root).
# Authentication is trust on loopback only: for tests, never for a counter's server.
set -euo pipefail

cmd=${1:-}
dir=${2:-}
usage() { echo "usage: $0 start|stop|primary|kill-primary|kill-secondary|wait-pair DIR | rejoin DIR NODE" >&2; exit 2; }
[ -n "$cmd" ] && [ -n "$dir" ] || usage

pg_ctl_path() {
  local d
  for d in /usr/lib/postgresql/*/bin; do
    [ -x "$d/pg_ctl" ] && { echo "$d/pg_ctl"; return 0; }
  done
  return 1
}

as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    su postgres -s /bin/sh -c "$1"
  else
    sh -c "$1"
  fi
}

# pg_autoctl keeps its state under XDG directories; keep them inside DIR
xdg_env() {
  echo "cd '$dir' && export XDG_CONFIG_HOME='$dir/xdg/config' XDG_DATA_HOME='$dir/xdg/data' XDG_RUNTIME_DIR='$dir/xdg/run' &&"
}
autoctl() {
  as_owner "$(xdg_env) pg_autoctl $1"
}

free_port() {
  python3 - <<'EOF' 2>/dev/null || echo $(( 20000 + RANDOM % 20000 ))
import socket
s = socket.socket()
s.bind(("127.0.0.1", 0))
print(s.getsockname()[1])
s.close()
EOF
}

# runs the keeper (or monitor) of $1 in the background, its pid in $1.pid
run_service() {
  as_owner "$(xdg_env) nohup pg_autoctl run --pgdata '$dir/$1' > '$dir/$1.log' 2>&1 & echo \$! > '$dir/$1.pid'"
}

wait_for() {  # seconds, description, command
  local n=$1 what=$2; shift 2
  while [ "$n" -gt 0 ]; do
    eval "$@" >/dev/null 2>&1 && return 0
    sleep 1; n=$((n - 1))
  done
  echo "timed out waiting for $what" >&2
  return 1
}

stop_all() {
  local svc pid
  [ -d "$dir" ] || return 0
  for svc in node2 node1 monitor; do
    [ -f "$dir/$svc.pid" ] || continue
    pid=$(cat "$dir/$svc.pid")
    kill -TERM "$pid" 2>/dev/null || true
  done
  for svc in node2 node1 monitor; do
    [ -f "$dir/$svc.pid" ] || continue
    pid=$(cat "$dir/$svc.pid")
    for _ in $(seq 1 30); do kill -0 "$pid" 2>/dev/null || break; sleep 0.5; done
    kill -KILL "$pid" 2>/dev/null || true
  done
  # a postmaster left without its keeper (killed keeper, failed start)
  local ctl; ctl=$(pg_ctl_path) || true
  for svc in node2 node1 monitor; do
    [ -n "${ctl:-}" ] && [ -f "$dir/$svc/postmaster.pid" ] \
      && as_owner "'$ctl' -D '$dir/$svc' -m immediate -w stop" >/dev/null 2>&1 || true
  done
}

# both nodes in their roles, and the primary waiting for the secondary's flush again
wait_pair() {
  wait_for "$1" "primary and secondary" "autoctl \"show state --pgdata '$dir/monitor'\" | grep -q '| *secondary *| *secondary *$'"
  wait_for 60 "synchronous replication" "psql -X -At '$uri' -c 'show synchronous_standby_names' | grep -q ANY"
}

case "$cmd" in
start)
  [ ! -e "$dir" ] || { echo "$dir exists" >&2; exit 1; }
  command -v pg_autoctl >/dev/null || { echo "pg_autoctl not found (scripts/deps.sh --dev)" >&2; exit 1; }
  ctl=$(pg_ctl_path) || { echo "PostgreSQL server binaries not found" >&2; exit 1; }
  mkdir -p "$dir/xdg/config" "$dir/xdg/data" "$dir/xdg/run"
  if [ "$(id -u)" -eq 0 ]; then
    id postgres >/dev/null 2>&1 || { echo "no postgres user" >&2; exit 1; }
    chown -R postgres: "$dir"
  fi
  chmod -R 700 "$dir"
  # whatever goes wrong from here, nothing is left running
  trap 'rc=$?; [ $rc -eq 0 ] || { tail -n 30 "$dir"/*.log >&2 2>/dev/null; stop_all; }' EXIT
  mport=$(free_port); p1=$(free_port); p2=$(free_port)
  while [ "$p1" = "$mport" ] || [ "$p2" = "$p1" ] || [ "$p2" = "$mport" ]; do p2=$(free_port); p1=$(free_port); done
  echo "$mport $p1 $p2" > "$dir/ports"

  autoctl "create monitor --pgdata '$dir/monitor' --pgport $mport --hostname 127.0.0.1 \
           --auth trust --no-ssl --pgctl '$ctl'" > "$dir/create-monitor.log" 2>&1
  # failover within seconds: check often, give up on a silent node quickly, and do not
  # wait the default 30 s for a demoted primary that is already known to be gone
  cat >> "$dir/monitor/postgresql.conf" <<'EOF'
pgautofailover.health_check_period = 1000
pgautofailover.health_check_timeout = 1000
pgautofailover.health_check_max_retries = 1
pgautofailover.health_check_retry_delay = 500
pgautofailover.node_considered_unhealthy_timeout = 3000
pgautofailover.primary_demote_timeout = 5000
EOF
  autoctl "config set --pgdata '$dir/monitor' postgresql.listen_addresses 127.0.0.1" > /dev/null
  run_service monitor
  # the monitor restarts its server once on its first run: ask until it answers twice
  monitor_uri=
  for _ in $(seq 1 30); do
    monitor_uri=$(autoctl "show uri --pgdata '$dir/monitor' --formation monitor" 2>/dev/null) \
      && sleep 1 && autoctl "show uri --pgdata '$dir/monitor' --formation monitor" >/dev/null 2>&1 && break
    monitor_uri=; sleep 1
  done
  [ -n "$monitor_uri" ] || { echo "timed out waiting for the monitor" >&2; exit 1; }

  n=1
  for port in "$p1" "$p2"; do
    autoctl "create postgres --pgdata '$dir/node$n' --pgport $port --hostname 127.0.0.1 \
             --name node$n --listen 127.0.0.1 --auth trust --no-ssl --pgctl '$ctl' --dbname postgres \
             --monitor '$monitor_uri'" > "$dir/create-node$n.log" 2>&1
    # keep the keeper's own timeouts in step with the monitor's
    autoctl "config set --pgdata '$dir/node$n' timeout.network_partition_timeout 5" >/dev/null 2>&1 || true
    autoctl "config set --pgdata '$dir/node$n' timeout.prepare_promotion_walreceiver 1" >/dev/null 2>&1 || true
    run_service "node$n"
    if [ $n -eq 1 ]; then
      wait_for 60 "the first node" "autoctl \"show state --pgdata '$dir/monitor'\" | grep -q '| *single *|'"
    fi
    n=$((n + 1))
  done
  uri="postgresql://postgres@127.0.0.1:$p1,127.0.0.1:$p2/postgres?target_session_attrs=read-write&connect_timeout=2"
  wait_pair 120
  echo "$uri" > "$dir/uri"
  trap - EXIT
  echo "$uri"
  ;;
primary)
  autoctl "show state --pgdata '$dir/monitor'" | awk -F'|' '$6 ~ /primary/ && $7 ~ /primary/ {gsub(/ /, "", $1); print "'"$dir"'/" $1}'
  ;;
kill-primary|kill-secondary)
  # a node's machine lost at once: keeper, its services and postmaster, no shutdown
  role=${cmd#kill-}
  node=$(autoctl "show state --pgdata '$dir/monitor'" | awk -F'|' -v r="$role" '$6 ~ r && $7 ~ r {gsub(/ /, "", $1); print $1}')
  [ -n "$node" ] || { echo "no $role" >&2; exit 1; }
  keeper=$(cat "$dir/$node.pid")
  kill -KILL $(pgrep -P "$keeper") "$keeper" $(head -1 "$dir/$node/postmaster.pid") 2>/dev/null || true
  echo "$node"
  ;;
wait-pair)
  uri=$(cat "$dir/uri")
  wait_pair 120
  ;;
rejoin)
  # runs the keeper of a lost node again; it rejoins as a secondary
  node=${3:-}
  [ -n "$node" ] && [ -d "$dir/$node" ] || usage
  run_service "$node"
  ;;
stop)
  stop_all
  rm -rf "$dir"
  ;;
*)
  usage
  ;;
esac
