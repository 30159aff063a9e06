#!/usr/bin/env bash
# A whole solo game of the real program under Xvfb and a window manager, played with
# xdotool as a person would: start, pick balls, cover numbers, until the winner shows.
# Screenshots of a round under way and of the game's end are left in the build folder.
# Usage: test_solo_xvfb.sh <program> <build folder>
set -u
exe=${1:?program}
out=${2:?build folder}

for tool in Xvfb xdotool openbox import python3 timeout; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: $tool is not installed (scripts/install-deps installs it)"
        exit 0
    fi
done

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    import -display "$DISPLAY" -window root "$out/solo_xvfb_failed.png" 2>/dev/null
    echo "--- program log (tail) ---"
    tail -n 30 "$work/log" 2>/dev/null
    exit 1
}

free_port() {
    python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

display=""
for n in $(seq 91 140); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
        display=":$n"
        break
    fi
done
[ -n "$display" ] || fail "no free display number"
Xvfb "$display" -screen 0 1400x900x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=$display
timeout 15 bash -c 'until xdotool getmouselocation >/dev/null 2>&1; do sleep 0.2; done' \
    || fail "Xvfb did not start"
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
sleep 1

# A copy of its own, so its settings file is written in the temporary folder.
cp "$exe" "$work/quorvel"
(
    cd "$work" || exit 1
    HOME="$work" XDG_RUNTIME_DIR="$work" XDG_CONFIG_HOME="$work/config" \
        QT_QPA_PLATFORM=xcb QT_LOGGING_RULES="quorvel.client.info=true" \
        QUORVEL_BOT_SPEED_MS=30 QUORVEL_GAME_PORT="$(free_port)" QUORVEL_LOBBY_PORT="$(free_port)" \
        exec timeout 400 ./quorvel >"$work/log" 2>&1
) &
pids+=($!)

window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Quorvel by Orskel Software$' | head -n 1)
[ -n "$window" ] || fail "the main window did not appear"
# The solo start opens the lobby download window; put it out of the way.
download=$(timeout 10 xdotool search --sync --onlyvisible --name 'Download The Orskel Lobby' | head -n 1)
[ -n "$download" ] && xdotool windowmove "$download" 950 50
xdotool windowmove "$window" 20 20
xdotool windowactivate "$window" 2>/dev/null
sleep 1

logged_in() { grep -q "logged in at seat" "$work/log"; }
timeout 30 bash -c "until grep -q 'logged in at seat' '$work/log'; do sleep 0.2; done" || fail "no login"
logged_in || fail "no login"

# Where the window's client area really is: xwininfo's absolute place, which some window
# managers' frames make xdotool report wrongly.
origin() { # window -> "X Y"
    if command -v xwininfo >/dev/null 2>&1; then
        xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF} END {print x, y}'
    else
        eval "$(xdotool getwindowgeometry --shell "$1")"
        echo "$X $Y"
    fi
}
eval "$(xdotool getwindowgeometry --shell "$window")"
read -r X Y < <(origin "$window")
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
click 168 332
dialog=$(timeout 15 xdotool search --sync --onlyvisible --name '^Quorvel - Game Start$' | head -n 1)
[ -n "$dialog" ] || fail "the game start dialog did not open"
sleep 0.5
read -r X Y < <(origin "$dialog")
for _ in 1 2 3; do
    xdotool mousemove --sync $((X + 217)) $((Y + 58)) click 1
done
xdotool mousemove --sync $((X + 128)) $((Y + 279)) click 1
timeout 15 bash -c "while xdotool search --onlyvisible --name '^Quorvel - Game Start\$' >/dev/null; do sleep 0.2; done" \
    || fail "the game start dialog did not close"

cardLefts=(342 383 422 463 503 553 594 633 674 714)
rowTops=(99 138 177 216 255)
deadline=$((SECONDS + 300))
sweeps=0
while ! grep -q "game over:" "$work/log"; do
    [ "$SECONDS" -lt "$deadline" ] || fail "no winner in time"
    kill -0 "${pids[2]}" 2>/dev/null || fail "the program ended early"
    # Every hidden ball: the host takes the pick only on our turn.
    for column in 0 1 2 3 4 5 6 7; do
        # Stop at the game's end: the start button then lies over the board again.
        grep -q "game over:" "$work/log" && break 2
        if [ "$sweeps" -eq 0 ] && [ "$column" -eq 4 ]; then
            import -window root "$out/solo_xvfb_midround.png" && echo "saved $out/solo_xvfb_midround.png"
        fi
        for row in 0 1 2 3 4 5 6 7 8; do
            xdotool mousemove $((originX + 25 + 40 * column)) $((originY + 180 + 40 * row)) click 1
        done
    done
    # Every card cell: only drawn numbers are sent as covers.
    for left in "${cardLefts[@]}"; do
        grep -q "game over:" "$work/log" && break 2
        for top in "${rowTops[@]}"; do
            xdotool mousemove $((originX + left + 17)) $((originY + top + 14)) click 1
        done
    done
    sweeps=$((sweeps + 1))
    # The score sheet's OK.
    grep -q "round scored" "$work/log" && click 164 434
done
sleep 0.5
import -window root "$out/solo_xvfb_end.png" && echo "saved $out/solo_xvfb_end.png"
grep "game over:" "$work/log" | head -n 1
grep -q "round scored" "$work/log" || fail "no round was scored"
[ -f "$out/solo_xvfb_midround.png" ] || fail "no picture of the round under way"
echo "PASS: a whole solo game played by clicks"
exit 0
