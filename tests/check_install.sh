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

"$(dirname "$0")/start_installed.sh" "$work/prefix/bin/helvarine" \
  "$work/prefix/lib/helvarine/dbBlank.mdb" "$work"
echo "installed layout works"
