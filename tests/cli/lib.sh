# Helpers for the command-line tests: run a command, keep its output and
# exit code, and compare.
set -u

failures=0
work=$(mktemp -d)
sim_pid=
cleanup() {
    [ -n "$sim_pid" ] && kill -TERM "$sim_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# run CMD...: sets $rc, and the files $work/out and $work/err.
run() {
    "$@" >"$work/out" 2>"$work/err" </dev/null
    rc=$?
}

fail() {
    echo "FAIL: $*" >&2
    echo "--- stdout" >&2; cat "$work/out" >&2
    echo "--- stderr" >&2; cat "$work/err" >&2
    failures=$((failures + 1))
}

expect_rc() { [ "$rc" -eq "$1" ] || fail "${2:-}: exit $rc, expected $1"; }
expect_out() { grep -qF -- "$1" "$work/out" || fail "stdout lacks: $1"; }
expect_err() { grep -qF -- "$1" "$work/err" || fail "stderr lacks: $1"; }
# Every line on stderr is a message of the program, after its name.
expect_err_prefixed() {
    ! grep -qv '^px520-cli: ' "$work/err" || fail "${1:-}: stderr has a line without 'px520-cli: '"
}
expect_same() { cmp -s "$1" "$2" || fail "$1 differs from $2"; }

finish() {
    [ "$failures" -eq 0 ] && echo "all passed" && exit 0
    echo "$failures failure(s)" >&2
    exit 1
}

# start_sim ARGS...: px520-sim on a pseudo-terminal reached through the link
# $work/board; sets $sim_pid. Waits until the board is there.
start_sim() {
    rm -f "$work/board"
    "$sim" --link "$work/board" "$@" >"$work/sim.out" 2>&1 &
    sim_pid=$!
    for _ in $(seq 100); do
        [ -L "$work/board" ] && return 0
        sleep 0.05
    done
    echo "px520-sim did not start" >&2
    cat "$work/sim.out" >&2
    exit 1
}

# stop_sim: SIGTERM, which makes it save its memory when asked to.
stop_sim() {
    kill -TERM "$sim_pid"
    wait "$sim_pid"
    # Gone: the clean-up at exit must not signal a process that reuses its id.
    sim_pid=
}
