#!/bin/sh
# Usage: starts_and_stops.sh KIV
# The program starts and, told to stop, closes its window the ordinary way with exit code 0; its
# settings and socket go to a throwaway folder, never to the machine's own.
. "$(dirname "$0")/stop_when_ready.sh"
d=$(mktemp -d) || exit 1
trap 'rm -rf "$d"' EXIT
XDG_CONFIG_HOME=$d/config XDG_CONFIG_DIRS=$d XDG_RUNTIME_DIR=$d HOME=$d QT_QPA_PLATFORM=offscreen \
    "$1" &
stop_when_ready $! "$d"
