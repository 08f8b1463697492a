# Helpers for the tests that run Windows programs under Wine against
# px520-sim: the emulator's pseudo-terminal becomes a COM port of the Wine
# prefix ($WINEPREFIX/dosdevices/comN is a link to the device).

# link_com N DEVICE: COMN opens DEVICE; the link goes when the test ends.
link_com() {
    com_link=$WINEPREFIX/dosdevices/com$1
    ln -sfn "$(readlink -f "$2")" "$com_link"
    trap 'rm -f "$com_link"; cleanup' EXIT
}

# Wine writes its programs' line ends as \r\n.
strip_cr() {
    sed -i 's/\r$//' "$work/out" "$work/err"
}
