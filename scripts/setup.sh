#!/usr/bin/env bash
# Prepares a Debian machine for Helvarine: installs the Debian packages that are missing and,
# to run the program, makes the machine-wide data folder that the group "helvarine" shares.
#   scripts/setup.sh run       what building and running the program needs
#   scripts/setup.sh package   what building the Debian package needs
#   scripts/setup.sh test      what the tests and the benchmark need, the package's checks
#                              and the failover formation's pg_auto_failover included (the
#                              tests use data folders of their own)
set -euo pipefail

purpose=${1:-run}
packages=(cmake ninja-build g++ qt6-base-dev libsqlite3-dev libpq-dev fonts-liberation)
if [ "$purpose" = package ] || [ "$purpose" = test ]; then
  packages+=(dpkg-dev file)
fi
if [ "$purpose" = test ]; then
  packages+=(xvfb xauth xdotool poppler-utils clang-format clang-tidy clang libclang-rt-14-dev
             postgresql postgresql-15-auto-failover pg-auto-failover-cli lintian
             desktop-file-utils appstream python3 sqlite3)
fi

as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null 2>&1; then
    sudo "$@"
  else
    echo "setup: '$*' needs root; run it as root or install sudo" >&2
    return 1
  fi
}

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

[ "$purpose" = run ] || exit 0

# The database lives in the machine-wide data folder. It is shared through the group helvarine:
# the folder belongs to the group with the setgid bit (2770), so that the database and the
# journal files SQLite makes beside it belong to the group too, and nobody outside the group can
# read, change, replace or delete them. The user who runs the set-up owns the folder, so the
# program works for that user at once, before a new login makes the group membership count.
group=helvarine
data_folder=/var/lib/Orvanta/Helvarine
user=${SUDO_USER:-$(id -un)}

in_group() {
  id -nG "$1" 2>/dev/null | tr ' ' '\n' | grep -qx "$group"
}

if ! getent group "$group" >/dev/null \
   || { [ "$user" != root ] && ! in_group "$user"; } \
   || [ ! -d "$data_folder" ] \
   || [ "$(stat -c '%a %G' "$data_folder")" != "2770 $group" ] \
   || [ ! -w "$data_folder" ]; then
  echo "setup: preparing $data_folder for the group $group"
  if ! getent group "$group" >/dev/null; then
    as_root groupadd --system "$group"
  fi
  if [ "$user" != root ] && ! in_group "$user"; then
    as_root usermod -aG "$group" "$user"
    echo "setup: added $user to the group $group; other users: sudo usermod -aG $group NAME"
  fi
  as_root mkdir -p "$data_folder"
  as_root chmod 0755 /var/lib/Orvanta
  as_root chown "$user:$group" "$data_folder"
  as_root chmod 2770 "$data_folder"
  # A database from an earlier set-up, which shared the folder with every user: only the
  # database's own files, as plain files with one link, so that a link planted in the folder
  # never hands another file to the group.
  for file in dbData.mdb dbData.mdb-journal dbData.mdb-wal dbData.mdb-shm; do
    path=$data_folder/$file
    if [ -f "$path" ] && [ ! -L "$path" ] && [ "$(stat -c %h "$path")" = 1 ]; then
      as_root chgrp "$group" "$path"
      as_root chmod 0660 "$path"
    fi
  done
fi
