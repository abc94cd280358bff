#!/usr/bin/env bash
# Times kiv-cli's file encryption and restore against the tools people would otherwise use, on
# the same machine in one run: 7z (AES-256, no compression), openssl enc (AES-256-CTR) and gpg
# (no compression), and cp of the same file as the floor set by the storage. A random file and a
# text file of 128 MiB (or --size MiB) in memory-backed storage;
# kiv-cli with passwords of 3, 8 and 23 bytes, the peers with the 23-byte one; three runs of
# every measurement, interleaved, and their median; every output is restored once and compared
# with its source. Each kiv-cli run is also held against the limit of the machine for the same
# work: reading its input once and writing its output's bytes once (cat of the input to
# /dev/null, then dd of as many zero bytes as the output holds), timed right after it; the
# limit's time divided by kiv-cli's, median of the per-run ratios (1.00: as fast as the storage
# allows). A manual benchmark, not a test: run it on a quiet machine
# (`uptime` load below about 0.5), from a build with the benchmarks' settings.
# The report names the kernels kiv-cli codes with on this processor (the kernel_report
# program of the same build).
#
# On a machine whose speed drifts (a shared virtual machine), more runs give steadier medians.
#
#   bench/compare-peers.sh [--size MiB] [--runs N] [path/to/kiv-cli]
#                                                 (default: build/src/cli/kiv-cli)
set -euo pipefail

cd "$(dirname "$0")/.."
mib=128
runs=3
while [ $# -gt 0 ]; do
  case $1 in
    --size) mib=${2:?--size needs a number of MiB}; shift 2 ;;
    --runs) runs=${2:?--runs needs a number}; shift 2 ;;
    *) break ;;
  esac
done
kiv=$(realpath "${1:-build/src/cli/kiv-cli}")
if [ ! -x "$kiv" ]; then
  echo "kiv-cli not found at $kiv: build first (cmake -S . -B build -G Ninja && cmake --build build)" >&2
  exit 2
fi

# The peers: openssl is part of the base system; 7z and gpg are installed when missing.
missing=()
command -v 7z >/dev/null || missing+=(p7zip-full)
command -v gpg >/dev/null || missing+=(gnupg)
if [ "${#missing[@]}" -gt 0 ]; then
  sudo=()
  if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
  "${sudo[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y "${missing[@]}"
fi
command -v openssl >/dev/null || { echo "openssl is missing" >&2; exit 2; }

source bench/peer-workspace.sh
kiv_peer_workspace kiv-peers

size=$((mib << 20))
echo "Preparing two files of $((size >> 20)) MiB in $work ..."
head -c "$size" /dev/urandom >"$work/random.bin"
# Text: lines of words drawn from a small vocabulary, 1 MiB of it repeated.
awk 'BEGIN {
  srand(7); n = split("the of and to in is was that for on with as by at from this be or an are " \
    "password file block residue prime number window report encrypted restore clipboard editor " \
    "settings machine memory benchmark thread chunk modulus digit carry table", w, " ");
  total = 0;
  while (total < 1048576) {
    line = ""; k = 6 + int(rand() * 10);
    for (i = 0; i < k; ++i) line = line (i ? " " : "") w[1 + int(rand() * n)];
    line = line ".";
    print line; total += length(line) + 1;
  }
}' >"$work/chunk.txt"
: >"$work/text.txt"
while [ "$(stat -c %s "$work/text.txt")" -lt "$size" ]; do cat "$work/chunk.txt" >>"$work/text.txt"; done
truncate -s "$size" "$work/text.txt"
rm "$work/chunk.txt"

pw3="k3y"
pw8="pass-8by"
pw23="benchmark-password-23by"
for pw in "$pw3" "$pw8" "$pw23"; do printf '%s\n' "$pw" >"$work/pw${#pw}"; done

# The commands, as functions of: source file, work folder for this tool.
kiv_enc() { "$kiv" encrypt-files -f --password-file "$work/pw$3" -o "$2/box.vrq" "$1" 2>/dev/null; }
kiv_dec() { "$kiv" decrypt-file -f --password-file "$work/pw$3" -C "$2/out" "$2/box.vrq" 2>/dev/null; }
kiv_out() { echo "$2/out/$(basename "$1")"; }
sevenz_enc() { rm -f "$2/box.7z"; 7z a -mx0 -p"$pw23" -bso0 -bsp0 "$2/box.7z" "$1" >/dev/null; }
sevenz_dec() { 7z x -p"$pw23" -y -bso0 -bsp0 -o"$2/out" "$2/box.7z" >/dev/null; }
sevenz_out() { echo "$2/out/$(basename "$1")"; }
openssl_enc() { openssl enc -aes-256-ctr -pbkdf2 -pass "pass:$pw23" -in "$1" -out "$2/box.enc"; }
openssl_dec() { openssl enc -d -aes-256-ctr -pbkdf2 -pass "pass:$pw23" -in "$2/box.enc" -out "$2/out/back"; }
openssl_out() { echo "$2/out/back"; }
gpg_enc() {
  gpg --batch --yes --quiet --pinentry-mode loopback --passphrase "$pw23" --symmetric -z0 \
    -o "$2/box.gpg" "$1"
}
gpg_dec() {
  gpg --batch --yes --quiet --pinentry-mode loopback --passphrase "$pw23" -o "$2/out/back" \
    --decrypt "$2/box.gpg" 2>/dev/null
}
gpg_out() { echo "$2/out/back"; }
cp_enc() { cp "$1" "$2/copy"; }
cp_dec() { cp "$2/copy" "$2/out/back"; }
cp_out() { echo "$2/out/back"; }

# Rows of the table: label, command prefix, password length.
labels=("kiv-cli, 3-byte password" "kiv-cli, 8-byte password" "kiv-cli, 23-byte password"
        "7z a -mx0 / 7z x (AES-256)" "openssl enc -aes-256-ctr" "gpg --symmetric -z0"
        "cp (no encryption)")
tools=(kiv kiv kiv sevenz openssl gpg cp)
lengths=(3 8 23 23 23 23 23)
files=(random text)
declare -A sources=([random]="$work/random.bin" [text]="$work/text.txt")

now() { date +%s%N; }
declare -A seconds  # "row file direction run" -> seconds
declare -A limits   # "row file direction run" -> seconds of reading the input and writing the output

# Reads a file once and writes SIZE zero bytes into a new file once; prints the seconds.
limit_of() {
  local input=$1 size=$2 into=$3 t0 t1
  rm -f "$into"
  t0=$(now)
  cat "$input" >/dev/null
  dd if=/dev/zero of="$into" bs=1M iflag=count_bytes count="$size" status=none
  t1=$(now)
  rm -f "$into"
  awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.6f", (b - a) / 1e9 }'
}

kiv_kernel_line "$kiv"
echo "Load average: $(cut -d' ' -f1-3 /proc/loadavg)"
for run in $(seq 1 "$runs"); do
  for f in "${files[@]}"; do
    for row in "${!tools[@]}"; do
      tool=${tools[$row]}
      dir="$work/t$row"
      rm -rf "$dir" && mkdir -p "$dir/out"
      src=${sources[$f]}
      t0=$(now); "${tool}_enc" "$src" "$dir" "${lengths[$row]}"; t1=$(now)
      "${tool}_dec" "$src" "$dir" "${lengths[$row]}"; t2=$(now)
      seconds["$row $f enc $run"]=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.6f", (b - a) / 1e9 }')
      seconds["$row $f dec $run"]=$(awk -v a="$t1" -v b="$t2" 'BEGIN { printf "%.6f", (b - a) / 1e9 }')
      if [ "$run" -eq 1 ]; then
        out=$("${tool}_out" "$src" "$dir")
        if ! cmp -s "$src" "$out"; then
          echo "ROUND TRIP FAILED: ${labels[$row]} on the $f file" >&2
          exit 1
        fi
      fi
      if [ "$tool" = kiv ]; then
        limits["$row $f enc $run"]=$(limit_of "$src" "$(stat -c %s "$dir/box.vrq")" "$dir/limit")
        limits["$row $f dec $run"]=$(limit_of "$dir/box.vrq" "$(stat -c %s "$src")" "$dir/limit")
      fi
      rm -rf "$dir"
    done
  done
done
echo "Load average: $(cut -d' ' -f1-3 /proc/loadavg)"

# MB/s of source bytes (10^6 bytes per MB) from the median of the runs.
rate() {
  local row=$1 f=$2 dir=$3 run values=()
  for run in $(seq 1 "$runs"); do values+=("${seconds["$row $f $dir $run"]}"); done
  kiv_median_rate "$size" "${values[@]}"
}

echo
echo "MB/s, median of $runs runs, $((size >> 20)) MiB files in $(dirname "$work") (source bytes / wall time)"
printf '%-28s %12s %12s %12s %12s\n' "tool" "random enc" "random dec" "text enc" "text dec"
declare -A mbs
for row in "${!tools[@]}"; do
  line=$(printf '%-28s' "${labels[$row]}")
  for f in "${files[@]}"; do
    for dir in enc dec; do
      mbs["$row $f $dir"]=$(rate "$row" "$f" "$dir")
      line+=$(printf ' %12s' "${mbs["$row $f $dir"]}")
    done
  done
  echo "$line"
done

# The rate a kiv-cli row is held against, for a file and a direction.
fastest_peer() {
  local best=0 peer
  for peer in 3 4 5; do
    [ "${mbs["$peer $1 $2"]}" -gt "$best" ] && best=${mbs["$peer $1 $2"]}
  done
  echo "$best"
}
cp_rate() { echo "${mbs["6 $1 $2"]}"; }

# A table of kiv-cli's rows over a reference: TITLE REFERENCE_FUNCTION.
ratio_table() {
  local row f dir line
  echo
  echo "$1"
  printf '%-28s %12s %12s %12s %12s\n' "" "random enc" "random dec" "text enc" "text dec"
  for row in 0 1 2; do
    line=$(printf '%-28s' "${labels[$row]}")
    for f in "${files[@]}"; do
      for dir in enc dec; do
        line+=$(awk -v a="${mbs["$row $f $dir"]}" -v b="$("$2" "$f" "$dir")" \
          'BEGIN { printf " %12.2f", a / b }')
      done
    done
    echo "$line"
  done
}

ratio_table "kiv-cli / fastest peer (1.00 = as fast; the peers are 7z, openssl and gpg)" fastest_peer
ratio_table "kiv-cli / cp of the same file" cp_rate

echo
echo "kiv-cli against the limit: reading the input once and writing the output once, its time /"
echo "kiv-cli's, median of per-run ratios (1.00 = as fast as the storage allows)"
printf '%-28s %12s %12s %12s %12s\n' "" "random enc" "random dec" "text enc" "text dec"
for row in 0 1 2; do
  line=$(printf '%-28s' "${labels[$row]}")
  for f in "${files[@]}"; do
    for dir in enc dec; do
      values=()
      for run in $(seq 1 "$runs"); do
        values+=("$(awk -v l="${limits["$row $f $dir $run"]}" -v k="${seconds["$row $f $dir $run"]}" \
          'BEGIN { printf "%.4f", l / k }')")
      done
      line+=$(printf ' %12.2f' "$(printf '%s\n' "${values[@]}" | sort -g |
        awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }')")
    done
  done
  echo "$line"
done
