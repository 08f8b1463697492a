#!/usr/bin/env bash
# Usage: PackageTest.sh BUILD_DIR VERSION
# Packages the build with its CPack configuration, then checks the package's
# files, fields and dependencies, validates the desktop entry and AppStream
# data it installs, and runs lintian on it.
set -euo pipefail
build=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack"; }
deb=$work/px520_${version}_amd64.deb
[ -f "$deb" ] || fail "no $(basename "$deb") in: $(ls "$work")"

dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$work/files"
for path in \
    /usr/bin/px520 /usr/bin/px520-cli /usr/bin/px520-sim \
    /usr/share/applications/io.github.px520.PX520.desktop \
    /usr/share/metainfo/io.github.px520.PX520.metainfo.xml \
    /usr/share/mime/packages/io.github.px520.PX520.xml \
    /usr/share/icons/hicolor/scalable/apps/px520.svg \
    /usr/share/icons/hicolor/16x16/apps/px520.png \
    /usr/share/icons/hicolor/256x256/apps/px520.png \
    /usr/share/man/man1/px520.1.gz /usr/share/man/man1/px520-cli.1.gz \
    /usr/share/man/man1/px520-sim.1.gz \
    /usr/share/bash-completion/completions/px520-cli \
    /usr/share/doc/px520/copyright /usr/share/doc/px520/changelog.gz; do
    grep -qx "$path" "$work/files" || fail "$path is not in the package"
done

depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libstdc++6 libqt6widgets6 libqt6gui6 libqt6core6; do
    [[ $depends == *"$library "* || $depends == *"$library," || $depends == *"$library" ]] ||
        fail "Depends lacks $library: $depends"
done
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version"
dpkg-deb -f "$deb" Description | grep "dialout" >/dev/null || fail "no serial-port group hint"

dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/io.github.px520.PX520.desktop" ||
    fail "desktop entry"
appstreamcli validate --no-net \
    "$work/root/usr/share/metainfo/io.github.px520.PX520.metainfo.xml" || fail "AppStream data"
grep -q 'MimeType=application/x-px520-table;' \
    "$work/root/usr/share/applications/io.github.px520.PX520.desktop" || fail "MIME type"
grep -q '<glob pattern="\*.tbl"/>' \
    "$work/root/usr/share/mime/packages/io.github.px520.PX520.xml" || fail "*.tbl glob"
[ "$(env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY "$work/root/usr/bin/px520" --version)" = "PX520 $version" ] ||
    fail "px520 --version"
[ "$("$work/root/usr/bin/px520-cli" --version)" = "px520-cli $version" ] || fail "px520-cli --version"
[ "$("$work/root/usr/bin/px520-sim" --version)" = "$version" ] || fail "px520-sim --version"
zcat "$work/root/usr/share/man/man1/px520-cli.1.gz" | grep "px520 $version" >/dev/null ||
    fail "man page version"
bash -n "$work/root/usr/share/bash-completion/completions/px520-cli" || fail "completion"

# Hardened programs: relocations read-only and bound at start.
for program in px520 px520-cli px520-sim; do
    readelf -d "$work/root/usr/bin/$program" | grep 'BIND_NOW' >/dev/null || fail "$program lacks BIND_NOW"
    readelf -l "$work/root/usr/bin/$program" | grep 'GNU_RELRO' >/dev/null || fail "$program lacks RELRO"
done
lintian --fail-on error "$deb" || fail "lintian"
echo "package $(basename "$deb") passes"
