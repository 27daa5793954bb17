#!/usr/bin/env bash
# Builds the Debian package from the build, checks it as Debian's tools do, unpacks it and starts
# the unpacked program: it must open its window and make its database.
#   check_package.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$build" && cpack -G DEB -B "$work/package" >"$work/cpack.log" 2>&1) || {
  cat "$work/cpack.log" >&2; exit 1; }
package=$(ls "$work"/package/helvarine_*.deb)

# lintian: no error; what it warns of is printed (the README names what remains and why).
if ! lintian --fail-on error "$package" >"$work/lintian.log" 2>&1; then
  echo "lintian reports errors:" >&2; cat "$work/lintian.log" >&2; exit 1
fi
grep -v 'root privileges' "$work/lintian.log" || true

dpkg-deb -I "$package" control | grep -q '^Depends: .*fonts-liberation' || {
  echo "the package does not depend on fonts-liberation" >&2; exit 1; }
dpkg-deb -I "$package" control | grep -q '^Depends: .*libqt6widgets6' || {
  echo "the package does not name the libraries it links" >&2; exit 1; }

root="$work/root"
dpkg-deb -x "$package" "$root"
for file in usr/bin/helvarine usr/lib/helvarine/helvarine usr/lib/helvarine/dbBlank.mdb \
            usr/share/helvarine/schema-postgresql.sql usr/share/applications/helvarine.desktop \
            usr/share/man/man1/helvarine.1.gz usr/share/doc/helvarine/copyright \
            usr/share/metainfo/com.orvanta.helvarine.metainfo.xml \
            usr/share/icons/hicolor/scalable/apps/helvarine.svg; do
  [ -e "$root/$file" ] || { echo "not in the package: /$file" >&2; exit 1; }
done
for size in 16 32 48 64 128 256; do
  icon="$root/usr/share/icons/hicolor/${size}x${size}/apps/helvarine.png"
  [ "$(file -b "$icon" | grep -o "$size x $size")" = "$size x $size" ] || {
    echo "no ${size}x${size} icon: $(file -b "$icon")" >&2; exit 1; }
done
desktop-file-validate "$root/usr/share/applications/helvarine.desktop"
appstreamcli validate-tree --no-net "$root" >"$work/appstream.log" || {
  cat "$work/appstream.log" >&2; exit 1; }
mkdir "$work/control"
dpkg-deb -e "$package" "$work/control"
for script in postinst postrm; do
  sh -n "$work/control/$script"
done

# The unpacked program opens its window and makes its database.
"$(dirname "$0")/start_installed.sh" "$root/usr/bin/helvarine" \
  "$root/usr/lib/helvarine/dbBlank.mdb" "$work"
echo "package $(basename "$package") checked"
