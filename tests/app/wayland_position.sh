#!/bin/sh
# Usage: wayland_position.sh KIV QT_PLUGIN_FOLDER
# The window starts under a Wayland compositor (weston's headless backend) and closes with status
# 0; closing there saves the settings but leaves the stored position alone, since a Wayland
# client cannot know where its window stands. Skipped (status 77) where weston or Qt's Wayland
# platform plugin is not installed.
. "$(dirname "$0")/stop_when_ready.sh"
kiv=$1
if ! command -v weston >/dev/null || ! ls "$2"/platforms/libqwayland-*.so >/dev/null 2>&1; then
    echo "weston or Qt's Wayland plugin is not installed: skipped"
    exit 77
fi
d=$(mktemp -d) || exit 1
mkdir -p "$d/config" "$d/runtime"
chmod 700 "$d/runtime"
export HOME="$d" XDG_CONFIG_HOME="$d/config" XDG_CONFIG_DIRS="$d" XDG_RUNTIME_DIR="$d/runtime"
unset DISPLAY
weston --backend=headless-backend.so --socket=wayland-kiv --idle-time=0 >"$d/weston.log" 2>&1 &
weston=$!
trap 'kill "$weston" 2>/dev/null; wait "$weston"; rm -rf "$d"' EXIT
waited=0
while [ ! -S "$d/runtime/wayland-kiv" ] && [ "$waited" -lt 300 ]; do
    sleep 0.1
    waited=$((waited + 1))
done
[ -S "$d/runtime/wayland-kiv" ] || { cat "$d/weston.log" >&2; echo "weston did not start" >&2; exit 1; }

start() {
    QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=wayland-kiv "$kiv" 2>>"$d/kiv.err" &
    stop_when_ready $! "$d/runtime"
}
# The first start creates the settings; then a position as an X11 session would have stored it.
start || { cat "$d/kiv.err" >&2; echo "kiv failed on its first start" >&2; exit 1; }
ini="$d/config/Pulm/Kiv.ini"
key='Pulm\\Kiv\\'
sed -i "s/^$key\(Top\)=.*/$key\1=40/; s/^$key\(Left\)=.*/$key\1=30/; s/^$key\(hatirla\)=.*/$key\1=0/" \
    "$ini"
start || { cat "$d/kiv.err" >&2; echo "kiv under Wayland ended with $?" >&2; exit 1; }
# hatirla=0 leaves Remember me off, and closing stores that as -1: the settings were saved.
for line in Top=40 Left=30 hatirla=-1; do
    grep -qxF "Pulm\\Kiv\\$line" "$ini" ||
        { cat "$ini" >&2; echo "after closing, $line is missing" >&2; exit 1; }
done
