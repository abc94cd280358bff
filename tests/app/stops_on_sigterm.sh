#!/bin/sh
# Usage: stops_on_sigterm.sh KIV
# Starts KIV with a settings folder that cannot be written (it lies below a plain file, which
# holds for root too), sends SIGTERM after 3 seconds and expects exit code 0 within 10 more
# seconds, with the settings message on standard error.
kiv=$1
d=$(mktemp -d) || exit 1
trap 'rm -rf "$d"' EXIT
: >"$d/plain"
XDG_CONFIG_HOME="$d/plain/config" XDG_CONFIG_DIRS="$d/plain/xdg" XDG_RUNTIME_DIR="$d" HOME="$d" \
    QT_QPA_PLATFORM=offscreen timeout --preserve-status -k 10 -s TERM 3 "$kiv" 2>"$d/stderr"
status=$?
cat "$d/stderr" >&2
if [ "$status" -ne 0 ]; then
    echo "kiv ended with status $status" >&2
    exit 1
fi
grep -qx "kiv: Can't Create Key" "$d/stderr" || { echo "no settings message on stderr" >&2; exit 1; }
