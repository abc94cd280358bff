#!/bin/sh
# Usage: stops_on_signals.sh KIV
# SIGTERM, SIGINT and SIGHUP each close the window the ordinary way: the settings are saved
# before kiv ends with exit code 0 (the key, stored out of order, comes back in name order, with
# the password of an unchecked "Remember me" forgotten); where they cannot be written (below a
# plain file, which holds for root too), kiv says so on standard error instead of in a box that
# would wait for a click. Any other signal ends kiv as it ends any program (128 + N), and nothing
# is saved. The rows start side by side, each in a folder of its own.
. "$(dirname "$0")/stop_when_ready.sh"
d=$(mktemp -d) || exit 1
pids=
trap 'kill -KILL $pids 2>/dev/null; rm -rf "$d"' EXIT
rows='TERM plain/config 0 saying
TERM config 0 saved
INT config 0 saved
HUP config 0 saved
QUIT config 131 stored
USR1 config 138 stored'
printf '[SOFTWARE]\nPulm\\Kiv\\sifre=kept\nPulm\\Kiv\\radyono=2\nPulm\\Kiv\\hatirla=-1
Pulm\\Kiv\\Top=40\nPulm\\Kiv\\Left=0\n' >"$d/stored"
printf '[SOFTWARE]\nPulm\\Kiv\\Left=0\nPulm\\Kiv\\Top=40\nPulm\\Kiv\\hatirla=-1
Pulm\\Kiv\\radyono=2\nPulm\\Kiv\\sifre=its rain\n' >"$d/saved"

n=0
while read -r signal config status settings; do
    n=$((n + 1))
    mkdir -p "$d/$n/config/Pulm" && mkdir -m 700 "$d/$n/run" && : >"$d/$n/plain" || exit 1
    cp "$d/stored" "$d/$n/config/Pulm/Kiv.ini"
    # Not with SIGINT and SIGQUIT ignored, as a shell starts a program in the background.
    XDG_CONFIG_HOME=$d/$n/$config XDG_CONFIG_DIRS=$d/$n/plain XDG_RUNTIME_DIR=$d/$n/run \
        HOME=$d/$n QT_QPA_PLATFORM=offscreen env --default-signal "$1" 2>"$d/$n/stderr" &
    pids="$pids $!"
done <<EOF
$rows
EOF

failed=0
n=0
while read -r signal config status settings; do
    n=$((n + 1))
    stop_when_ready "$(echo $pids | cut -d' ' -f$n)" "$d/$n/run" "$signal"
    ended=$?
    case $settings in
    saying) grep -qx "kiv: Can't Create Key" "$d/$n/stderr" ;;
    *) cmp -s "$d/$settings" "$d/$n/config/Pulm/Kiv.ini" ;;
    esac
    if [ $? -ne 0 ] || [ "$ended" -ne "$status" ]; then
        echo "SIG$signal with $config: status $ended (not $status), settings not $settings:" >&2
        cat "$d/$n/config/Pulm/Kiv.ini" "$d/$n/stderr" >&2
        failed=1
    fi
done <<EOF
$rows
EOF
exit $failed
