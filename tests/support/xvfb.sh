# Sourced by the tests that run the program under their own X server: a private work
# folder, the started processes ended on exit, and waits on conditions.

# Our own display only, set once Xvfb runs.
unset DISPLAY
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

free_port() {
    python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# Waits until a command succeeds: wait_for <seconds> <command...>. Every wait is on a
# condition, with time-outs generous enough for a machine busy with other builds.
wait_for() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.2
    done
}
