#!/bin/bash
# px520-cli.exe under Wine: read, write and verify against px520-sim through
# COM8, the port list and a missing port, run as a user would.
# usage: CliTransfersTest.sh PX520_CLI_EXE PX520_SIM FIXTURE_DIR
cli=$1
sim=$2
fixtures=$3
. "$(dirname "$0")/../cli/lib.sh"
. "$(dirname "$0")/wine-lib.sh"
# Relative names: the Windows command line takes "/name" for an option.
cd "$work" || exit 1

wine_cli() {
    run wine "$cli" "$@"
    strip_cr
}

start_sim --firmware 1.86 --save pager.tbl
link_com 8 "$work/board"

wine_cli read r.tbl --port COM8
expect_rc 0 "read"
expect_err "Read Success !"
# Written in binary: a byte 0A taken for a line end would grow the file.
[ "$(stat -c %s r.tbl)" -eq 256 ] || fail "r.tbl holds $(stat -c %s r.tbl) bytes"
wine_cli verify --as-written r.tbl --port COM8
expect_rc 7 "verify of a pager that was never written"

cp "$fixtures/default.tbl" w.tbl
wine_cli write w.tbl --port COM8
expect_rc 0 "write"
expect_err "Write Sucess !"
wine_cli verify --as-written w.tbl --port COM8
expect_rc 0 "verify --as-written"
expect_err "Verify Sucess !"
wine_cli verify w.tbl --port COM8
expect_rc 7 "verify of the unprepared file"
expect_err "Verify Error !"
expect_same w.tbl "$fixtures/default.tbl"

# Standard output carries a table byte for byte, as a file does.
wine "$cli" set w.tbl BS_Period=20 -o - >piped.tbl 2>/dev/null
wine "$cli" set w.tbl BS_Period=20 -o saved.tbl >/dev/null 2>&1
expect_same piped.tbl saved.tbl
od -An -tx1 saved.tbl | grep -qw 0a || fail "the table holds no byte 0A to test with"

# A read-only file is left as it is (the attribute binds every user on
# Windows), and a longer file keeps its tail, copied a buffer at a time.
cp "$fixtures/default.tbl" ro.tbl
chmod 0444 ro.tbl
wine_cli set ro.tbl BS_Period=20
expect_rc 3 "set on a read-only file"
expect_err "px520-cli: ro.tbl is read-only; nothing was saved."
expect_same ro.tbl "$fixtures/default.tbl"
{ cat "$fixtures/default.tbl"; head -c 200000 /dev/urandom; } >long.tbl
tail -c +257 long.tbl >tail-before
wine_cli set long.tbl BS_Period=20
expect_rc 0 "set on a long file"
tail -c +257 long.tbl >tail-after
expect_same tail-after tail-before

# A read of what was written is what the emulator keeps.
wine_cli read back.tbl --port COM8 --raw
expect_rc 0 "read --raw"
stop_sim
expect_same back.tbl pager.tbl

wine_cli read x.tbl --port COM199
expect_rc 5 "read from a missing port"
expect_err "COM199 does not exist or its adapter is unplugged."

# The prefix has no ports class devices: the list falls back to COM1-COM16.
wine_cli ports
expect_rc 0 "ports"
[ "$(awk '{print $1}' "$work/out" | tr '\n' ' ')" = "$(printf 'COM%d ' $(seq 16))" ] ||
    fail "ports is not COM1 to COM16"

finish
