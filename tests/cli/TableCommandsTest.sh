#!/bin/bash
# show, diff and set on small table files, run as a user would.
# usage: TableCommandsTest.sh PX520_CLI FIXTURE_DIR
cli=$1
fixtures=$2
. "$(dirname "$0")/lib.sh"

cp "$fixtures/default.tbl" "$work/a.tbl"
cp "$fixtures/default.tbl" "$work/pristine.tbl"

# show: every field in the window's units.
run "$cli" show "$work/a.tbl"
expect_rc 0 "show"
expect_out "Freq                  Frequency                      1590000 x 100 Hz (159.0000 MHz, band 135-174 MHz)"
expect_out "CSpace                Channel Space                  Auto, step 25000 Hz (code 32)"
expect_out "RSSI                  NRSSI                          0.71 V"
expect_out "Reminder              Reminder                       120 Second"
expect_out "T2[4]                 CALL #4 TONE2                  1122.5 Hz"
expect_out "VersionTag                                           PX520 V3.8.2"
# The file as the window takes it: the Auto step's words recomputed, and the
# stored ones named below the fields.
expect_out "PLLN                  PLLN                           stored 000AC000, computed 000AC000"
expect_out "Checksum                                             stored 0000, computed 243D"
expect_out "The file holds other values, which opening it normalises (file -> shown):"
expect_out "PLLN                  00158000 -> 000AC000"
expect_out "bytes 91-94                                          93 89 97 8C"
# Beside each name, the window's caption, so "Battery Save" finds BS_Period.
expect_out "BS_Period             Battery Save                   15 x 10 ms"
expect_out "DelayFullTime         Standby To Monitor Delay Time  6.0 Second"
expect_out "GPriority[2]          Group CALL #2 Priority Alert   off"
[ "$(grep -c '^Version ' "$work/out")" -eq 1 ] || fail "show prints a field more than once"
# Only bytes 128-191 take more than one row (four rows of 16).
[ "$(grep -c '^ ' "$work/out")" -eq 3 ] || fail "show prints rows without a field name"

run "$cli" show --json "$work/a.tbl"
expect_rc 0 "show --json"
expect_out '"Freq": 1590000,'
expect_out '"RecordMax": "4 sections (30 second)",'
expect_out '"SYSSV": true,'
expect_out '"computed": "243D"'
tr -d ' \n' <"$work/out" | grep -qF '"InFile":{"PLLR":{"a":"00010011","b":"00008011"},"PLLN":{"a":"00158000","b":"000AC000"}}' ||
    fail "show --json does not name the stored words"
expect_out '"91-94": "93 89 97 8C",'
tr -d ' \n' <"$work/out" | grep -qF '"T1":[669.9,433.7,832.5,539.0]' || fail "T1 is not an array of tones"
expect_out '"BS_Period": "Battery Save",'
expect_out '"Squelch": "Carrier OFF delay",'
tr -d '\n' <"$work/out" | grep -qF '"T3": [      "Group CALL #1",      "Group CALL #2"    ]' ||
    fail "show --json lacks the captions of the group calls"

# A short file is read over zeros and said so.
head -c 100 "$fixtures/default.tbl" >"$work/short.tbl"
run "$cli" show "$work/short.tbl"
expect_rc 0 "show short"
expect_err "holds only 100 bytes"
expect_out "VersionTag            "

# set: the window's rules, written to -o, FILE untouched.
run "$cli" set "$work/a.tbl" "T1[2]=1000" Freq=1590125 "ResetCon=time-out reset" SYSSV=off \
    -o "$work/b.tbl"
expect_rc 0 "set -o"
expect_same "$work/a.tbl" "$work/pristine.tbl"
expect_out "T1[2]                 433.7 Hz -> 1006.9 Hz"
expect_out "T1Code[2]             871C -> 908D"
expect_out "CSpace                Auto, step 25000 Hz (code 32) -> Auto, step 12500 Hz (code 33)"
expect_out "PLLN                  00158000 -> 00158080"
expect_out "ResetCon              Auto Reset (code 0) -> Time-Out RESET (code 4)"

# diff: the same differences, exit 1; equal files exit 0 and print nothing.
run "$cli" diff "$work/a.tbl" "$work/b.tbl"
expect_rc 1 "diff of different files"
expect_out "SYSSV                 on -> off"
expect_out "Freq                  1590000 x 100 Hz (159.0000 MHz, band 135-174 MHz) -> 1590125"
# Both files as opened: a's words are recomputed for the 25 kHz step, b's for 12.5 kHz.
[ "$(wc -l <"$work/out")" -eq 8 ] || fail "diff lists other fields than the eight set or derived"

run "$cli" diff --json "$work/a.tbl" "$work/b.tbl"
expect_rc 1 "diff --json"
tr -d ' \n' <"$work/out" | grep -qF '"T1[2]":{"a":433.7,"b":1006.9}' || fail "json diff of T1[2]"

run "$cli" diff "$work/a.tbl" "$work/pristine.tbl"
expect_rc 0 "diff of equal files"
[ -s "$work/out" ] && fail "diff of equal files printed something"

# A byte the tool does not interpret is reported by its position.
cp "$work/pristine.tbl" "$work/c.tbl"
printf '\x5a' | dd of="$work/c.tbl" bs=1 seek=130 conv=notrunc status=none
run "$cli" diff "$work/a.tbl" "$work/c.tbl"
expect_rc 1 "diff of an uninterpreted byte"
expect_out "byte 130              00 -> 5A"

# set in place; tones in User Mode are taken as typed.
cp "$work/pristine.tbl" "$work/d.tbl"
run "$cli" set "$work/d.tbl" "T1[1]=1234.5" --user-tones
expect_rc 0 "set --user-tones"
run "$cli" show "$work/d.tbl"
expect_out "T1[1]                 CALL #1 TONE1                  1234.5 Hz (not a standard tone)"
expect_out "T1Code[1]                                            stored 9480, computed 9480"

# Refusals: the window's message, exit 4, the file as it was.
refused() {
    local message=$1
    shift
    cp "$work/pristine.tbl" "$work/e.tbl"
    run "$cli" set "$work/e.tbl" "$@"
    expect_rc 4 "set $*"
    expect_err "px520-cli: $message"
    expect_same "$work/e.tbl" "$work/pristine.tbl"
}
refused "T2[1]: Please insert a number between 288.5 to 2468.2" "T2[1]=2500"
refused "BS_Period: Please insert a number between 0 to 255" BS_Period=7 BS_Period=256
refused "Freq: Channel Spacing Error!" Freq=1590001
refused "Freq: Frequency setting error(1350000 < = Frequency < =1740000 )" Freq=1349999
refused "AudioLock: The interval is 0.5 second." AudioLock=2.3
refused "RSSI: Please insert a number between 0 to 1" RSSI=1.5
refused "Checksum: Checksum is stored by Write." Checksum=0

# set --from: show --json's document back is a no-op, byte for byte; a changed
# value goes through the rules; errors name their reason and write nothing.
cp "$work/pristine.tbl" "$work/j.tbl"
"$cli" show --json "$work/j.tbl" >"$work/doc.json"
run "$cli" set "$work/j.tbl" --from "$work/doc.json"
expect_rc 0 "set --from its own document"
expect_same "$work/j.tbl" "$work/pristine.tbl"
sed 's/"Freq": 1590000/"Freq": 1590125/' "$work/doc.json" >"$work/freq.json"
"$cli" set "$work/j.tbl" --from - -o "$work/k.tbl" <"$work/freq.json" >"$work/out" 2>"$work/err"
rc=$?
expect_rc 0 "set --from with a new frequency"
expect_out "CSpace                Auto, step 25000 Hz (code 32) -> Auto, step 12500 Hz (code 33)"
expect_out "PLLN                  00158000 -> 00158080"
expect_same "$work/j.tbl" "$work/pristine.tbl"
from_refused() {
    local message=$1
    printf '%s' "$2" >"$work/bad.json"
    run "$cli" set "$work/j.tbl" --from "$work/bad.json"
    expect_rc 4 "set --from $2"
    expect_err "$message"
    expect_same "$work/j.tbl" "$work/pristine.tbl"
}
from_refused "no field 'Nonsense'" '{"Nonsense": 1}'
from_refused "Freq: expected a number, a text or true/false, not array." '{"Freq": [1]}'
from_refused "broken JSON at line 2, column 10." $'{\n "Freq": }'
from_refused "PLLN: \"DEADBEEF\" contradicts what the rules compute" '{"PLLN": "DEADBEEF"}'
from_refused "T2[1]: Please insert a number between 288.5 to 2468.2" \
    '{"T2": [2500, 707.3, 761.3, 1122.5]}'

# Usage and file errors have their own codes and leave files alone.
run "$cli" set "$work/a.tbl" Nonsense=1
expect_rc 2 "unknown field"
run "$cli" set "$work/a.tbl" "T1[2]"
expect_rc 2 "no value"
run "$cli" show
expect_rc 2 "missing FILE"
expect_err "px520-cli: FILE is required"
expect_err_prefixed "missing FILE"
# Help names the program, not its path, and the version.
run "$cli" --version
expect_rc 0 "--version"
expect_out "px520-cli "
version=$(cat "$work/out")
run "$cli" set --help
expect_rc 0 "set --help"
expect_out "Usage: px520-cli set "
expect_out "$version"
run "$cli" show "$work/missing.tbl"
expect_rc 3 "missing file"
expect_err "px520-cli: cannot open $work/missing.tbl: No such file or directory"
expect_err_prefixed "missing file"
run "$cli" diff "$work/a.tbl" "$work"
expect_rc 3 "a folder for a file"
expect_err "px520-cli: cannot open $work: Is a directory"
run "$cli" set "$work/a.tbl" --from "$work/none.json"
expect_rc 3 "missing document"
expect_err "px520-cli: cannot read $work/none.json: No such file or directory"
run "$cli" set "$work/a.tbl" BS_Period=9 -o "$work/no/such/dir/out.tbl"
expect_rc 3 "unwritable output"
expect_err "px520-cli: cannot save $work/no/such/dir/out.tbl: No such file or directory"
ls "$work/no" >/dev/null 2>&1 && fail "set created a directory"
expect_same "$work/a.tbl" "$work/pristine.tbl"
[ -z "$(find "$work" -name '*.tbl.*')" ] || fail "a temporary file was left behind"

# A file its owner made read-only is refused, not replaced around its
# protection; root writes it as cp does. Each is tested as what runs the test.
cp "$work/pristine.tbl" "$work/ro.tbl"
chmod 0444 "$work/ro.tbl"
refused_as_owner() {
    "$@" "$cli" set "$work/ro.tbl" BS_Period=20 >"$work/out" 2>"$work/err" </dev/null
    rc=$?
    expect_rc 3 "set on a read-only file"
    expect_err "px520-cli: $work/ro.tbl is read-only; nothing was saved."
    expect_same "$work/ro.tbl" "$work/pristine.tbl"
}
if [ "$(id -u)" -ne 0 ]; then
    refused_as_owner
else
    as_nobody=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    chmod o+x "$work"
    chown 65534:65534 "$work" "$work/ro.tbl"
    if "${as_nobody[@]}" test -x "$cli"; then
        refused_as_owner "${as_nobody[@]}"
    fi
    run "$cli" set "$work/ro.tbl" BS_Period=20
    expect_rc 0 "root sets a read-only file"
    cmp -s "$work/ro.tbl" "$work/pristine.tbl" && fail "root's set left the read-only file as it was"
    [ "$(stat -c %a "$work/ro.tbl")" = 444 ] || fail "the read-only file lost its mode"
    chown 0:0 "$work"
fi

# A FIFO is read as it comes, a process substitution among them: the command
# waits for the writer.
mkfifo "$work/later.tbl"
{ sleep 0.3; cat "$work/pristine.tbl" >"$work/later.tbl"; } &
run "$cli" show "$work/later.tbl"
expect_rc 0 "show of a FIFO whose writer comes later"
expect_out "VersionTag                                           PX520 V3.8.2"
wait
run "$cli" set "$work/pristine.tbl" --from <("$cli" show --json "$work/pristine.tbl") -o "$work/fifo.tbl"
expect_rc 0 "set --from a process substitution"
"$cli" set "$work/pristine.tbl" -o "$work/opened.tbl" >/dev/null
expect_same "$work/fifo.tbl" "$work/opened.tbl"

# check: calls of one pager that another would answer. Two rows with
# 669.9/707.3 and 667.5/712.5 Hz lie within 1.5 % of each other; at 0.3 %
# only the wider pager answers the other; a third row shares row 1's call.
cat >"$work/plan.csv" <<'CSV'
label,T1[1],T2[1],BandWidth
unit A,669.9,707.3,1.5
unit B,667.5,712.5,0.3
unit C,669.9,707.3,
CSV
run "$cli" check "$work/a.tbl" --each "$work/plan.csv"
expect_rc 1 "check with an overlap"
expect_out "overlap: row 1 (unit A) CALL #1 (669.9 Hz, 707.3 Hz) and row 2 (unit B) CALL #1 (667.5 Hz, 712.5 Hz); row 1 (unit A) answers row 2 (unit B)'s call at its 1.5 %"
grep -q "row 2 (unit B) answers" "$work/out" && fail "the narrow pager answers at 0.3 %"
expect_out "shared:  row 1 (unit A) CALL #1 (669.9 Hz, 707.3 Hz) and row 3 (unit C) CALL #1 (669.9 Hz, 707.3 Hz)"
expect_out "2 overlaps, 1 shared call among 3 pagers."
run "$cli" check "$work/a.tbl" --each "$work/plan.csv" --json
expect_rc 1 "check --json"
expect_out '"aAnswersB": true'
expect_out '"bAnswersA": false'
expect_out '"overlapCount": 2'
# A fleet that shares one call has a pair for every two pagers: all are
# counted, a hundred are listed.
{ echo "label,BS_Period"; seq 1 3000 | sed 's/.*/unit &,10/'; } >"$work/fleet.csv"
run "$cli" check "$work/a.tbl" --each "$work/fleet.csv"
expect_rc 0 "check of a fleet sharing its call"
expect_out "... and 4498400 more shared calls"
expect_out "0 overlaps, 4498500 shared calls among 3000 pagers."
[ "$(grep -c '^shared:' "$work/out")" -eq 100 ] || fail "check lists $(grep -c '^shared:' "$work/out") shared calls, not 100"
# Table files: two saved pagers that share their call overlap in nothing.
run "$cli" check "$work/a.tbl" "$work/pristine.tbl"
expect_rc 0 "check of two files sharing a call"
expect_out "shared:  $work/a.tbl CALL #1"
expect_out "0 overlaps, 1 shared call among 2 pagers."
# write --repeat --each refuses the sheet before the board is asked.
run "$cli" write "$work/a.tbl" --port "$work/no-such-port" --repeat --each "$work/plan.csv"
expect_rc 4 "write of an overlapping sheet"
expect_err "px520-cli: overlap: row 1 (unit A) CALL #1"
expect_err "nothing was written"
expect_err_prefixed "overlapping sheet"
run "$cli" write "$work/a.tbl" --port "$work/no-such-port" --repeat --each "$work/plan.csv" --allow-overlap
expect_rc 5 "--allow-overlap goes on to the port"

# Hostile documents and sheets are refused with a reason, the file untouched.
cp "$work/pristine.tbl" "$work/h.tbl"
printf '{"Freq": 1e400}' >"$work/huge-number.json"
{ printf '{"Freq": '; head -c 100000 /dev/zero | tr '\0' '['; head -c 100000 /dev/zero | tr '\0' ']'; printf '}'; } >"$work/deep.json"
head -c 2000000 /dev/zero >"$work/zeros.json"
for doc in huge-number deep zeros; do
    run "$cli" set "$work/h.tbl" --from "$work/$doc.json"
    expect_rc 4 "document $doc"
    expect_err_prefixed "document $doc"
done
run "$cli" set "$work/h.tbl" --from "$work/huge-number.json"
expect_err "number overflow"
{ printf '{"Freq": 1'; head -c 500000 /dev/zero | tr '\0' 0; printf '}'; } >"$work/long-number.json"
run "$cli" set "$work/h.tbl" --from "$work/long-number.json"
expect_rc 4 "a number of half a megabyte"
expect_err "number overflow parsing '1000000000000000000000000000000000000000..."
[ "$(wc -c <"$work/err")" -lt 300 ] || fail "the refused number was printed whole"
run "$cli" set "$work/h.tbl" --from "$work/deep.json"
expect_err "nested deeper than 16 levels"
run "$cli" set "$work/h.tbl" --from "$work/zeros.json"
expect_err "is larger than 1 MiB"
{ printf 'label,T1[1]\na,'; head -c 1000000 /dev/zero | tr '\0' 1; printf '\n'; } >"$work/long.csv"
run "$cli" check "$work/h.tbl" --each "$work/long.csv"
expect_rc 4 "a megabyte in one cell"
expect_err "row 1 (a), CALL #1 TONE1 (T1[1]) holds \"1111111111111111111111111111111111111111...\": a value of 1000000 characters; no field takes more than 64."
# Short rows: the row bound keeps them from costing gigabytes.
{ echo BS_Period; yes 1 | head -n 100001; } >"$work/rows.csv"
run "$cli" check "$work/h.tbl" --each "$work/rows.csv"
expect_rc 4 "a sheet of 100001 rows"
expect_err "has more than 100000 rows"
printf 'label,T1[1]\nx\001y,abc\000\n' >"$work/control.csv"
run "$cli" check "$work/h.tbl" --each "$work/control.csv"
expect_rc 4 "control characters in a cell"
expect_err "row 1 (x\x01y), CALL #1 TONE1 (T1[1]) holds \"abc\x00\": 'abc\x00' is not a valid floating point value."
expect_same "$work/h.tbl" "$work/pristine.tbl"

# Text from outside in any bytes. A sheet a spreadsheet saved in Windows-1252
# is read as such, said once; every JSON output is UTF-8 whatever the names
# (no abort on a byte it cannot encode); labels, names and cells reach the
# terminal escaped, and long ones shortened.
utf8_json() {
    iconv -f UTF-8 -t UTF-8 "$work/out" >/dev/null 2>&1 || fail "$1: output is not UTF-8"
    grep -q '^{' "$work/out" || fail "$1: no JSON object"
}
printf 'label,T1[1],T2[1]\nM\374ller \200,669.9,707.3\nB,669.9,707.3\n' >"$work/cp1252.csv"
run "$cli" check "$work/h.tbl" --each "$work/cp1252.csv" --json
expect_rc 0 "check --json of a Windows-1252 sheet"
utf8_json "check --json of a Windows-1252 sheet"
expect_out '"pager": "row 1 (Müller €)"'
expect_err "px520-cli: $work/cp1252.csv is not UTF-8: read as Windows-1252."
[ "$(grep -c 'Windows-1252' "$work/err")" -eq 1 ] || fail "the encoding is not said once"
weird=$work/$'M\374ller\377.tbl'
cp "$work/pristine.tbl" "$weird"
run "$cli" check "$work/h.tbl" "$weird" --json
expect_rc 0 "check --json of a file whose name is not UTF-8"
utf8_json "check --json of a file whose name is not UTF-8"
expect_out '"pager": "'"$work"'/M\\xFCller\\xFF.tbl"'
run "$cli" diff "$weird" "$work/b.tbl" --json
expect_rc 1 "diff --json of a file whose name is not UTF-8"
utf8_json "diff --json of a file whose name is not UTF-8"
run "$cli" show "$weird" --json
expect_rc 0 "show --json of a file whose name is not UTF-8"
utf8_json "show --json of a file whose name is not UTF-8"
"$cli" show --json "$weird" | "$cli" set "$weird" --from - >"$work/out" 2>"$work/err"
rc=$?
expect_rc 0 "show --json piped into set --from"
expect_same "$weird" "$work/pristine.tbl"
run "$cli" show $'\033[2J'"$work/gone"$'\n.tbl'
expect_err "px520-cli: cannot open \\x1B[2J$work/gone\\x0A.tbl: No such file or directory"
expect_err_prefixed "a file name with a line break"
# A label with an escape sequence, one too long to show whole, one too long
# to take, and a header name of a megabyte.
printf 'label,T1[1],T2[1]\n"a\033[31m\001",669.9,707.3\n%s,669.9,707.3\n' "$(printf 'L%.0s' $(seq 256))" >"$work/labels.csv"
run "$cli" check "$work/h.tbl" --each "$work/labels.csv"
expect_rc 0 "check of escaped and long labels"
expect_out 'shared:  row 1 (a\x1B[31m\x01) CALL #1 (669.9 Hz, 707.3 Hz) and row 2 (LLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLL...) CALL #1'
printf 'label,T1[1]\n%s,669.9\n' "$(printf 'L%.0s' $(seq 257))" >"$work/label257.csv"
run "$cli" check "$work/h.tbl" --each "$work/label257.csv"
expect_rc 4 "a label of 257 bytes"
expect_err "px520-cli: $work/label257.csv: row 1 (LLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLL...): label: 257 bytes; a label takes at most 256."
{ printf 'label,'; head -c 1000000 /dev/zero | tr '\0' X; printf '\nunit A,1\n'; } >"$work/header.csv"
run "$cli" check "$work/h.tbl" --each "$work/header.csv"
expect_rc 3 "a header name of a megabyte"
expect_err "px520-cli: $work/header.csv: 'XXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXX...' is not a field name"
[ "$(wc -c <"$work/err")" -lt 300 ] || fail "the refused header name was printed whole"
{ head -c 1000000 /dev/zero | tr '\0' ,; echo; } >"$work/commas.csv"
run "$cli" check "$work/h.tbl" --each "$work/commas.csv"
expect_rc 3 "a header of a million commas"
expect_err "columns in the header, more than there are fields."

finish
