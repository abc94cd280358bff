#!/usr/bin/env bash
# Rewrites bare includes of the project's own headers ("Clock.h") to folder-qualified ones
# ("numeric/Clock.h"), relative to src/ for the libraries and tests/ for test helpers.
# Safe to run again: qualified includes are left as they are.
set -euo pipefail
cd "$(dirname "$0")/.."
declare -A where
while read -r header; do
  case "$header" in
    src/*) where[$(basename "$header")]=${header#src/} ;;
    tests/*) where[$(basename "$header")]=${header#tests/} ;;
  esac
done < <(git ls-files 'src/*.h' 'tests/*.h'; git ls-files --others --exclude-standard 'src/*.h' 'tests/*.h')
script=""
for name in "${!where[@]}"; do
  script+="s|#include \"${name}\"|#include \"${where[$name]}\"|;"
done
files=$( { git ls-files 'src/*.h' 'src/*.cpp' 'tests/*.h' 'tests/*.cpp' 'bench/*.cpp' 'fuzz/*.cpp'; git ls-files --others --exclude-standard 'src/*.h' 'src/*.cpp' 'tests/*.h' 'tests/*.cpp' 'bench/*.cpp'; } | sort -u)
for f in $files; do [ -f "$f" ] && sed -i "$script" "$f"; done
