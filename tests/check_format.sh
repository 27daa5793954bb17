#!/usr/bin/env bash
# Fails when a C++ source of the project is not formatted as .clang-format says.
set -euo pipefail
cd "$(dirname "$0")/.."
files=$(find app data ui editors reports launcher tests bench assets -name '*.cpp' -o -name '*.h' 2>/dev/null | sort)
clang-format --dry-run --Werror $files
