#!/usr/bin/env bash
# A tar stream larger than one stored file holds, through kiv-cli both ways: to an encrypted file
# (-o FILE, held one part at a time) and to a pipe (-o -, held whole), then back with
# decrypt-file --stdout, compared with cmp. Prints each run's peak memory and the largest the
# held copy of standard input grew. Usage: bench/big-stream.sh [KIV_CLI] [GIB] [FOLDER]
set -euo pipefail
cli=${1:-build/src/cli/kiv-cli}
gib=${2:-5}
work=${3:-/work/big-stream}
mkdir -p "$work/data" "$work/spool"
trap 'rm -rf "$work"' EXIT
cd "$work"
printf 'big stream pass\n' >pw
# A big random file beside a sparse one: tar reads both as a plain stream.
head -c "${gib}G" /dev/urandom >data/random.bin
truncate -s 300M data/sparse.bin
stream() { tar -cf - -C data .; }
export TMPDIR=$work/spool

# Runs "$@" under /usr/bin/time -v, sampling the size of its held standard input every 0.2 s.
measured() {
  local label=$1
  shift
  /usr/bin/time -v -o "time.$label" "$@" &
  local pid=$! largest=0 size
  while kill -0 "$pid" 2>/dev/null; do
    for fd in /proc/[0-9]*/fd/*; do
      case $(readlink "$fd" 2>/dev/null) in
        "$TMPDIR"/*) size=$(stat -L -c %s "$fd" 2>/dev/null || echo 0)
                     ((size > largest)) && largest=$size ;;
      esac
    done 2>/dev/null
    sleep 0.2
  done
  wait "$pid"
  printf '%-28s peak memory %7d KiB, held input at most %12d bytes, %s\n' "$label" \
    "$(awk '/Maximum resident/ {print $6}' "time.$label")" "$largest" \
    "$(awk -F': ' '/Elapsed/ {print $2}' "time.$label")"
}

echo "stream: $(stream | wc -c) bytes"
measured "encrypt -o FILE -" bash -c "tar -cf - -C data . | '$cli' encrypt-files --password-file pw --name big.tar -o file.vrq -"
"$cli" list file.vrq
measured "decrypt --stdout | cmp" bash -c "'$cli' decrypt-file --password-file pw --stdout file.vrq | cmp - <(tar -cf - -C data .) && echo equal"
rm -f file.vrq
measured "encrypt -o - - | cat" bash -c "tar -cf - -C data . | '$cli' encrypt-files --password-file pw --name big.tar -o - - | cat >pipe.vrq"
measured "decrypt --stdout - | cmp" bash -c "'$cli' decrypt-file --password-file pw --stdout - <pipe.vrq | cmp - <(tar -cf - -C data .) && echo equal"
