# Sourced by the tests that start the real program. stop_when_ready PID RUNTIME_DIR [SIGNAL]:
# waits until the program's command service listens in RUNTIME_DIR (its signal handling is set up
# right after), gives the window a second more, then sends SIGNAL (TERM unless given) and returns
# the program's status.
# A fixed delay instead would kill a start-up that a busy machine has slowed down.
stop_when_ready() {
    waited=0
    while [ ! -S "$2/kiv" ] && [ "$waited" -lt 600 ] && kill -0 "$1" 2>/dev/null; do
        sleep 0.1
        waited=$((waited + 1))
    done
    sleep 1
    kill -"${3:-TERM}" "$1" 2>/dev/null
    wait "$1"
}
