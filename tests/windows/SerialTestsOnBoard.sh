#!/bin/bash
# Runs the Windows serial port tests under Wine with px520-sim behind COM7.
# usage: SerialTestsOnBoard.sh PX520_SIM TESTS_EXE
sim=$1
tests=$2
. "$(dirname "$0")/../cli/lib.sh"
. "$(dirname "$0")/wine-lib.sh"

start_sim --firmware 1.86
link_com 7 "$work/board"
PX520_TEST_PORT=COM7 wine "$tests"
