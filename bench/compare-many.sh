#!/usr/bin/env bash
# Times kiv-cli on many small files against the tools people would otherwise use for a folder of
# documents: 7z a -mx=0 -p (AES-256, no compression) and tar | openssl enc -aes-256-ctr -pbkdf2,
# each way. 5000 files of 1 to 16 KiB (about 42 MB) in one folder, in memory-backed storage
# (/dev/shm) and in a folder on a disk (/var/tmp unless --disk DIR names another); kiv-cli with
# a 23-byte password, as the peers. Rounds are interleaved (every tool once per round, in an order
# that turns round by round) and every round trip is compared with its sources (diff -r). The
# figures are the median over the rounds of each round's ratio: the fastest peer's time divided
# by kiv-cli's (above 1.00 kiv-cli is faster), so that a machine whose speed drifts still gives
# steady ratios. kiv-cli's restore on the disk keeps its promise (every file on the disk before
# it has its name, the folder flushed before it ends); the peers flush nothing, so the disk rows
# also give tar | openssl followed by a sync of its folder (sync -f). Finally kiv-cli restores
# the files once more with no more than 64 descriptors (ulimit -n 64), and, with --memory N, the
# peak memory of encrypting and restoring N small files is printed.
#
# A manual benchmark, not a test: run it on a quiet machine, from a build with the benchmarks'
# settings. Outputs on the disk are removed only at the end: ext4 spends long searches skipping
# inodes freed in the last seconds, which would slow whichever tool came after a removal.
#
#   bench/compare-many.sh [--files N] [--rounds N] [--disk DIR] [--memory N] [path/to/kiv-cli]
#                                                 (default: build/src/cli/kiv-cli)
set -euo pipefail

cd "$(dirname "$0")/.."
files=5000
rounds=5
diskbase=/var/tmp
memory=0
while [ $# -gt 0 ]; do
  case $1 in
    --files) files=${2:?--files needs a number}; shift 2 ;;
    --rounds) rounds=${2:?--rounds needs a number}; shift 2 ;;
    --disk) diskbase=${2:?--disk needs a folder}; shift 2 ;;
    --memory) memory=${2:?--memory needs a number of files}; shift 2 ;;
    *) break ;;
  esac
done
kiv=$(realpath "${1:-build/src/cli/kiv-cli}")
if [ ! -x "$kiv" ]; then
  echo "kiv-cli not found at $kiv: build first (cmake -S . -B build -G Ninja && cmake --build build)" >&2
  exit 2
fi
if ! command -v 7z >/dev/null; then
  sudo=()
  if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
  "${sudo[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y p7zip-full
fi
command -v openssl >/dev/null || { echo "openssl is missing" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time is missing (package time)" >&2; exit 2; }

source bench/peer-workspace.sh
kiv_peer_workspace kiv-many
disk=$(mktemp -d "$diskbase/kiv-many-XXXXXX")
trap 'gpgconf --kill gpg-agent >/dev/null 2>&1 || true; rm -rf "$work" "$disk"' EXIT

password="benchmark-password-23by"
printf '%s\n' "$password" >"$work/pw"

# COUNT files of 1 to 16 KiB of random bytes into FOLDER, the same sizes at every call.
make_files() {
  local folder=$1 count=$2
  mkdir -p "$folder"
  if command -v python3 >/dev/null; then
    python3 - "$folder" "$count" <<'EOF'
import os, random, sys
folder, count = sys.argv[1], int(sys.argv[2])
sizes = random.Random(7)
for i in range(count):
    with open(os.path.join(folder, "d%06d" % i), "wb") as f:
        f.write(os.urandom(sizes.randint(1024, 16384)))
EOF
  else
    local i
    RANDOM=7
    for ((i = 0; i < count; ++i)); do
      head -c $((1024 + (RANDOM * 32768 + RANDOM) % 15361)) /dev/urandom >"$(printf '%s/d%06d' "$folder" "$i")"
    done
  fi
}

# The commands, as functions of: the sources' folder, this round's work folder. Each encrypts
# every file of the folder into one file in the work folder, or restores it into work/out.
kiv_enc() { (cd "$1" && "$kiv" encrypt-files --password-file "$work/pw" -o "$2/box.vrq" -- *); }
kiv_dec() { "$kiv" decrypt-file --password-file "$work/pw" -C "$2/out" "$2/box.vrq"; }
sevenz_enc() { (cd "$1" && 7z a -mx0 -p"$password" -bso0 -bsp0 "$2/box.7z" -- * >/dev/null); }
sevenz_dec() { 7z x -p"$password" -y -bso0 -bsp0 -o"$2/out" "$2/box.7z" >/dev/null; }
tar_enc() {
  (cd "$1" && tar -cf - -- *) | openssl enc -aes-256-ctr -pbkdf2 -pass "pass:$password" -out "$2/box.enc"
}
tar_dec() {
  openssl enc -d -aes-256-ctr -pbkdf2 -pass "pass:$password" -in "$2/box.enc" | tar -xf - -C "$2/out"
}
synced_enc() { tar_enc "$@"; sync -f "$2"; }
synced_dec() { tar_dec "$@"; sync -f "$2/out"; }

labels=("kiv-cli" "7z a -mx0 -p / 7z x" "tar | openssl enc" "tar | openssl enc, then sync")
tools=(kiv sevenz tar synced)
peers=(1 2)  # the rows kiv-cli is held against
places=(memory disk)
declare -A bases=([memory]="$work" [disk]="$disk")
declare -A where=([memory]="$(df --output=fstype "$work" | tail -1) in $(dirname "$work")"
                  [disk]="$(df --output=fstype "$disk" | tail -1) in $diskbase")

now() { date +%s%N; }
declare -A seconds  # "place row direction round" -> seconds

kiv_kernel_line "$kiv"
echo "Processor: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(nproc) cores"
for place in "${places[@]}"; do
  echo "Preparing $files files in ${where[$place]} ..."
  make_files "${bases[$place]}/src" "$files"
done
echo "$(du -sb "$work/src" | cut -f1) bytes in $files files"
sync -f "$disk"
echo "Load average: $(cut -d' ' -f1-3 /proc/loadavg)"
for round in $(seq 1 "$rounds"); do
  for place in "${places[@]}"; do
    src="${bases[$place]}/src"
    count=${#tools[@]}
    for turn in $(seq 0 $((count - 1))); do
      row=$(((turn + round) % count))
      tool=${tools[$row]}
      dir="${bases[$place]}/r$round-t$row"
      mkdir -p "$dir/out"
      t0=$(now); "${tool}_enc" "$src" "$dir"; t1=$(now)
      "${tool}_dec" "$src" "$dir"; t2=$(now)
      seconds["$place $row enc $round"]=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.6f", (b - a) / 1e9 }')
      seconds["$place $row dec $round"]=$(awk -v a="$t1" -v b="$t2" 'BEGIN { printf "%.6f", (b - a) / 1e9 }')
      if ! diff -r "$src" "$dir/out" >/dev/null; then
        echo "ROUND TRIP FAILED: ${labels[$row]} in ${where[$place]}, round $round" >&2
        exit 1
      fi
      # Memory is removed at once; the disk's outputs stay until the end (see above).
      if [ "$place" = memory ]; then rm -rf "$dir"; fi
    done
  done
done
echo "Load average: $(cut -d' ' -f1-3 /proc/loadavg)"

median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

echo
echo "Seconds, median of $rounds rounds"
printf '%-32s %10s %10s %10s %10s\n' "" "memory enc" "memory dec" "disk enc" "disk dec"
for row in "${!tools[@]}"; do
  line=$(printf '%-32s' "${labels[$row]}")
  for place in "${places[@]}"; do
    for direction in enc dec; do
      values=()
      for round in $(seq 1 "$rounds"); do values+=("${seconds["$place $row $direction $round"]}"); done
      line+=$(printf ' %10.3f' "$(median "${values[@]}")")
    done
  done
  echo "$line"
done

# Per round: the reference's time over kiv-cli's; the median of those.
ratio_line() {
  local label=$1 place direction round reference peer values line
  shift
  line=$(printf '%-32s' "$label")
  for place in "${places[@]}"; do
    for direction in enc dec; do
      values=()
      for round in $(seq 1 "$rounds"); do
        reference=""
        for peer in "$@"; do
          local t=${seconds["$place $peer $direction $round"]}
          if [ -z "$reference" ] || awk -v a="$t" -v b="$reference" 'BEGIN { exit !(a < b) }'; then
            reference=$t
          fi
        done
        values+=("$(awk -v r="$reference" -v k="${seconds["$place 0 $direction $round"]}" 'BEGIN { printf "%.4f", r / k }')")
      done
      line+=$(printf ' %10.2f' "$(median "${values[@]}")")
    done
  done
  echo "$line"
}
echo
echo "kiv-cli against the fastest peer: its time / kiv-cli's, median of per-round ratios"
printf '%-32s %10s %10s %10s %10s\n' "" "memory enc" "memory dec" "disk enc" "disk dec"
ratio_line "fastest of 7z, tar | openssl" "${peers[@]}"
ratio_line "7z a -mx0 -p" 1
ratio_line "tar | openssl enc" 2
ratio_line "tar | openssl enc, then sync" 3

echo
echo "kiv-cli with at most 64 descriptors (ulimit -n 64):"
limited="$work/limited"
mkdir -p "$limited/out"
(ulimit -n 64 && kiv_enc "$work/src" "$limited" && kiv_dec "$work/src" "$limited")
diff -r "$work/src" "$limited/out" >/dev/null && echo "  restored every file" ||
  { echo "  ROUND TRIP FAILED under ulimit -n 64" >&2; exit 1; }
rm -rf "$limited"

if [ "$memory" -gt 0 ]; then
  echo
  echo "Peak memory of kiv-cli over $memory files of 1 to 16 KiB in ${where[memory]}:"
  many="$work/many"
  make_files "$many/src" "$memory"
  mkdir -p "$many/out"
  /usr/bin/time -f "%M" -o "$work/peak" bash -c "cd '$many/src' && exec '$kiv' encrypt-files --password-file '$work/pw' -o '$many/box.vrq' -- *"
  echo "  encrypt-files: $(awk '{ printf "%.1f MiB", $1 / 1024 }' "$work/peak")"
  /usr/bin/time -f "%M" -o "$work/peak" "$kiv" decrypt-file --password-file "$work/pw" -C "$many/out" "$many/box.vrq"
  echo "  decrypt-file:  $(awk '{ printf "%.1f MiB", $1 / 1024 }' "$work/peak")"
  diff -r "$many/src" "$many/out" >/dev/null || { echo "ROUND TRIP FAILED over $memory files" >&2; exit 1; }
fi
