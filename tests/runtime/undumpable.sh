#!/bin/sh
# Usage: undumpable.sh KIV KIV_CLI
# Both programs, run by an ordinary account, keep their memory from that account's other
# processes: the files in /proc/PID belong to root (no ptrace, gcore or reading of its memory)
# and no core is written. Needs root to switch to an ordinary account; skipped (77) otherwise.
[ "$(id -u)" = 0 ] || exit 77
account=65534
d=$(mktemp -d) || exit 1
chmod 755 "$d"
mkdir -m 700 "$d/run" && chown "$account" "$d/run" || exit 1
pids=""
trap 'kill -KILL $pids 2>/dev/null; rm -rf "$d"' EXIT
# Run in the background only: it becomes the program, so that $! is the program.
as_account() {
    exec setpriv --reuid="$account" --regid="$account" --clear-groups \
        env -i HOME="$d/run" XDG_RUNTIME_DIR="$d/run" XDG_CONFIG_HOME="$d/run" XDG_CONFIG_DIRS="$d" \
        QT_QPA_PLATFORM=offscreen "$@"
}
printf 'correct horse\n' >"$d/pw" && chmod 644 "$d/pw"
mkfifo -m 666 "$d/in"

as_account "$1" &
kiv=$!
as_account "$2" encrypt-text --password-file "$d/pw" <"$d/in" >/dev/null &
cli=$!
pids="$kiv $cli"
exec 3>"$d/in"  # kiv-cli waits for its input meanwhile

waited=0
while [ ! -S "$d/run/kiv" ] && [ "$waited" -lt 600 ]; do
    sleep 0.1
    waited=$((waited + 1))
done
status=0
for pid in $kiv $cli; do
    owner=$(stat -c %u "/proc/$pid/mem") || { echo "process $pid is gone"; status=1; continue; }
    if [ "$owner" != 0 ]; then
        echo "/proc/$pid/mem belongs to $owner, not root: the process is dumpable"
        status=1
    fi
    if ! grep -q '^Max core file size *0 *0' "/proc/$pid/limits"; then
        echo "process $pid may write a core:"; grep '^Max core' "/proc/$pid/limits"
        status=1
    fi
done
exit $status
