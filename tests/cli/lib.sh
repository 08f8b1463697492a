# Helpers for the command-line tests: run a command, keep its output and
# exit code, and compare.
set -u

failures=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

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
expect_same() { cmp -s "$1" "$2" || fail "$1 differs from $2"; }

finish() {
    [ "$failures" -eq 0 ] && echo "all passed" && exit 0
    echo "$failures failure(s)" >&2
    exit 1
}
