#!/usr/bin/env bash
# Checks the folders' include rules, which the build alone would let slip:
#  - a folder includes only folders on lower floors, never one beside or above it;
#  - the engine (numeric, messages, runtime's Qt-free part, residue, cipher, filecrypt) and cli
#    never reach Qt, not even through a header of another folder;
#  - a library's internal/ headers are included only from its own folder and its own tests;
#  - no library's build exports the whole of src/ as include path.
# Prints every breach and fails when there is one. test.sh and CTest run it.
set -euo pipefail
cd "$(dirname "$0")/.."

# The floors, lowest first. app/core is the window's Qt-Core-only logic, app/window its widgets.
declare -A floor=(
  [numeric]=0 [messages]=0
  [runtime]=1
  [residue]=2
  [cipher]=3
  [filecrypt]=4
  [cli]=5 [app/core]=5
  [app/window]=6 [app]=7
)
qt_free=(numeric messages residue cipher filecrypt cli)

# The folder a file under src/ or tests/ belongs to: its floor's name.
folder_of() {
  local path=${1#src/}
  path=${path#tests/}
  case "$path" in
    app/core/*) echo app/core ;;
    app/window/*) echo app/window ;;
    */*) echo "${path%%/*}" ;;
    *) echo "" ;;
  esac
}

breaches=0
breach() {
  echo "check-layers: $*" >&2
  breaches=$((breaches + 1))
}

# Every project include: "file included" per line.
# The files in the tree, new ones not yet committed included; outside a git checkout, all.
files() {
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files --cached --others --exclude-standard "$@" | sort -u
  else
    local pattern
    for pattern in "$@"; do
      find "${pattern%%/*}" -type f -path "$pattern" 2>/dev/null || true
    done | sort -u
  fi
}

# Every project include: "file included" per line.
includes=$(files 'src/*.h' 'src/*.cpp' 'tests/*.h' 'tests/*.cpp' 'fuzz/*.h' 'fuzz/*.cpp' \
             'bench/*.h' 'bench/*.cpp' |
  xargs grep -sHoE '^#include "[^"]+"' | sed -E 's/:#include "/ /; s/"$//')

while read -r file included; do
  [ -n "$file" ] || continue
  if [[ $included == src/* ]]; then
    breach "$file includes $included: name the folder, not src/"
    continue
  fi
  here=$(folder_of "$file")
  there=$(folder_of "src/$included")
  if [[ $included == */internal/* ]]; then
    owner=${included%%/internal/*}
    [[ $file == src/$owner/* || $file == tests/$owner/* ]] ||
      breach "$file includes $included, private to $owner/"
  fi
  # Floors hold between the libraries' own sources; tests, fuzz targets and benchmarks sit on top.
  [[ $file == src/* && -n $here && -n ${floor[$there]:-} ]] || continue
  [ "$here" = "$there" ] && continue
  [ "${floor[$here]}" -gt "${floor[$there]}" ] ||
    breach "$file ($here, floor ${floor[$here]}) includes $included ($there, floor ${floor[$there]})"
done <<<"$includes"

# Qt through any chain of project headers: each Qt-free file's includes are followed to the end.
declare -A project_includes
while read -r file included; do
  [ -n "$file" ] && project_includes[$file]+="src/$included "
done <<<"$(grep '^src/' <<<"$includes")"
for folder in "${qt_free[@]}"; do
  [ -d "src/$folder" ] || continue
  while read -r start; do
    declare -A seen=()
    queue=("$start")
    while [ "${#queue[@]}" -gt 0 ]; do
      file=${queue[0]}
      queue=("${queue[@]:1}")
      [ -z "${seen[$file]:-}" ] && [ -f "$file" ] || continue
      seen[$file]=1
      if grep -qE '^#include <Q' "$file"; then
        breach "$start reaches Qt through $file"
        break
      fi
      for next in ${project_includes[$file]:-}; do
        queue+=("$next")
      done
    done
    unset seen
  done < <(files "src/$folder/*.h" "src/$folder/*.cpp")
done

# A library that exported the whole of src/ would open every internal/ folder again.
while read -r list; do
  grep -qE 'include_directories\(.*PROJECT_SOURCE_DIR\}/src[ )]' "$list" &&
    breach "$list exports the whole of src/: use kiv_library_headers"
done < <(files 'src/*CMakeLists.txt')

[ "$breaches" -eq 0 ] || {
  echo "check-layers: $breaches breaches" >&2
  exit 1
}
