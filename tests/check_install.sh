#!/usr/bin/env bash
# Installs the build into a temporary prefix and starts the installed program through its link
# on the PATH: it must find its template beside its own executable and make the database.
#   check_install.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" >/dev/null

for file in lib/helvarine/helvarine lib/helvarine/dbBlank.mdb lib/helvarine/HAND-M.CUR \
            lib/helvarine/helvarine.png bin/helvarine share/applications/helvarine.desktop \
            share/icons/hicolor/256x256/apps/helvarine.png share/helvarine/schema-postgresql.sql; do
  [ -e "$work/prefix/$file" ] || { echo "not installed: $file" >&2; exit 1; }
done
grep -qx 'Exec=helvarine' "$work/prefix/share/applications/helvarine.desktop"
grep -qx 'Icon=helvarine' "$work/prefix/share/applications/helvarine.desktop"

export HELVARINE_DATA_ROOT="$work/data" XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=offscreen
mkdir -p "$HELVARINE_DATA_ROOT"
"$work/prefix/bin/helvarine" >"$work/log" 2>&1 &
program=$!
for _ in $(seq 1 50); do
  [ -s "$HELVARINE_DATA_ROOT/Orvanta/Helvarine/dbData.mdb" ] && break
  sleep 0.1
done
sleep 0.5
kill "$program" 2>/dev/null || true
wait "$program" 2>/dev/null || true
cmp "$HELVARINE_DATA_ROOT/Orvanta/Helvarine/dbData.mdb" "$work/prefix/lib/helvarine/dbBlank.mdb" || {
  echo "the installed program did not copy its template:" >&2; cat "$work/log" >&2; exit 1; }
echo "installed layout works"
