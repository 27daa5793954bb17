#!/usr/bin/env bash
# A private PostgreSQL server for one test run, reached only through a Unix socket in its own
# temporary folder.
#   tests/pg_server.sh start FOLDER SCHEMA   makes the cluster in FOLDER, starts it, and makes the
#                                            database "helvarine_template" with the schema
#   tests/pg_server.sh restart FOLDER        restarts the server (fast: sessions are ended)
#   tests/pg_server.sh stop FOLDER           stops the server and removes FOLDER
# The tests reach it as "host=FOLDER/socket dbname=..." (HELVARINE_TEST_DATABASE). Run as root
# (as CI does), the server runs as the postgres account, which initdb requires.
set -euo pipefail

action=$1
folder=$2
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
if [ -z "$bin" ]; then
  echo "pg_server: no PostgreSQL server under /usr/lib/postgresql; install postgresql" >&2
  exit 1
fi

as_server() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u postgres -- "$@"
  else
    "$@"
  fi
}

case "$action" in
  start)
    schema=$3
    "$0" stop "$folder" >/dev/null 2>&1 || true
    mkdir -p "$folder/socket"
    if [ "$(id -u)" -eq 0 ]; then
      chown -R postgres: "$folder"
    fi
    as_server "$bin/initdb" -D "$folder/data" -U postgres -A trust -E UTF8 --locale=C.UTF-8 \
      >"$folder/initdb.log" 2>&1 || { cat "$folder/initdb.log" >&2; exit 1; }
    # No TCP port at all: only the socket in the run's own folder. The benchmark asks for a
    # port on the loopback address as well (HELVARINE_PG_TCP_PORT), to measure what crosses a
    # network; the socket then carries the same port number.
    listen="-c listen_addresses=''"
    port=()
    if [ -n "${HELVARINE_PG_TCP_PORT:-}" ]; then
      listen="-c listen_addresses=127.0.0.1 -p $HELVARINE_PG_TCP_PORT"
      port=(-p "$HELVARINE_PG_TCP_PORT")
    fi
    as_server "$bin/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w -t 60 \
      -o "$listen -k $folder/socket -c fsync=off -c max_connections=60" start \
      >/dev/null || { cat "$folder/server.log" >&2; exit 1; }
    chmod 0755 "$folder" "$folder/socket"
    psql=("$bin/psql" -X -q -v ON_ERROR_STOP=1 -h "$folder/socket" "${port[@]}" -U postgres)
    "${psql[@]}" -d postgres -c "CREATE DATABASE helvarine_template" >/dev/null
    "${psql[@]}" -d helvarine_template -f "$schema" >/dev/null
    ;;
  restart)
    as_server "$bin/pg_ctl" -D "$folder/data" -l "$folder/server.log" -m fast -w -t 60 restart \
      >/dev/null
    ;;
  stop)
    if [ -d "$folder/data" ]; then
      as_server "$bin/pg_ctl" -D "$folder/data" -m immediate -w stop >/dev/null 2>&1 || true
    fi
    rm -rf "$folder"
    ;;
  *)
    echo "usage: $0 start FOLDER SCHEMA | restart FOLDER | stop FOLDER" >&2
    exit 2
    ;;
esac
