#!/usr/bin/env bash
# Usage: AppCommandLineTest.sh PX520
# The window program answers its command line in a terminal without a
# display: help and version, and a wrong option refused with the usage.
set -uo pipefail
px520=$1
failures=0
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT

run() {
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$px520" "$@" >"$out" 2>"$err"
    rc=$?
}
check() { # WHAT RC FILE TEXT
    if [ "$rc" -ne "$2" ] || ! grep -qF -- "$4" "$3"; then
        echo "FAIL: $1: exit $rc, expected $2 and '$4'"
        cat "$out" "$err"
        failures=$((failures + 1))
    fi
}

for help in --help -h --help-all; do
    run "$help"
    check "$help" 0 "$out" "--port <PATH>"
done
run -v
check "-v" 0 "$out" "PX520 "
run --bogus
check "unknown option" 2 "$err" "px520: Unknown option 'bogus'."
grep -qF "Usage:" "$err" || { echo "FAIL: no usage after an unknown option"; failures=$((failures + 1)); }
run a.tbl b.tbl
check "two files" 2 "$err" "px520: one table file at most"
exit $((failures > 0))
