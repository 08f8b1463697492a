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
: >"$work/out"
: >"$work/err"

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

# wait_for_search: the start-up search for the board runs behind the
# splash, a window named PX520; over once the splash has come and gone (or
# was never caught in 30 s).
wait_for_search() {
    local seen=
    for i in $(seq 1200); do
        if xdotool search --onlyvisible --name '^PX520$' >/dev/null 2>&1; then
            seen=1
        elif [ -n "$seen" ] || [ "$i" -gt 600 ]; then
            return 0
        fi
        sleep 0.05
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

# picture WINDOW BOX PNG: the window with the message box over it. Each is
# taken on its own: Wine gives the box a visual that a picture of the whole
# X screen shows black.
picture() {
    local X Y WIDTH HEIGHT SCREEN WINDOW window_x window_y
    eval "$(xdotool getwindowgeometry --shell "$1")"
    window_x=$X
    window_y=$Y
    eval "$(xdotool getwindowgeometry --shell "$2")"
    xwd -silent -id "$2" | xwdtopnm 2>/dev/null >"$work/box.pnm" &&
        xwd -silent -id "$1" | xwdtopnm 2>/dev/null |
        pnmpaste "$work/box.pnm" $((X - window_x)) $((Y - window_y)) | pnmtopng >"$3"
}

# expect_box TEXT [PNG]: the next message box says TEXT, and Enter closes
# it; with PNG, a picture of the window with the box is kept. On Windows
# Ctrl+C copies a message box's caption and text; Wine hands the clipboard
# to X.
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
    if [ -n "${2:-}" ]; then
        picture "$window" "$box" "$2" || fail "no picture of the window"
    fi
    press "$box" Return
    gone "$box" || fail "the message box saying '$1' stayed open"
}

version=$(wine "$exe" --version | tr -d '\r' | awk '$1 == "PX520" {print $2}')
[ -n "$version" ] || { fail "px520.exe --version names no version"; finish; }

start_sim "${board[@]}" --save window.tbl
link_com 9 "$work/board"
wine "$exe" --port COM9 >window.out 2>&1 &
window_pid=$!
trap 'kill "$window_pid" 2>/dev/null; rm -f "$com_link"; cleanup' EXIT
window=$(wait_for_window "PX520 V$version") || { fail "no main window"; cat window.out >&2; finish; }
wait_for_search || fail "the start-up search did not end"
# The focus starts in the port box; Tab reaches the Modify Mode button and
# the arrow moves to Write Mode, choosing it. Read works in either mode.
press "$window" Tab Tab Down
# The search has taken the board's port: the transfers go to COM9.
press "$window" F3
expect_box "Read Success !"
press "$window" F4
expect_box "Write Sucess !"
press "$window" F2
expect_box "Verify Sucess !" "$shot"
kill "$window_pid"
wait "$window_pid" 2>/dev/null
stop_sim

# The same pager read and written by px520-cli.exe.
start_sim "${board[@]}" --save cli.tbl
link_com 9 "$work/board"
run wine "$cli" read read.tbl --port COM9
expect_rc 0 "px520-cli.exe read"
run wine "$cli" write read.tbl --port COM9
expect_rc 0 "px520-cli.exe write"
stop_sim

expect_same window.tbl cli.tbl
[ "$(dd if=window.tbl bs=1 skip=240 count=14 2>/dev/null | tr -d '\0')" = "PX520 V$version" ] ||
    fail "the pager does not hold the version tag of this release"

finish
