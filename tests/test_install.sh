#!/usr/bin/env bash
# Installs the build into a staging folder as a package would (DESTDIR, prefix /usr),
# validates the desktop entry and the AppStream metainfo, and builds the Debian package.
# Usage: test_install.sh <program> <build folder>
set -euo pipefail
build=${2:?build folder}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

DESTDIR="$work/stage" cmake --install "$build" --prefix /usr >/dev/null
id=net.quorvel.Quorvel
share="$work/stage/usr/share"
for file in "$work/stage/usr/bin/quorvel" "$share/applications/$id.desktop" "$share/metainfo/$id.metainfo.xml" \
    "$share/icons/hicolor/scalable/apps/$id.svg" "$share/icons/hicolor/48x48/apps/$id.png" \
    "$share/icons/hicolor/256x256/apps/$id.png"; do
    [ -f "$file" ] || fail "not installed: ${file#"$work/stage"}"
done
[ -x "$work/stage/usr/bin/quorvel" ] || fail "the program is not executable"

desktop-file-validate "$share/applications/$id.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" || fail "metainfo"

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/package/quorvel_*.deb) || fail "no package"
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "dependencies were not found: $(dpkg-deb -f "$deb" Depends)"
dpkg-deb -c "$deb" >"$work/contents"
grep -q ' \./usr/bin/quorvel$' "$work/contents" || fail "package has no /usr/bin/quorvel"
echo "PASS: installed, validated and packaged as $(basename "$deb")"
