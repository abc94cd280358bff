# Sourced by the peer comparisons: a scratch folder in memory-backed storage where there is
# some, with a gpg home of its own, removed (and its gpg-agent stopped) when the script ends;
# and the rate they report.
#   kiv_peer_workspace NAME   sets $work to a fresh folder named after NAME
#   kiv_median_rate BYTES SECONDS...   MB/s (10^6 bytes) of BYTES in the median of the times;
#                                      times under the timer's 10 ms count as 10 ms
kiv_peer_workspace() {
  local base=/dev/shm
  [ -d "$base" ] && [ -w "$base" ] || base=${TMPDIR:-/tmp}
  work=$(mktemp -d "$base/$1-XXXXXX")
  export GNUPGHOME="$work/gnupg"
  mkdir -m 700 "$GNUPGHOME"
  trap 'gpgconf --kill gpg-agent >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
}

kiv_median_rate() {
  local bytes=$1
  shift
  printf '%s\n' "$@" | sort -g | awk -v n="$#" -v bytes="$bytes" \
    '{ v[NR] = $1 } END { t = v[int((n + 1) / 2)]; if (t < 0.01) t = 0.01; printf "%.0f", bytes / 1e6 / t }'
}

# The kernels kiv-cli codes with on this processor, from the kernel_report tool built beside it
# (build/bench/kernel_report for build/src/cli/kiv-cli).
#   kiv_kernel_line KIV_CLI_PATH
kiv_kernel_line() {
  local report
  report="$(dirname "$1")/../../bench/kernel_report"
  if [ -x "$report" ]; then
    echo "Kernels in use: $("$report" | paste -sd, - | sed 's/,/, /g')"
  else
    echo "Kernels in use: unknown (build the kernel_report target)"
  fi
}
