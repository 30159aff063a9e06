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
module=usr/lib/quorvel/quorvel_sound.so
for file in "$work/stage/usr/bin/quorvel" "$work/stage/$module" "$share/applications/$id.desktop" "$share/metainfo/$id.metainfo.xml" \
    "$share/icons/hicolor/scalable/apps/$id.svg" "$share/icons/hicolor/48x48/apps/$id.png" \
    "$share/icons/hicolor/256x256/apps/$id.png"; do
    [ -f "$file" ] || fail "not installed: ${file#"$work/stage"}"
done
[ -x "$work/stage/usr/bin/quorvel" ] || fail "the program is not executable"

# The installed program finds its sound module once its window is up.
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
mkdir "$work/home"
QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES="quorvel.client.info=true" QUORVEL_SETTINGS_DIR="$work/home" \
    TMPDIR="$work/home" QUORVEL_GAME_PORT="$port" "$work/stage/usr/bin/quorvel" >"$work/run.log" 2>&1 &
program=$!
for _ in $(seq 300); do
    grep -q "sound module loaded from" "$work/run.log" && break
    kill -0 "$program" 2>/dev/null || break
    sleep 0.1
done
kill "$program" 2>/dev/null || true
wait "$program" 2>/dev/null || true
grep -q "sound module loaded from .*/usr/bin/../lib/quorvel/quorvel_sound.so" "$work/run.log" ||
    { cat "$work/run.log"; fail "the installed program did not load its sound module"; }

desktop-file-validate "$share/applications/$id.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" || fail "metainfo"

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/package/quorvel_*.deb) || fail "no package"
depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends == *libqt6widgets6* && $depends == *libqt6multimedia6* ]] || fail "dependencies were not found: $depends"
dpkg-deb -c "$deb" >"$work/contents"
for file in usr/bin/quorvel "$module"; do
    grep -q " \./$file\$" "$work/contents" || fail "package has no /$file"
done
echo "PASS: installed, validated and packaged as $(basename "$deb")"
