#!/usr/bin/env bash
# Starts an installed or unpacked program offscreen against a data root of its own and checks
# that it opened its window (the day's backup is made only once the window is shown and the
# event loop runs) and made its database from the template beside it.
#   start_installed.sh PROGRAM TEMPLATE WORK_DIR
set -euo pipefail
program_path=$1
template=$2
work=$3

export HELVARINE_DATA_ROOT="$work/data" XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=offscreen
mkdir -p "$HELVARINE_DATA_ROOT"
"$program_path" >"$work/log" 2>&1 &
program=$!
folder="$HELVARINE_DATA_ROOT/Orvanta/Helvarine"
for _ in $(seq 1 100); do
  compgen -G "$folder/backups/dbData-*.mdb" >/dev/null && break
  sleep 0.1
done
kill "$program" 2>/dev/null || true
wait "$program" 2>/dev/null || true
compgen -G "$folder/backups/dbData-*.mdb" >/dev/null || {
  echo "$program_path did not open its window:" >&2; cat "$work/log" >&2; exit 1; }
cmp "$folder/dbData.mdb" "$template" || {
  echo "$program_path did not copy its template:" >&2; cat "$work/log" >&2; exit 1; }
