#!/usr/bin/env bash
# A whole solo game of the real program under Xvfb and a window manager, played with
# xdotool as a person would: start, pick balls, cover numbers, until the winner shows.
# Screenshots of a round under way and of the game's end are left in the build folder.
# Usage: test_solo_xvfb.sh <program> <build folder>
set -u
exe=${1:?program}
out=${2:?build folder}

for tool in Xvfb xdotool xwininfo xprop openbox import python3 timeout; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: $tool is not installed (scripts/install-deps installs it)"
        exit 0
    fi
done

source "$(dirname "$0")/support/xvfb.sh"
rm -f "$out"/solo_xvfb_*.png

fail() {
    echo "FAIL: $*"
    [ -n "${DISPLAY:-}" ] && import -display "$DISPLAY" -window root "$out/solo_xvfb_failed.png" 2>/dev/null
    echo "--- program log (tail) ---"
    tail -n 30 "$work/log" 2>/dev/null
    exit 1
}


# The first visible window with a title matching $1, if any. Windows come and go while
# xdotool walks the tree; an X error (BadWindow) then only means "not this time".
find_window() {
    xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1
}
# wait_window <title> <seconds>: prints the window once it is there.
wait_window() {
    local deadline=$((SECONDS + $2)) id
    while :; do
        id=$(find_window "$1")
        [ -n "$id" ] && echo "$id" && return 0
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.2
    done
}
window_gone() { [ -z "$(find_window "$1")" ]; }

# Where a window's client area really is: xwininfo's absolute place, which some window
# managers' frames make xdotool report wrongly. Prints "X Y"; fails if the window is gone.
origin() {
    local place
    place=$(xwininfo -id "$1" 2>/dev/null \
        | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF} END {if (x != "" && y != "") print x, y}')
    [ -n "$place" ] && echo "$place"
}
# True when the window's place reads the same twice: the window manager has placed it.
placed() {
    local first second
    first=$(origin "$1") || return 1
    sleep 0.2
    second=$(origin "$1") || return 1
    [ "$first" = "$second" ]
}
# moved_to <window> <x> <y>: asks the window manager once more and checks the window's
# client area lies at most a frame's width right of and below that place.
moved_to() {
    local x y
    xdotool windowmove "$1" "$2" "$3" 2>/dev/null
    read -r x y < <(origin "$1") || return 1
    [ "$x" -ge "$2" ] && [ "$x" -lt $(($2 + 40)) ] && [ "$y" -ge "$3" ] && [ "$y" -lt $(($3 + 60)) ]
}

# Xvfb picks a free display itself and names it once it takes connections, so runs started
# side by side never share one.
Xvfb -displayfd 3 -screen 0 1400x900x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
display_named() { grep -q '^[0-9]' "$work/display"; }
wait_for 60 display_named || fail "Xvfb did not start"
export DISPLAY=":$(head -n 1 "$work/display")"
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
wait_for 60 wm_running || fail "the window manager did not start"

# A copy of its own, so its settings file is written in the temporary folder; a temporary
# folder of its own too, so no other running copy (another test run, the user's game) makes
# it end at once as a second copy.
cp "$exe" "$work/quorvel"
(
    cd "$work" || exit 1
    HOME="$work" TMPDIR="$work" XDG_RUNTIME_DIR="$work" XDG_CONFIG_HOME="$work/config" \
        QT_QPA_PLATFORM=xcb QT_LOGGING_RULES="quorvel.client.info=true" \
        QUORVEL_BOT_SPEED_MS=30 QUORVEL_GAME_PORT="$(free_port)" QUORVEL_LOBBY_PORT="$(free_port)" \
        exec timeout 820 ./quorvel >"$work/log" 2>&1
) &
pids+=($!)
seen() { grep -q "$1" "$work/log"; }

window=$(wait_window '^Quorvel by Orskel Software$' 120) || fail "the main window did not appear"
# The solo start opens the lobby download window; put it out of the way.
download=$(wait_window 'Download The Orskel Lobby' 120) || fail "the download window did not appear"
wait_for 60 moved_to "$download" 950 50 || fail "the download window could not be moved"
wait_for 60 moved_to "$window" 20 20 || fail "the main window could not be moved"
xdotool windowactivate "$window" 2>/dev/null
wait_for 120 seen "logged in at seat" || fail "no login"

wait_for 30 placed "$window" || fail "the main window does not stay in place"
WIDTH=0 HEIGHT=0
eval "$(xdotool getwindowgeometry --shell "$window" 2>/dev/null)"
read -r X Y < <(origin "$window") || fail "the main window went away"
originX=$X
# The table lies under the menu bar: the client area is the table's 530 pixels plus the bar.
menubar=$((HEIGHT - 530))
if [ "$menubar" -lt 10 ] || [ "$menubar" -gt 40 ]; then menubar=24; fi
originY=$((Y + menubar))
echo "main window at $X,$Y size ${WIDTH}x$HEIGHT; table at $originX,$originY"

click() { # x y within the table
    xdotool mousemove --sync $((originX + $1)) $((originY + $2)) click 1
}

# The start button over the board, then the dialog: play-to-score down to its least, start.
# A click lost on a busy machine is clicked again.
start_dialog_open() {
    click 168 332
    dialog=$(wait_window '^Quorvel - Game Start$' 10)
}
wait_for 120 start_dialog_open || fail "the game start dialog did not open"
wait_for 30 placed "$dialog" || fail "the game start dialog does not stay in place"
read -r X Y < <(origin "$dialog") || fail "the game start dialog went away"
for _ in 1 2 3; do
    xdotool mousemove --sync $((X + 217)) $((Y + 58)) click 1
done
start_dialog_closed() {
    window_gone '^Quorvel - Game Start$' && return 0
    xdotool mousemove --sync $((X + 128)) $((Y + 279)) click 1
    wait_for 10 window_gone '^Quorvel - Game Start$'
}
wait_for 120 start_dialog_closed || fail "the game start dialog did not close"
# At once: on a busy machine the computer players may end the game before our first sweep.
import -window root "$out/solo_xvfb_midround.png" && echo "saved $out/solo_xvfb_midround.png"

cardLefts=(342 383 422 463 503 553 594 633 674 714)
rowTops=(99 138 177 216 255)
deadline=$((SECONDS + 600))
while ! seen "game over:"; do
    [ "$SECONDS" -lt "$deadline" ] || fail "no winner in time"
    kill -0 "${pids[2]}" 2>/dev/null || fail "the program ended early"
    # Every hidden ball: the host takes the pick only on our turn.
    for column in 0 1 2 3 4 5 6 7; do
        # Stop at the game's end: the start button then lies over the board again.
        seen "game over:" && break 2
        for row in 0 1 2 3 4 5 6 7 8; do
            xdotool mousemove $((originX + 25 + 40 * column)) $((originY + 180 + 40 * row)) click 1
        done
    done
    # Every card cell: only drawn numbers are sent as covers.
    for left in "${cardLefts[@]}"; do
        seen "game over:" && break 2
        for top in "${rowTops[@]}"; do
            xdotool mousemove $((originX + left + 17)) $((originY + top + 14)) click 1
        done
    done
    # The score sheet's OK.
    seen "round scored" && click 164 434
done
import -window root "$out/solo_xvfb_end.png" && echo "saved $out/solo_xvfb_end.png"
grep "game over:" "$work/log" | head -n 1
seen "round scored" || fail "no round was scored"
[ -f "$out/solo_xvfb_midround.png" ] || fail "no picture of the round under way"
echo "PASS: a whole solo game played by clicks"
exit 0
