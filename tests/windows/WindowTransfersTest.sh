#!/bin/bash
# px520.exe under Wine on an X screen, driven through its window as a user
# would with the keyboard: the start-up search finds px520-sim behind COM9,
# F3 reads the pager, the arrow keys choose Write Mode, F4 writes it and F2
# verifies it. The emulator's memory afterwards must be what px520-cli.exe
# writes from the same pager, and a screenshot of the window is kept.
# usage: WindowTransfersTest.sh PX520_EXE PX520_CLI_EXE PX520_SIM SCREENSHOT_PNG
# (run inside xvfb-run)
exe=$1
cli=$2
sim=$3
shot=$4
. "$(dirname "$0")/../cli/lib.sh"
. "$(dirname "$0")/wine-lib.sh"
cd "$work" || exit 1

# A pager last written by an older release: the Write gives it this one's tag.
board=(--firmware 1.86 --model "PX520 V3.0")

# wait_for_window NAME: the id of the newest visible X window of that exact
# name, once there is one (up to 60 s: Wine starts a cold prefix slowly).
wait_for_window() {
    local ids
    for _ in $(seq 600); do
        ids=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null)
        [ -n "$ids" ] && { tail -n 1 <<<"$ids"; return 0; }
        sleep 0.1
    done
    return 1
}

# gone WINDOW: true once the window is closed (up to 60 s).
gone() {
    for _ in $(seq 600); do
        xdotool getwindowname "$1" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    return 1
}

# press WINDOW KEY...: the keys go to WINDOW, which takes the focus first
# (no window manager gives it).
press() {
    local window=$1
    shift
    xdotool windowfocus --sync "$window"
    xdotool key --delay 100 "$@"
}

# expect_box TEXT: the next message box says TEXT, and Enter closes it. On
# Windows Ctrl+C copies a message box's caption and text; Wine hands the
# clipboard to X.
expect_box() {
    local box copied=
    box=$(wait_for_window PX520) || { fail "no message box saying: $1"; return; }
    press "$box" ctrl+c
    for _ in $(seq 50); do
        copied=$(xclip -o -selection clipboard 2>/dev/null | tr -d '\r' | sed -n 4p)
        [ "$copied" = "$1" ] && break
        sleep 0.1
    done
    [ "$copied" = "$1" ] || fail "the message box says '$copied', not '$1'"
    press "$box" Return
    gone "$box" || fail "the message box saying '$1' stayed open"
}

start_sim "${board[@]}" --save window.tbl
link_com 9 "$work/board"
wine "$exe" --port COM9 >window.out 2>&1 &
window_pid=$!
trap 'kill "$window_pid" 2>/dev/null; rm -f "$com_link"; cleanup' EXIT

version=$(wine "$exe" --version | tr -d '\r' | awk '{print $2}')
window=$(wait_for_window "PX520 V$version") || { fail "no main window"; cat window.out >&2; finish; }
# The start-up search has taken the board's port: Read goes to COM9.
press "$window" F3
expect_box "Read Success !"
# From the port box, Tab reaches the Modify Mode button; the arrow moves to
# Write Mode and chooses it.
press "$window" Tab Tab Down F4
expect_box "Write Sucess !"
press "$window" F2
expect_box "Verify Sucess !"
xwd -silent -id "$window" | xwdtopnm 2>/dev/null | pnmtopng >"$shot" ||
    fail "no screenshot of the window"
kill "$window_pid"
wait "$window_pid" 2>/dev/null
stop_sim

# The same pager read and written by px520-cli.exe.
start_sim "${board[@]}" --save cli.tbl
run wine "$cli" read read.tbl --port COM9
expect_rc 0 "px520-cli.exe read"
run wine "$cli" write read.tbl --port COM9
expect_rc 0 "px520-cli.exe write"
stop_sim

expect_same window.tbl cli.tbl
[ "$(dd if=window.tbl bs=1 skip=240 count=14 2>/dev/null | tr -d '\0')" = "PX520 V$version" ] ||
    fail "the pager does not hold the version tag of this release"

finish
