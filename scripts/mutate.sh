#!/bin/sh
# Applies small faults to the sources one at a time, in a scratch clone of the committed tree,
# rebuilds, runs the tests and reports every fault that no test caught (a survivor). A tool for
# developers, not part of .ci/run: a whole list takes tens of minutes.
#
#   scripts/mutate.sh [--list FILE] [--match REGEX] [--all-tests] [--confirm] [--scratch DIR]
#                     [--prepare]
#
#   --list FILE    the faults, one a line: path<TAB>text<TAB>replacement (default
#                  tests/mutants.tsv). The text must occur exactly once in its file; "\n", "\t"
#                  and "\\" in a field stand for a line break, a tab and a backslash.
#   --match REGEX  only the faults whose line matches REGEX (grep -E)
#   --all-tests    run the whole ctest suite for every fault, not only its folder's tests
#   --confirm      run the whole ctest suite once more for each survivor of its folder's tests
#   --scratch DIR  where the clone and its build live (default: beside the repository, so that
#                  a ccache base folder above both serves both); kept for the next run
#   --prepare      only bring the clone up to date and build it
#
# A fault is caught when the build of its tests or a test fails or hangs (10 minutes). The
# tests of a folder are the test programs of that folder and of the folders built on it
# (TESTS_FOR); they run in one process each, stopping at the first failure. Run it niced on a
# shared machine: nice -n 19 scripts/mutate.sh.
set -eu

root=$(git rev-parse --show-toplevel)
list=$root/tests/mutants.tsv
match=
allTests=0
confirm=0
prepare=0
scratch=$(dirname "$root")/$(basename "$root")-mutants
while [ $# -gt 0 ]; do
    case $1 in
    --list) list=$(realpath "$2"); shift ;;
    --match) match=$2; shift ;;
    --all-tests) allTests=1 ;;
    --confirm) confirm=1 ;;
    --scratch) scratch=$2; shift ;;
    --prepare) prepare=1 ;;
    *) echo "usage: $0 [--list FILE] [--match REGEX] [--all-tests] [--confirm] [--scratch DIR] [--prepare]" >&2
       exit 2 ;;
    esac
    shift
done

# The test programs that can see a fault in each source folder.
TESTS_FOR() {
    case $1 in
    numeric) echo numeric/numeric_tests residue/residue_tests cipher/cipher_tests filecrypt/filecrypt_tests ;;
    residue) echo residue/residue_tests cipher/cipher_tests filecrypt/filecrypt_tests ;;
    cipher) echo cipher/cipher_tests filecrypt/filecrypt_tests ;;
    filecrypt) echo filecrypt/filecrypt_tests filecrypt/filecrypt_output_tests cli/cli_tests ;;
    cli) echo cli/cli_tests ;;
    runtime) echo runtime/runtime_qt_tests runtime/dde_tests ;;
    app) echo app/core/appcore_tests app/window/app_tests ;;
    *) return 1 ;;
    esac
}

# The clone: the committed tree of this repository, never its uncommitted changes.
commit=$(git -C "$root" rev-parse HEAD)
if [ ! -d "$scratch/.git" ]; then
    git clone --quiet --no-checkout "$root" "$scratch"
fi
git -C "$scratch" fetch --quiet "$root" "$commit"
git -C "$scratch" checkout --quiet --force --detach "$commit"
git -C "$scratch" clean --quiet -fdx -e build
build=$scratch/build
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$scratch" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKIV_WERROR=ON \
        -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache >/dev/null
fi
log=$scratch/mutate.log
echo "building $commit in $scratch" >&2
cmake --build "$build" --parallel 2 >"$log" 2>&1 || { cat "$log" >&2; exit 1; }
[ $prepare -eq 1 ] && exit 0

export QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0:abort_on_error=1

# Runs the tests for a fault in folder; 0 when all pass.
run_tests() {
    if [ $allTests -eq 1 ]; then
        timeout -k 10 1800 ctest --test-dir "$build" --parallel 2 >"$log" 2>&1 </dev/null
        return
    fi
    for program in $(TESTS_FOR "$1"); do
        timeout -k 10 600 "$build/tests/$program" --gtest_fail_fast --gtest_brief=1 >"$log" 2>&1 </dev/null ||
            return 1
    done
}

build_tests() {
    if [ $allTests -eq 1 ]; then
        cmake --build "$build" --parallel 2 >"$log" 2>&1
        return
    fi
    targets=
    for program in $(TESTS_FOR "$1"); do targets="$targets ${program##*/}"; done
    # shellcheck disable=SC2086 # one word per target
    cmake --build "$build" --parallel 2 --target $targets >"$log" 2>&1
}

# Puts replacement in place of text in file; fails unless text occurs exactly once.
apply() {
    python3 - "$1" "$2" "$3" <<'EOF'
import sys
def field(s):
    return s.replace("\\\\", "\0").replace("\\n", "\n").replace("\\t", "\t").replace("\0", "\\")
path, text, replacement = sys.argv[1], field(sys.argv[2]), field(sys.argv[3])
source = open(path, encoding="utf-8").read()
if source.count(text) != 1:
    sys.exit(1)
open(path, "w", encoding="utf-8").write(source.replace(text, replacement))
EOF
}

# Every folder's tests pass on the clean tree: otherwise every fault would look caught.
folders=$(grep -v '^#' "$list" | grep -E "${match:-.}" | cut -f1 | cut -d/ -f2 | sort -u)
for folder in $folders; do
    TESTS_FOR "$folder" >/dev/null || { echo "no tests known for src/$folder" >&2; exit 1; }
    if ! build_tests "$folder" || ! run_tests "$folder"; then
        echo "the tests of src/$folder fail without any fault:" >&2
        tail -30 "$log" >&2
        exit 1
    fi
done

tab=$(printf '\t')
caught=0 survived=0 skipped=0 number=0
survivors=
while IFS=$tab read -r path text replacement; do
    case $path in '' | '#'*) continue ;; esac
    if [ -n "$match" ] && ! printf '%s\t%s\t%s\n' "$path" "$text" "$replacement" |
        grep -Eq -- "$match"; then
        continue
    fi
    number=$((number + 1))
    folder=$(echo "$path" | cut -d/ -f2)
    what="$path: $text -> $replacement"
    if ! apply "$scratch/$path" "$text" "$replacement"; then
        echo "not found   $what"
        skipped=$((skipped + 1))
        continue
    fi
    start=$(date +%s)
    if ! build_tests "$folder"; then
        # A fault the compiler refuses says nothing about the tests.
        verdict="no build   "
        skipped=$((skipped + 1))
    elif ! run_tests "$folder"; then
        verdict="caught     "
        caught=$((caught + 1))
    elif [ $confirm -eq 1 ] && [ $allTests -eq 0 ] && ! { cmake --build "$build" --parallel 2 \
        >"$log" 2>&1 && timeout -k 10 1800 ctest --test-dir "$build" --parallel 2 >"$log" 2>&1; }; then
        verdict="caught (suite)"
        caught=$((caught + 1))
    else
        verdict="SURVIVED   "
        survived=$((survived + 1))
        survivors="$survivors
  $what"
    fi
    echo "$verdict $what ($(($(date +%s) - start)) s)"
    git -C "$scratch" checkout --quiet -- "$path"
done <"$list"

# The clone goes back to the tree as committed, built, for the next run.
cmake --build "$build" --parallel 2 >"$log" 2>&1 || true
tried=$((caught + survived))
echo
echo "$caught of $tried faults caught ($((tried > 0 ? 100 * caught / tried : 0)) %), $skipped not tried"
[ -z "$survivors" ] || echo "survivors:$survivors"
