#!/bin/sh
# Usage: starts_without_display.sh KIV VERSION
# --version and --help answer on standard output without a display; any other start without a
# display says so in one line on standard error and ends with status 1 instead of aborting.
d=$(mktemp -d) || exit 1
trap 'rm -rf "$d"' EXIT
failures=0
fail() {
    echo "starts_without_display: $*" >&2
    failures=$((failures + 1))
}
run() {  # what to set, then the arguments
    settings=$1
    shift
    # shellcheck disable=SC2086
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM $settings HOME="$d" \
        XDG_CONFIG_HOME="$d/config" XDG_RUNTIME_DIR="$d" timeout 20 "$kiv" "$@" \
        >"$d/out" 2>"$d/err"
}
kiv=$1

run "" --version
status=$?
[ "$status" -eq 0 ] || fail "--version ended with $status"
[ "$(cat "$d/out")" = "kiv $2" ] || fail "--version printed '$(cat "$d/out")'"
[ ! -s "$d/err" ] || fail "--version wrote to standard error: $(cat "$d/err")"

run "" --help
status=$?
[ "$status" -eq 0 ] || fail "--help ended with $status"
head -n 1 "$d/out" | grep -q '^Usage: kiv ' || fail "--help printed '$(head -n 1 "$d/out")'"

for settings in "" "DISPLAY=:7999" "QT_QPA_PLATFORM=xcb"; do
    for argument in "" "-- --version"; do
        # shellcheck disable=SC2086
        run "$settings" $argument
        status=$?
        [ "$status" -eq 1 ] || fail "'$settings kiv $argument' ended with $status"
        [ "$(wc -l <"$d/err")" -eq 1 ] && grep -q '^kiv: no display' "$d/err" ||
            fail "'$settings kiv $argument' wrote: $(cat "$d/err")"
        [ ! -s "$d/out" ] || fail "'$settings kiv $argument' wrote to standard output"
    done
done
[ "$failures" -eq 0 ]
