#!/usr/bin/env bash
# A private pg_auto_failover formation for one test run: a monitor, a primary and a secondary
# with synchronous replication, three local processes listening only on the loopback address
# (ports PORT, PORT+1, PORT+2) and on Unix sockets in FOLDER/socket.
#   tests/pg_formation.sh start FOLDER SCHEMA PORT   makes and starts the formation, waits until
#                                                    the primary and the secondary are stable,
#                                                    and makes the database "helvarine_template"
#                                                    with the schema on the primary
#   tests/pg_formation.sh kill-primary FOLDER        kills the primary node (its keeper and its
#                                                    postgres) with SIGKILL, as a crash would
#   tests/pg_formation.sh stop FOLDER                kills everything and removes FOLDER
# The tests reach it as "host=127.0.0.1,127.0.0.1 port=PORT+1,PORT+2
# target_session_attrs=read-write user=postgres". Run as root (as CI does), the formation runs
# as the postgres account, which initdb requires.
set -euo pipefail

action=${1:-}
folder=${2:-}
if [ -z "$folder" ]; then
  echo "usage: $0 start FOLDER SCHEMA PORT | kill-primary FOLDER | stop FOLDER" >&2
  exit 2
fi
# The newest PostgreSQL that has the monitor's extension.
library=$(ls /usr/lib/postgresql/*/lib/pgautofailover.so 2>/dev/null | sort -V | tail -n 1 || true)
bin=${library%/lib/pgautofailover.so}/bin
if [ "$action" != stop ] && { [ -z "$library" ] || ! command -v pg_autoctl >/dev/null 2>&1; }; then
  echo "pg_formation: needs PostgreSQL and pg_autoctl; install postgresql," \
       "postgresql-15-auto-failover and pg-auto-failover-cli" >&2
  exit 1
fi
nodes=(monitor node1 node2)

# pg_autoctl keeps its configuration and state under XDG_CONFIG_HOME and XDG_DATA_HOME: inside
# the folder, so that nothing of the formation outlives it.
as_server() {
  local environment=(env "PATH=$bin:/usr/bin:/bin" "XDG_CONFIG_HOME=$folder/config"
                     "XDG_DATA_HOME=$folder/share" "XDG_RUNTIME_DIR=$folder/run"
                     "PGHOST=$folder/socket" PGUSER=postgres)
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u postgres -- "${environment[@]}" "$@"
  else
    "${environment[@]}" "$@"
  fi
}

port_of() {
  local base
  base=$(cat "$folder/port")
  case "$1" in
    monitor) echo "$base" ;;
    node1) echo $((base + 1)) ;;
    node2) echo $((base + 2)) ;;
  esac
}

sql() {
  "$bin/psql" -X -q -A -t -v ON_ERROR_STOP=1 -h "$folder/socket" -p "$(port_of "$1")" -U postgres \
    -d "$2" "${@:3}"
}

# A process of this folder still running: its command line names the folder.
ours() {
  [ -n "$1" ] && grep -qF "$folder/" "/proc/$1/cmdline" 2>/dev/null
}

# Kills a node at once: its pg_autoctl session (supervisor, keeper, the service that restarts
# postgres), then its postmaster and every process the postmaster started (each in a session
# of its own).
kill_node() {
  local data=$folder/$1 pid postgres=()
  # The postmaster and its children first: the postmaster stands in the keeper's session, and
  # once it is gone its children can no longer be told by their parent.
  if [ -f "$data/postmaster.pid" ]; then
    pid=$(head -n 1 "$data/postmaster.pid")
    if ours "$pid"; then
      postgres=("$pid" $(pgrep -P "$pid" || true))
    fi
  fi
  if [ -f "$folder/$1.pid" ]; then
    pid=$(cat "$folder/$1.pid")
    # Only while it still leads the session it was started in.
    if ours "$pid" && [ "$(cut -d ' ' -f 6 "/proc/$pid/stat" 2>/dev/null)" = "$pid" ]; then
      pkill -KILL -s "$pid" || true
    fi
  fi
  if [ ${#postgres[@]} -gt 0 ]; then
    kill -KILL "${postgres[@]}" 2>/dev/null || true
  fi
}

# Starts a node's pg_autoctl service in a session of its own, detached from the caller (CTest
# waits for the output of what a test starts), and notes the session's number.
run_node() {
  # Asked before the start: the running service rewrites its configuration meanwhile.
  local pidfile
  pidfile=$(as_server pg_autoctl show file --pid --pgdata "$folder/$1")
  as_server setsid -f pg_autoctl run --pgdata "$folder/$1" >>"$folder/$1.log" 2>&1 </dev/null
  for _ in $(seq 100); do
    if [ -s "$pidfile" ]; then
      head -n 1 "$pidfile" >"$folder/$1.pid"
      return 0
    fi
    sleep 0.1
  done
  echo "pg_formation: pg_autoctl did not start for $1" >&2
  return 1
}

# A cluster of our own before pg_autoctl adopts it: listening on the loopback address and the
# folder's socket only, small, and without fsync (a test's data outlives no machine crash). Its
# write-ahead log comes in segments of 1 MB and is recycled early: removing the folder frees
# every block on a disk that discards them, which took seconds for the usual 16 MB segments.
# The secondary's base backup copies these settings.
make_cluster() {
  as_server "$bin/initdb" -D "$folder/$1" -U postgres -A trust -E UTF8 --locale=C.UTF-8 \
    --wal-segsize=1 >"$folder/$1.log" 2>&1
  as_server tee -a "$folder/$1/postgresql.conf" >/dev/null <<EOF
listen_addresses = '127.0.0.1'
unix_socket_directories = '$folder/socket'
shared_buffers = '32MB'
max_connections = 60
fsync = off
min_wal_size = '4MB'
max_wal_size = '32MB'
EOF
}

# The keeper's limits: a primary cut off from the monitor and the secondary for 4 s stops
# itself, shorter than the monitor's demote timeout, so that two primaries never accept writes.
set_keeper_limits() {
  as_server pg_autoctl config set --pgdata "$folder/$1" timeout.network_partition_timeout 4 \
    >/dev/null
}

show_logs() {
  for node in "${nodes[@]}"; do
    if [ -f "$folder/$node.log" ]; then
      echo "--- $node" >&2
      tail -n 30 "$folder/$node.log" >&2
    fi
  done
}

# The state of each node as the monitor sees it: "reported/assigned" in node order.
states() {
  sql monitor pg_auto_failover \
    -c "SELECT string_agg(reportedstate || '/' || goalstate, ' ' ORDER BY nodeid) FROM pgautofailover.node" \
    2>/dev/null || true
}

start() {
  local schema=$3 base=$4
  "$0" stop "$folder" >/dev/null 2>&1 || true
  for port in "$base" $((base + 1)) $((base + 2)); do
    if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
      echo "pg_formation: port $port on 127.0.0.1 is taken by another program" >&2
      return 1
    fi
  done
  mkdir -p "$folder/socket" "$folder/run"
  echo "$base" >"$folder/port"
  chmod 0700 "$folder/run"
  if [ "$(id -u)" -eq 0 ]; then
    chown -R postgres: "$folder"
  fi
  chmod 0755 "$folder" "$folder/socket"
  local monitor="postgres://autoctl_node@127.0.0.1:$base/pg_auto_failover?sslmode=disable"
  local common=(--hostname 127.0.0.1 --auth trust --no-ssl)

  make_cluster monitor
  # The monitor decides quickly: a health check every second, a node whose checks failed and
  # whose keeper has been silent for 4 s is unhealthy, and the secondary is promoted once the
  # old primary has had 6 s to stop.
  as_server tee -a "$folder/monitor/postgresql.conf" >/dev/null <<EOF
pgautofailover.health_check_period = 1000
pgautofailover.health_check_timeout = 2000
pgautofailover.health_check_max_retries = 2
pgautofailover.health_check_retry_delay = 1000
pgautofailover.node_considered_unhealthy_timeout = 4000
pgautofailover.primary_demote_timeout = 6000
pgautofailover.startup_grace_period = 2000
EOF
  as_server pg_autoctl create monitor --pgdata "$folder/monitor" --pgport "$base" "${common[@]}" \
    >>"$folder/monitor.log" 2>&1
  # The monitor has no --listen of its own: without this, it listens on every address.
  as_server pg_autoctl config set --pgdata "$folder/monitor" postgresql.listen_addresses \
    127.0.0.1 >/dev/null
  run_node monitor

  make_cluster node1
  for node in node1 node2; do
    as_server pg_autoctl create postgres --pgdata "$folder/$node" --pgport "$(port_of "$node")" \
      --pghost "$folder/socket" --listen 127.0.0.1 --name "$node" --monitor "$monitor" \
      "${common[@]}" >>"$folder/$node.log" 2>&1
    set_keeper_limits "$node"
    run_node "$node"
    # The secondary's base backup needs the primary running.
    for _ in $(seq 300); do
      "$bin/pg_isready" -q -h "$folder/socket" -p "$(port_of "$node")" && break
      sleep 0.2
    done
  done

  # Stable: the first node primary and the second secondary, as reported and as assigned. A
  # minute at most, well inside the CTest limit, so that a failure shows its logs.
  local seen=""
  for _ in $(seq 300); do
    seen=$(states)
    [ "$seen" = "primary/primary secondary/secondary" ] && break
    sleep 0.2
  done
  if [ "$seen" != "primary/primary secondary/secondary" ]; then
    echo "pg_formation: the formation did not settle (states: $seen)" >&2
    return 1
  fi
  sql node1 postgres -c "CREATE DATABASE helvarine_template" >/dev/null
  sql node1 helvarine_template -f "$schema" >/dev/null
}

kill_primary() {
  for node in node1 node2; do
    if [ "$(sql "$node" postgres -c "SELECT pg_is_in_recovery()" 2>/dev/null)" = f ]; then
      kill_node "$node"
      echo "pg_formation: killed $node (port $(port_of "$node"))"
      return 0
    fi
  done
  echo "pg_formation: no primary is running (states: $(states))" >&2
  return 1
}

case "$action" in
  start)
    if [ $# -ne 4 ]; then
      echo "usage: $0 start FOLDER SCHEMA PORT" >&2
      exit 2
    fi
    # A start that fails shows the logs and leaves nothing running.
    trap 'show_logs; "$0" stop "$folder" >/dev/null 2>&1 || true' EXIT
    start "$@"
    trap - EXIT
    ;;
  kill-primary)
    kill_primary
    ;;
  stop)
    for node in "${nodes[@]}"; do
      kill_node "$node"
    done
    rm -rf "$folder"
    ;;
  *)
    echo "usage: $0 start FOLDER SCHEMA PORT | kill-primary FOLDER | stop FOLDER" >&2
    exit 2
    ;;
esac
