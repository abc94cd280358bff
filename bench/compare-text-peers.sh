#!/usr/bin/env bash
# Times kiv-cli's text commands against the tools people would otherwise use for text, on the
# same machine in one run: openssl enc -a (AES-256-CTR, PBKDF2, base64) and gpg --armor -c -z0.
# Two generated documents of 40 MB (or --size MB) in memory-backed storage, one of short lines
# (about 60 bytes) and one of long lines (4 kB); kiv-cli with passwords of 3, 8 and 17 bytes,
# openssl with 3 and 17 bytes, gpg with 17; three runs (or --runs N) of every measurement,
# interleaved, and their median; every output is restored and compared with its source. Rates are
# MB of plain text (10^6 bytes) per second of wall time and per second of processor time
# (user + system), whole processes. Then kiv-cli against openssl with the same password, as the
# median of the rounds' ratios (openssl's time over kiv-cli's: above 1, kiv-cli is faster).
# Finally the peak memory of kiv-cli decrypt-text on 200 MB of short lines. A manual benchmark,
# not a test: run it on a quiet machine, from a build with the benchmarks' settings.
# The report names the kernels kiv-cli codes with on this processor (the kernel_report
# program of the same build); --instruction-set avx2 (or portable) runs kiv-cli as on a
# processor without the sets above it (KIV_INSTRUCTION_SET, see README's Speed section).
#
#   bench/compare-text-peers.sh [--size MB] [--runs N] [--instruction-set SET] [path/to/kiv-cli]
#                                                           (default: build/src/cli/kiv-cli)
set -euo pipefail

cd "$(dirname "$0")/.."
mb=40
runs=3
while [ $# -gt 0 ]; do
  case $1 in
    --size) mb=${2:?--size needs a number of MB}; shift 2 ;;
    --runs) runs=${2:?--runs needs a number}; shift 2 ;;
    --instruction-set) export KIV_INSTRUCTION_SET=${2:?--instruction-set needs a set}; shift 2 ;;
    *) break ;;
  esac
done
kiv=$(realpath "${1:-build/src/cli/kiv-cli}")
if [ ! -x "$kiv" ]; then
  echo "kiv-cli not found at $kiv: build first (cmake -S . -B build -G Ninja && cmake --build build)" >&2
  exit 2
fi
[ -x /usr/bin/time ] || { echo "/usr/bin/time is missing (package time)" >&2; exit 2; }
command -v gpg >/dev/null || { echo "gpg is missing (package gnupg)" >&2; exit 2; }
command -v openssl >/dev/null || { echo "openssl is missing" >&2; exit 2; }

source bench/peer-workspace.sh
kiv_peer_workspace kiv-text-peers

size=$((mb * 1000000))
echo "Preparing two documents of $((size / 1000000)) MB in $work ..."
# Words from a small vocabulary; every line ends with a full stop, so that the spaces kiv adds
# to a line's last block can be told from the text.
words() {
  awk -v size="$size" -v long="$1" 'BEGIN {
    srand(7); n = split("the of and to in is was that for on with as by at from this be or an " \
      "are password file block residue prime number window report encrypted restore clipboard " \
      "editor settings machine memory benchmark thread chunk modulus digit carry table", w, " ");
    total = 0;
    while (total < size) {
      line = "";
      if (long) { while (length(line) < 4095) line = line (line == "" ? "" : " ") w[1 + int(rand() * n)];
                  line = substr(line, 1, 4095) "." }
      else { k = 6 + int(rand() * 10);
             for (i = 0; i < k; ++i) line = line (i ? " " : "") w[1 + int(rand() * n)];
             line = line "." }
      print line; total += length(line) + 1;
    }
  }'
}
words 0 >"$work/short.txt"
words 1 >"$work/long.txt"

pw3="k3y"
pw8="pass-8by"
pw17="benchmark-pass-17"
for pw in "$pw3" "$pw8" "$pw17"; do printf '%s\n' "$pw" >"$work/pw${#pw}"; done

# The commands, as functions of: source, work folder, password length. Each writes its cipher
# text to $2/box and its restored text to $2/back.
kiv_enc() { "$kiv" encrypt-text --password-file "$work/pw$3" <"$1" >"$2/box"; }
kiv_dec() { "$kiv" decrypt-text --password-file "$work/pw$3" <"$2/box" >"$2/back"; }
openssl_enc() { openssl enc -aes-256-ctr -pbkdf2 -a -pass "file:$work/pw$3" -in "$1" -out "$2/box"; }
openssl_dec() { openssl enc -d -aes-256-ctr -pbkdf2 -a -pass "file:$work/pw$3" -in "$2/box" -out "$2/back"; }
gpg_enc() {
  gpg --batch --yes --quiet --pinentry-mode loopback --passphrase-file "$work/pw17" --armor -c \
    -z0 -o "$2/box" "$1"
}
gpg_dec() {
  gpg --batch --yes --quiet --pinentry-mode loopback --passphrase-file "$work/pw17" \
    -o "$2/back" -d "$2/box" 2>/dev/null
}
# kiv fills a line's last block with spaces; the documents' lines end with a full stop.
restored() {
  if [ "$3" = kiv ]; then sed 's/ *$//' "$2/back" | cmp -s - "$1"; else cmp -s "$2/back" "$1"; fi
}

labels=("kiv-cli, 3-byte password" "kiv-cli, 8-byte password" "kiv-cli, 17-byte password"
        "openssl enc -a, 17-byte" "gpg --armor -c -z0" "openssl enc -a, 3-byte")
tools=(kiv kiv kiv openssl gpg openssl)
lengths=(3 8 17 17 17 3)
files=(short long)

declare -A wall cpu  # "row file direction run" -> seconds
timed() {  # key, command...: runs the command, records its wall and processor seconds
  local key=$1
  shift
  local TIMEFORMAT='%R %U %S'
  { time "$@" 2>"$work/stderr"; } 2>"$work/time"
  read -r w u s <"$work/time"
  wall[$key]=$w
  cpu[$key]=$(awk -v u="$u" -v s="$s" 'BEGIN { printf "%.2f", u + s }')
}

kiv_kernel_line "$kiv"
echo "Load average: $(cut -d' ' -f1-3 /proc/loadavg)"
for run in $(seq 1 "$runs"); do
  for f in "${files[@]}"; do
    for row in "${!tools[@]}"; do
      tool=${tools[$row]}
      dir="$work/t$row"
      rm -rf "$dir" && mkdir -p "$dir"
      src="$work/$f.txt"
      timed "$row $f enc $run" "${tool}_enc" "$src" "$dir" "${lengths[$row]}"
      timed "$row $f dec $run" "${tool}_dec" "$src" "$dir" "${lengths[$row]}"
      if ! restored "$src" "$dir" "$tool"; then
        echo "ROUND TRIP FAILED: ${labels[$row]} on the $f-line document" >&2
        exit 1
      fi
      rm -rf "$dir"
    done
  done
done
echo "Load average: $(cut -d' ' -f1-3 /proc/loadavg)"

# MB/s of plain text from the median of the runs; the timer's resolution is 10 ms.
rate() {
  local -n table=$1
  local row=$2 f=$3 dir=$4 run values=()
  for run in $(seq 1 "$runs"); do values+=("${table["$row $f $dir $run"]}"); done
  kiv_median_rate "$(stat -c %s "$work/$f.txt")" "${values[@]}"
}

declare -A mbs
for kind in wall cpu; do
  echo
  if [ "$kind" = wall ]; then
    echo "MB/s of plain text per second of wall time, median of $runs runs"
  else
    echo "MB/s of plain text per second of processor time (user + system), median of $runs runs"
  fi
  printf '%-30s %11s %11s %11s %11s\n' "tool" "short enc" "short dec" "long enc" "long dec"
  for row in "${!tools[@]}"; do
    line=$(printf '%-30s' "${labels[$row]}")
    for f in "${files[@]}"; do
      for dir in enc dec; do
        mbs["$kind $row $f $dir"]=$(rate "$kind" "$row" "$f" "$dir")
        line+=$(printf ' %11s' "${mbs["$kind $row $f $dir"]}")
      done
    done
    echo "$line"
  done
  for peer in 3 4 5; do
    echo "kiv-cli / ${labels[$peer]} ($kind)"
    for row in 0 1 2; do
      line=$(printf '%-30s' "${labels[$row]}")
      for f in "${files[@]}"; do
        for dir in enc dec; do
          line+=$(awk -v a="${mbs["$kind $row $f $dir"]}" -v b="${mbs["$kind $peer $f $dir"]}" \
            'BEGIN { printf " %11.2f", a / b }')
        done
      done
      echo "$line"
    done
  done
done

echo
echo "kiv-cli against openssl enc -a with the same password: median of the $runs rounds' ratios of"
echo "openssl's wall time to kiv-cli's (above 1: kiv-cli is faster)"
printf '%-30s %11s %11s %11s %11s\n' "password" "short enc" "short dec" "long enc" "long dec"
for pair in "0 5" "2 3"; do
  read -r row peer <<<"$pair"
  line=$(printf '%-30s' "${lengths[$row]} bytes")
  for f in "${files[@]}"; do
    for dir in enc dec; do
      ratios=()
      for run in $(seq 1 "$runs"); do
        ratios+=("$(awk -v a="${wall["$row $f $dir $run"]}" -v b="${wall["$peer $f $dir $run"]}" \
          'BEGIN { if (a < 0.01) a = 0.01; if (b < 0.01) b = 0.01; printf "%.4f", b / a }')")
      done
      line+=$(printf '%s\n' "${ratios[@]}" | sort -g |
        awk -v n="$runs" '{ v[NR] = $1 } END { printf " %11.2f", v[int((n + 1) / 2)] }')
    done
  done
  echo "$line"
done

echo
# The short-line document as many times as make 200 MB (or just over), whatever --size was.
copies=$(((200 + mb - 1) / mb))
echo "Peak memory of kiv-cli decrypt-text on $((copies * mb)) MB of short lines (8-byte password):"
# Encrypted on the fly and piped in, so that nothing of that size is stored.
for _ in $(seq 1 "$copies"); do cat "$work/short.txt"; done |
  "$kiv" encrypt-text --password-file "$work/pw8" |
  /usr/bin/time -f "%M" -o "$work/time" "$kiv" decrypt-text --password-file "$work/pw8" >/dev/null
echo "  maximum resident set size: $(awk '{ printf "%.1f MiB", $1 / 1024 }' "$work/time")"
