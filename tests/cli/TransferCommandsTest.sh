#!/bin/bash
# read, write, verify and write --repeat against px520-sim in a process of its
# own, through its pseudo-terminal, run as a user would.
# usage: TransferCommandsTest.sh PX520_CLI PX520_SIM FIXTURE_DIR
cli=$1
sim=$2
fixtures=$3
. "$(dirname "$0")/lib.sh"
board=$work/board

# Read: the pager's bytes into the file, the line in the trace.
start_sim --firmware 1.86
run "$cli" read "$work/r.tbl" --port "$board" --trace "$work/trace.log"
expect_rc 0 "read"
expect_err "Read Success !"
expect_err "Reading Now ...... 256/256"
run "$cli" show "$work/r.tbl"
expect_out "Version               Version                        1.86"
expect_out "VersionTag                                           PX520 V3.8.2"
grep -q '^ *[0-9]* > 4B 65 6C 76 61 72 69 6E 74 68' "$work/trace.log" || fail "trace lacks a request"
grep -q '^ *[0-9]* < 4B 65 6C 76 61 72 69 6E 74 68' "$work/trace.log" || fail "trace lacks a reply"

# read --raw keeps the pager's bytes; read saves them as the window does after
# a Read, through its display pass, which recomputes the emulated pager's
# stale synthesizer words. So, as in the window, a Verify right after a Read
# of that pager fails, and a pager holding what was saved verifies.
run "$cli" read "$work/raw.tbl" --port "$board" --raw
expect_rc 0 "read --raw"
cmp -s "$work/raw.tbl" "$work/r.tbl" && fail "read saved the pager's stale words unchanged"
run "$cli" set "$work/raw.tbl" -o "$work/raw-opened.tbl"
expect_same "$work/raw-opened.tbl" "$work/r.tbl"
run "$cli" verify "$work/r.tbl" --port "$board"
expect_rc 7 "verify of a pager with stale words"
expect_err "Verify Error !"
# The command line names where: the address, the field and both values.
expect_err "px520-cli: first difference at address 0x79 (121), PLLR: expected 00008011 (byte 00), the pager holds 00010011 (byte 01)"
expect_err_prefixed "verify"
stop_sim
start_sim --firmware 1.86 --load "$work/r.tbl"
run "$cli" verify "$work/r.tbl" --port "$board"
expect_rc 0 "verify"
expect_err "Verify Sucess !"
stop_sim
start_sim --firmware 1.86 --load "$work/r.tbl" --differ 200
run "$cli" verify "$work/r.tbl" --port "$board"
expect_rc 7 "verify of a differing pager"
expect_err "Verify Error !"
t1_3_differs="first difference at address 0xC8 (200), T1[3] (CALL #3 TONE1): expected 832.5 Hz (byte 20), the pager holds 5722.1 Hz (not a standard tone) (byte DF)"
expect_err "$t1_3_differs"
# Write's verify phase says the same.
run "$cli" write "$work/r.tbl" --port "$board"
expect_rc 7 "write into a differing pager"
expect_err "Verify Error !"
expect_err "$t1_3_differs"
stop_sim

# Write: the prepared image lands in the pager; the file stays as it was.
cp "$fixtures/default.tbl" "$work/w.tbl"
start_sim --firmware 1.86 --save "$work/pager.tbl"
run "$cli" write "$work/w.tbl" --port "$board"
expect_rc 0 "write"
expect_err "Write Sucess !"
# The file as written verifies; the file itself differs from the pager.
run "$cli" verify --as-written "$work/w.tbl" --port "$board"
expect_rc 0 "verify --as-written"
expect_err "Verify Sucess !"
run "$cli" verify "$work/w.tbl" --port "$board"
expect_rc 7 "verify of the unprepared file"
stop_sim
expect_same "$work/w.tbl" "$fixtures/default.tbl"
run "$cli" diff "$work/w.tbl" "$work/pager.tbl"
expect_out "Version               0.0 -> 1.86"
expect_out "WriteMark             0 -> 1"
expect_out "Checksum              0000 -> 243D"
[ "$(wc -l <"$work/out")" -eq 3 ] || fail "write changed more than version, mark and checksum"

# A failed block: the read ends with the window's message and no file; an
# existing file is left as it was.
start_sim --firmware 1.86 --bad-checksum 4
run "$cli" read "$work/failed.tbl" --port "$board"
expect_rc 7 "read with a bad block"
expect_err "Read Error !"
[ -e "$work/failed.tbl" ] && fail "a failed read wrote its file"
stop_sim
start_sim --firmware 1.86 --load "$fixtures/default.tbl"
cp "$work/r.tbl" "$work/kept.tbl"
run "$cli" read "$work/kept.tbl" --port "$board"
expect_rc 7 "read with a checksum error"
expect_err "CheckSum error !"
expect_same "$work/kept.tbl" "$work/r.tbl"
stop_sim

# A board that does not answer, and a port that is not there.
start_sim --silent
run "$cli" read "$work/silent.tbl" --port "$board"
expect_rc 6 "silent board"
expect_err "The Board is not responding ! "
expect_err "px520-cli: no answer from the programmer board on $board."
expect_err_prefixed "silent board"
[ -e "$work/silent.tbl" ] && fail "a silent board gave a file"
stop_sim
run "$cli" write "$work/w.tbl" --port "$work/no-such-port"
expect_rc 5 "missing port"
expect_err "px520-cli: $work/no-such-port: No such file or directory"
expect_err "does not exist"
expect_err_prefixed "missing port"
run "$cli" read "$work/t.tbl" --port "$work/no-such-port" --trace "$work/no/dir/trace.log"
expect_rc 3 "unwritable trace"
expect_err "px520-cli: cannot write the trace file $work/no/dir/trace.log: No such file or directory"
run "$cli" write "$fixtures/default.tbl" --port "$work/no-such-port" --repeat --each "$work/none.csv"
expect_rc 3 "missing sheet"
expect_err "px520-cli: cannot open $work/none.csv: No such file or directory"
# As a spreadsheet saves it: a byte order mark, the label column in capitals.
printf '\xEF\xBB\xBFLabel,T1[1]\r\n' >"$work/empty.csv"
run "$cli" write "$fixtures/default.tbl" --port "$work/no-such-port" --repeat --each "$work/empty.csv"
expect_rc 3 "a sheet without rows"
expect_err "px520-cli: $work/empty.csv has no pager rows below its header; nothing was written."

# write --repeat over three pagers: a script on stdin seats the next pager
# (the next px520-sim) after each log line and stops after the third.
pagers=("--firmware 1.86" "--firmware 1.80 --bad-ack 5" "--firmware 1.90")
start_sim ${pagers[0]} --save "$work/pager1.tbl"
first_sim=$sim_pid
# seat_pagers NAME [LAST]: after the log line of each pager, the next board
# (options ${pagers[k]}, saving to $work/NAMEk.tbl) and Enter; after the
# third, LAST (q, or nothing for a batch that ends by itself). Runs in a
# subshell: the first board is this shell's child and is waited for below;
# the others are the subshell's own.
seat_pagers() {
    local name=$1 last=${2:-}
    for k in 1 2 3; do
        for _ in $(seq 200); do
            grep -q "pager $k " "$work/out" 2>/dev/null && break
            sleep 0.05
        done
        if [ "$k" -eq 1 ]; then
            # Not this subshell's child: gone once it is a zombie or less, so
            # the command cannot take its closing line for the next board.
            kill -TERM "$sim_pid"
            for _ in $(seq 200); do
                state=$(awk '{print $3}' "/proc/$sim_pid/stat" 2>/dev/null)
                [ -z "$state" ] || [ "$state" = Z ] && break
                sleep 0.05
            done
        else
            stop_sim
        fi
        if [ "$k" -lt 3 ]; then
            start_sim ${pagers[$k]} --save "$work/$name$((k + 1)).tbl"
            echo
        elif [ -n "$last" ]; then
            echo "$last"
        fi
    done
}
seat_pagers pager q | "$cli" write "$work/w.tbl" --port "$board" --repeat >"$work/out" 2>"$work/err"
rc=$?
wait "$first_sim"
sim_pid=
expect_rc 7 "write --repeat with one failed pager"
grep -qE '^[0-9-]+ [0-9:]+  pager 1  firmware 1.86  written$' "$work/out" || fail "log line 1"
expect_out "pager 2  firmware 1.80  failed: Write Error !"
expect_out "pager 3  firmware 1.90  written"
expect_out "Summary: 3 pagers, 2 written, 1 failed"
expect_out "  firmware 1.80: 0 written, 1 failed"
expect_out "  firmware 1.86: 1 written, 0 failed"
[ "$(grep -c "Seat the next pager" "$work/err")" -eq 3 ] || fail "asked for the next pager not thrice"
for k in 1 3; do
    run "$cli" diff "$work/w.tbl" "$work/pager$k.tbl"
    [ "$(wc -l <"$work/out")" -eq 3 ] || fail "pager $k holds more than the prepared configuration"
done

# write --repeat --each: one pager per CSV row, each with its own tones.
cat >"$work/fleet.csv" <<'CSV'
label,T1[1],T2[1],BS_Period
unit A,1000,707.3,
"unit B, spare",1500,,20
unit C,2000,2500,
CSV
run "$cli" write "$work/w.tbl" --port "$board" --repeat --each "$work/fleet.csv"
expect_rc 4 "a refused row stops the batch before any pager"
expect_err "fleet.csv: row 3 (unit C), CALL #1 TONE2 (T2[1]) holds \"2500\": Please insert a number between 288.5 to 2468.2"
grep -q "Target board testing" "$work/err" && fail "the board was asked before every row was checked"
sed -i 's/2000,2500,/2000,2400,/' "$work/fleet.csv"
pagers=("--firmware 1.86" "--firmware 1.86" "--firmware 1.86")
start_sim ${pagers[0]} --save "$work/unit1.tbl"
first_sim=$sim_pid
seat_pagers unit | "$cli" write "$work/w.tbl" --port "$board" --repeat --each "$work/fleet.csv" \
    >"$work/out" 2>"$work/err"
rc=$?
wait "$first_sim"
sim_pid=
expect_rc 0 "write --repeat --each"
expect_err "Seat pager 2 of 3 (unit B, spare) and press Enter, q to stop"
expect_out "pager 3  row 3 (unit C)  firmware 1.86  written"
expect_out "Summary: 3 pagers, 3 written, 0 failed"
for k in 1 2 3; do
    run "$cli" show "$work/unit$k.tbl"
    cp "$work/out" "$work/unit$k.show"
done
# Standard Mode snaps the tones to the list: 1000 to 1006.9, 1500 to 1513.5, 2000 to 1989.0.
grep -q '^T1\[1\]  *CALL #1 TONE1  *1006.9 Hz' "$work/unit1.show" || fail "unit A lacks its tone"
grep -q '^T2\[1\]  *CALL #1 TONE2  *707.3 Hz' "$work/unit1.show" || fail "unit A lacks its second tone"
grep -q '^T1\[1\]  *CALL #1 TONE1  *1513.5 Hz' "$work/unit2.show" || fail "unit B lacks its tone"
grep -q '^BS_Period  *Battery Save  *20 ' "$work/unit2.show" || fail "unit B lacks its battery save"
grep -q '^T1\[1\]  *CALL #1 TONE1  *1989.0 Hz' "$work/unit3.show" || fail "unit C lacks its tone"
grep -q '^T1Code\[1\]  *stored \(....\), computed \1' "$work/unit3.show" ||
    fail "unit C's tone code is not its tone's"

# --from-row resumes: only rows 2 and 3 are written.
start_sim --firmware 1.86
printf '\n' | "$cli" write "$work/w.tbl" --port "$board" --repeat --each "$work/fleet.csv" \
    --from-row 2 >"$work/out" 2>"$work/err"
rc=$?
expect_rc 0 "write --repeat --each --from-row 2"
expect_out "pager 1  row 2 (unit B, spare)"
expect_out "Summary: 2 pagers, 2 written, 0 failed"
stop_sim

# --record: a base line into a new record, then each row's result; a second
# run appends. A file that is no record is refused before any pager.
start_sim --firmware 1.86 --bad-ack 5
printf '\n' | "$cli" write "$work/w.tbl" --port "$board" --repeat --each "$work/fleet.csv" \
    --from-row 2 --record "$work/fleet.record.csv" >"$work/out" 2>"$work/err"
rc=$?
expect_rc 7 "write --each --record with a failed pager"
printf '\n' | "$cli" write "$work/w.tbl" --port "$board" --repeat --each "$work/fleet.csv" \
    --from-row 3 --record "$work/fleet.record.csv" >"$work/out" 2>"$work/err"
rc=$?
expect_rc 0 "write --each --record appending"
stop_sim
time_re='[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}[+-][0-9]{2}:[0-9]{2}'
sed -E "s/,$time_re,/,TIME,/" "$work/fleet.record.csv" >"$work/record.seen"
cat >"$work/record.expected" <<'RECORD'
row,label,result,time,firmware,message
,,base,TIME,,w.tbl
2,"unit B, spare",failed,TIME,1.86,Write Error !
3,unit C,verified,TIME,1.86,
3,unit C,verified,TIME,1.86,
RECORD
expect_same "$work/record.seen" "$work/record.expected"
run "$cli" write "$work/w.tbl" --port "$work/no-such-port" --repeat --each "$work/fleet.csv" \
    --record "$work/fleet.csv"
expect_rc 3 "a sheet given as the record"
expect_err "$work/fleet.csv is not a record"
expect_err "nothing was written."
grep -q "Target board testing" "$work/err" && fail "a refused record let the board be asked"

# A sheet as Excel saves it in a German locale: a byte order mark, CRLF, ';'
# and decimal commas; the second label is quoted and spans two lines.
start_sim --firmware 1.86 --save "$work/semicolon.tbl"
printf '\n' | "$cli" write "$work/w.tbl" --port "$board" --repeat \
    --each "$fixtures/semicolon-sheet.csv" >"$work/out" 2>"$work/err"
rc=$?
stop_sim
expect_rc 0 "write --repeat --each of a ';' sheet"
expect_err 'Seat pager 2 of 2 (Zug "Nord"\x0AReserve) and press Enter, q to stop'
expect_out 'pager 2  row 2 (Zug "Nord"\x0AReserve)  firmware 1.86  written'
run "$cli" show "$work/semicolon.tbl"
grep -q '^T1\[1\]  *CALL #1 TONE1  *1006.9 Hz' "$work/out" || fail "the last pager lacks its tone"
grep -q '^BandWidth  *Decoder Bandwidth  *0.3 %' "$work/out" || fail "the last pager lacks its bandwidth"

# diff --port: the pager read as the window reads it against a file, nothing
# written.
start_sim --firmware 1.86 --load "$work/pager.tbl" --save "$work/diffed.tbl"
run "$cli" diff "$work/pager.tbl" --port "$board"
expect_rc 0 "diff of the file the pager holds"
[ -s "$work/out" ] && fail "diff of equal configurations printed something"
run "$cli" set "$work/pager.tbl" BS_Period=99 -o "$work/changed.tbl"
run "$cli" diff "$work/changed.tbl" --port "$board" --json
expect_rc 1 "diff of a changed file"
tr -d ' \n' <"$work/out" | grep -qF '{"BS_Period":{"a":99,"b":15}}' || fail "json diff against the pager"
run "$cli" diff "$work/pager.tbl" "$work/changed.tbl" --port "$board"
expect_rc 2 "diff of two files and a port"
stop_sim
expect_same "$work/diffed.tbl" "$work/pager.tbl"

# Faults and signals.

# A line that dies during verify --as-written's firmware query ends the verify
# with the port's message, no abort.
start_sim --firmware 1.86 --hang-up 1
run "$cli" verify --as-written "$fixtures/default.tbl" --port "$board"
expect_rc 7 "verify --as-written on a line that hangs up"
expect_err "Input/output error"
stop_sim

# A short file is never written into a pager: nothing goes on the line.
start_sim --firmware 1.86
head -c 100 "$fixtures/default.tbl" >"$work/short.tbl"
run "$cli" write "$work/short.tbl" --port "$board" --trace "$work/short.log"
expect_rc 3 "write of a short file"
expect_err "holds only 100 bytes, not a whole configuration of 256; nothing was written."
[ -s "$work/short.log" ] && fail "a short file was sent to the board"

# A port another program holds is busy, not a silent board.
flock -n "$board" sleep 30 &
holder=$!
for _ in $(seq 100); do
    flock -n "$board" true || break
    sleep 0.05
done
run "$cli" read "$work/busy.tbl" --port "$board"
kill "$holder"
wait "$holder" 2>/dev/null
expect_rc 5 "read of a busy port"
expect_err "is in use by another program."
stop_sim

# Waits until the command in the background has said the text on stderr.
wait_for_err() {
    for _ in $(seq 400); do
        grep -qF -- "$1" "$work/err" && return 0
        sleep 0.05
    done
    fail "never said: $1"
}

# The first interrupt during a write finishes the pager and stops; the pager
# verifies. A second abandons it and says the pager must be written again;
# the stray end of the killed exchange does not disturb the next command.
cp "$fixtures/default.tbl" "$work/w.tbl"
start_sim --firmware 1.86 --pace
"$cli" write "$work/w.tbl" --port "$board" >"$work/out" 2>"$work/err" </dev/null &
writer=$!
wait_for_err "Write Now ......"
kill -INT "$writer"
wait "$writer"
rc=$?
expect_rc 130 "write interrupted once"
expect_err "interrupted: finishing the pager in progress"
expect_err "Write Sucess !"
expect_err "stopped after the pager in progress was finished."
run "$cli" verify --as-written "$work/w.tbl" --port "$board"
expect_rc 0 "verify after an interrupted write"

"$cli" write "$work/w.tbl" --port "$board" >"$work/out" 2>"$work/err" </dev/null &
writer=$!
wait_for_err "Write Now ......"
kill -INT "$writer"
wait_for_err "interrupted: finishing the pager in progress"
kill -TERM "$writer"
wait "$writer"
rc=$?
expect_rc 130 "write interrupted twice"
expect_err "write abandoned: the pager now holds a partial configuration and must be written again."
run "$cli" read "$work/after.tbl" --port "$board"
expect_rc 0 "read after an abandoned write"
stop_sim

# SIGHUP (the terminal closed) is an interrupt: the pager is finished.
start_sim --firmware 1.86 --pace
"$cli" write "$work/w.tbl" --port "$board" >"$work/out" 2>"$work/err" </dev/null &
writer=$!
wait_for_err "Write Now ......"
kill -HUP "$writer"
wait "$writer"
rc=$?
expect_rc 129 "write hung up"
expect_err "interrupted: finishing the pager in progress"
expect_err "Write Sucess !"

# A log on a closed pipe costs neither the report nor the exit code: the
# batch's line goes nowhere, and the failed output is said.
printf '\n' | "$cli" write "$work/w.tbl" --port "$board" --repeat 2>"$work/err" | true
rc=${PIPESTATUS[1]}
expect_rc 3 "a batch whose log pipe is closed"
expect_err "Write Sucess !"
expect_err "px520-cli: cannot write the output: Broken pipe"

# The trace never takes the table file's place, and a trace the disk cannot
# take is reported while the transfer's result stands.
run "$cli" --trace "$work/w.tbl" write "$work/w.tbl" --port "$board"
expect_rc 2 "trace on the table file"
expect_err "is the table file itself"
expect_same "$work/w.tbl" "$fixtures/default.tbl"
run "$cli" --trace /dev/full verify --as-written "$work/w.tbl" --port "$board"
expect_rc 0 "verify with a trace on a full disk"
expect_err "px520-cli: cannot write the trace file /dev/full: No space left on device"

# A read killed mid-reply leaves the board answering it; the next command
# waits for the line to be quiet and does not take that for its own answer.
"$cli" read "$work/killed.tbl" --port "$board" >"$work/out" 2>"$work/err" </dev/null &
reader=$!
wait_for_err "Reading Now ......"
kill -INT "$reader"
wait "$reader"
run "$cli" read "$work/after-kill.tbl" --port "$board"
expect_rc 0 "read right after an interrupted read"
stop_sim

# A store the board refuses leaves the pager half-written, and that is said.
start_sim --firmware 1.86 --bad-ack 5
run "$cli" write "$work/w.tbl" --port "$board"
expect_rc 7 "a refused store block"
expect_err "Write Error !"
expect_err "the pager may hold part of the new configuration; write it again."
stop_sim

# -o - and -o /dev/stdout write the bytes out; the node stays what it is.
run "$cli" set "$work/w.tbl" BS_Period=20 -o -
expect_rc 0 "set -o -"
[ "$(head -c 256 "$work/out" | wc -c)" -eq 256 ] || fail "set -o - wrote no image"
[ -e "$work/-" ] && fail "set -o - made a file named -"
"$cli" set "$work/w.tbl" BS_Period=20 -o /dev/stdout >"$work/stdout.tbl" 2>"$work/err"
rc=$?
expect_rc 0 "set -o /dev/stdout"
[ "$(wc -c <"$work/stdout.tbl")" -ge 256 ] || fail "set -o /dev/stdout wrote no image"
[ -c /dev/stdout ] || [ -L /dev/stdout ] || fail "/dev/stdout was replaced"

finish
