#!/usr/bin/env bash
# Formats the tracked C++ files with the repository's .clang-format; with --check, changes
# nothing and fails when a file would change (test.sh runs it so).
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = --check ]; then
  exec clang-format --dry-run --Werror "${files[@]}"
fi
exec clang-format -i "${files[@]}"
