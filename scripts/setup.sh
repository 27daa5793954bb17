#!/usr/bin/env bash
# Prepares a Debian machine for Helvarine: installs the Debian packages that are missing and
# makes the machine-wide data folder that every user of the machine can write to.
#   scripts/setup.sh run    what building and running the program needs
#   scripts/setup.sh test   that, and what the tests and the benchmark need
set -euo pipefail

purpose=${1:-run}
packages=(cmake ninja-build g++ qt6-base-dev libsqlite3-dev fonts-liberation)
if [ "$purpose" = test ]; then
  packages+=(xvfb xauth xdotool poppler-utils clang-format clang libclang-rt-14-dev)
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

# The database lives in the machine-wide data folder, shared by every user of the machine.
data_folder=/var/lib/Orvanta/Helvarine
if [ ! -d "$data_folder" ] || [ ! -w "$data_folder" ]; then
  echo "setup: preparing $data_folder"
  as_root mkdir -p "$data_folder"
  as_root chmod 0755 /var/lib/Orvanta
  as_root chmod 0777 "$data_folder"
fi
