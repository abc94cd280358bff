#!/usr/bin/env bash
# Builds the fuzz targets for libFuzzer with clang into build-fuzz/ and runs each one for
# SECONDS (default 60), starting from its seed corpus and its past crashes. Fails when any
# target finds a crash, a leak or an input that runs longer than 10 s; the input is kept in
# build-fuzz/artifacts/<target>/ (copy it into fuzz/crashes/<target>/ once the fault is mended,
# so that the replay test keeps it fixed). TARGET... limits the run to those targets.
#   fuzz/run.sh [--seconds SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=60
if [ "${1:-}" = --seconds ]; then
  seconds=$2
  shift 2
fi
source scripts/ensure-packages.sh
kiv_ensure_fuzz_packages

# Line tables only (-g1): a crash's stack still names files and lines, for less build time.
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DKIV_FUZZ=ON -DKIV_BUILD_BENCH=OFF \
  -DKIV_WERROR=ON
cmake --build build-fuzz --parallel --target kiv_fuzz

targets=("$@")
if [ "${#targets[@]}" -eq 0 ]; then
  mapfile -t targets < <(cd fuzz/corpus && ls)
fi

# One target per processor at a time; each writes its own log.
run_target() {
  local target=$1 work=build-fuzz/work/$1
  rm -rf "$work" "build-fuzz/artifacts/$target"
  mkdir -p "$work" "build-fuzz/artifacts/$target"
  # fuzz/options/<target> holds a target's own libFuzzer flags, one a line, "#" for comments.
  local options=()
  if [ -f "fuzz/options/$target" ]; then
    mapfile -t options < <(grep -v '^#' "fuzz/options/$target" | grep .)
  fi
  if "build-fuzz/fuzz/fuzz_$target" -max_total_time="$seconds" \
      -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 "${options[@]}" \
      -artifact_prefix="build-fuzz/artifacts/$target/" \
      "$work" "fuzz/corpus/$target" "fuzz/crashes/$target" >"build-fuzz/$target.log" 2>&1; then
    echo "$target: $(grep -E '^#[0-9]+[[:space:]]+DONE' "build-fuzz/$target.log" | tail -1)"
  else
    echo "$target: FAILED, see build-fuzz/$target.log and build-fuzz/artifacts/$target/"
    grep -E 'ERROR|SUMMARY|fuzz check failed|Test unit written' "build-fuzz/$target.log" | head -20
    return 1
  fi
}
export -f run_target
export seconds
# The targets' own scratch files (in memory where possible), which libFuzzer's ending leaves
# behind.
scratch_base=/dev/shm
[ -w "$scratch_base" ] || scratch_base=${TMPDIR:-/tmp}
KIV_FUZZ_SCRATCH=$(mktemp -d "$scratch_base/kiv-fuzz-run-XXXXXX")
export KIV_FUZZ_SCRATCH
trap 'rm -rf "$KIV_FUZZ_SCRATCH"' EXIT
status=0
printf '%s\n' "${targets[@]}" | xargs -P "$(nproc)" -I{} bash -c 'run_target {}' || status=1
if [ "$status" -ne 0 ]; then
  echo "fuzzing found faults"
  exit 1
fi
echo "fuzzing found nothing in ${#targets[@]} targets x ${seconds} s"
