#!/usr/bin/env bash
# Usage: CompletionTest.sh COMPLETION_FILE
# Asks px520-cli's bash completion for the words a user has typed and
# compares its answers, in a folder with a table file, another file and a
# sub-folder.
set -uo pipefail
source /usr/share/bash-completion/bash_completion
source "$1"
cd "$(mktemp -d)" || exit 1
trap 'rm -rf "$PWD"' EXIT
touch shop.tbl notes.txt fleet.csv
mkdir pagers

failures=0
expect() {
    local wanted=$1
    shift
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE="$*"
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _px520_cli
    local got
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | xargs)
    if [ "$got" != "$wanted" ]; then
        echo "FAIL: [$*] completes to [$got], not [$wanted]"
        failures=$((failures + 1))
    fi
}

expect "check diff ports read set show verify write" px520-cli ""
expect "write" px520-cli w
expect "--help --trace --version" px520-cli --
expect "--help --port --raw" px520-cli read --
expect "--as-written" px520-cli verify x.tbl --as
expect "--from --help --output --user-tones" px520-cli set shop.tbl --
expect "--each" px520-cli write shop.tbl --repeat --ea
expect "fleet.csv pagers" px520-cli write shop.tbl --repeat --each ""
expect "--record" px520-cli write shop.tbl --repeat --each fleet.csv --rec
expect "pagers shop.tbl" px520-cli show ""
expect "pagers shop.tbl" px520-cli --trace log.txt diff shop.tbl ""
expect "fleet.csv notes.txt pagers shop.tbl" px520-cli --trace ""
expect "--each --help --json --user-tones" px520-cli check shop.tbl --
expect "fleet.csv pagers" px520-cli check shop.tbl --each ""
expect "" px520-cli ports ""
exit $((failures > 0))
