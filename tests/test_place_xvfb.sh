#!/usr/bin/env bash
# The window's saved place holds over ten starts and closes of the real program under Xvfb
# and a window manager (it used to creep up by the title bar's height).
# Usage: test_place_xvfb.sh <program> <build folder>
set -u
exe=${1:?program}
for tool in Xvfb openbox xprop xwininfo python3; do
    command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool is not installed"; exit 77; }
done
source "$(dirname "$0")/support/xvfb.sh"

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
wait_for 30 test -s "$work/display" || { echo "FAIL: no Xvfb"; exit 1; }
export DISPLAY=:$(cat "$work/display") QT_QPA_PLATFORM=xcb
openbox --sm-disable 2>/dev/null &
pids+=($!)
wait_for 60 sh -c "xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'" ||
    { echo "FAIL: no window manager"; exit 1; }

ini=$work/orsklobby.ini
printf '[Quorvel]\nLeft=100\nTop=80\nWidth=800\nHeight=600\n' >"$ini"
# The window's frame (client minus its offset in the frame) is at $1,$2.
frame_at() {
    xwininfo -name 'Quorvel by Orskel Software' 2>/dev/null | awk -v x="$1" -v y="$2" '
        /Absolute upper-left X/ { ax = $NF } /Absolute upper-left Y/ { ay = $NF }
        /Relative upper-left X/ { rx = $NF } /Relative upper-left Y/ { ry = $NF }
        END { exit !(ry > 0 && ax - rx == x && ay - ry == y) }'
}
place() { grep -E '^(Left|Top|Width|Height)=' "$ini" | tr -d '\r' | tr '\n' ' '; }
expected=$(place)
for start in $(seq 10); do
    QUORVEL_SETTINGS_DIR=$work QUORVEL_GAME_PORT=$(free_port) QUORVEL_LOBBY_PORT=$(free_port) \
        "$exe" >"$work/log" 2>&1 &
    program=$!
    # The settings are read at the own seat's announcement, which writes "Help".
    wait_for 60 grep -q '^Help=' "$ini" || { echo "FAIL: start $start never read the settings"; exit 1; }
    # The window manager frames the window and moves it to the stored place.
    wait_for 60 frame_at 100 80 || { echo "FAIL: start $start: the frame is not at 100,80"; exit 1; }
    kill -TERM "$program"
    wait "$program"
    [ "$(place)" = "$expected" ] || { echo "FAIL: start $start saved $(place), not $expected"; exit 1; }
    sed -i '/^Help=/d' "$ini"
done
echo "PASS: the place held over ten starts: $expected"
