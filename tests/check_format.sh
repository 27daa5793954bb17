#!/usr/bin/env bash
# Fails when a C++ source of the project is not formatted as .clang-format says.
set -euo pipefail
cd "$(dirname "$0")/.."
folders=()
for folder in app data list ui editors reports launcher tests bench assets; do
  [ -d "$folder" ] && folders+=("$folder")
done
mapfile -t files < <(find "${folders[@]}" \( -name '*.cpp' -o -name '*.h' \) | sort)
clang-format --dry-run --Werror "${files[@]}"
echo "${#files[@]} files formatted"
