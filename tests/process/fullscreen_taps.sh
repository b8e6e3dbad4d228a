#!/usr/bin/env bash
# Fullscreen on a desktop with a window manager: F11 shows the display as large as fits the
# screen with its own aspect, centred on black; Alt+Enter brings the window back. Neither pauses
# the game, and taps land on the creature under the pointer in both: the design point of every tap
# and the board afterwards are checked against the session tool playing the same taps headless.
# Usage: fullscreen_taps.sh REPORT_GAME SESSION_TOOL CAPTURE_DIR
set -u
game=$1 session=$2 captures=$3
work=$(mktemp -d /tmp/squibly-fullscreen-XXXXXX)
out=$work/out.txt
report=$work/report.txt
. "$(dirname "$0")/desktop_helpers.sh"
trap 'desktop_cleanup; rm -rf "$work"' EXIT
mkdir -p "$captures"
# A folder of its own beside the same Media: the game saves beside itself, and a game saved by
# an earlier run (or by a game started in build/) would otherwise be resumed instead of a new one.
mkdir -p "$work/game"
cp "$game" "$work/game/"
ln -s "$(cd "$(dirname "$game")" && pwd)/Media" "$work/game/Media"
game=$work/game/$(basename "$game")

SW=1920 SH=1200 DW=768 DH=1024 SEED=5
fullscreen=0 wid=""

wait_report() {  # extended pattern in the latest state report
    for _ in $(seq 200); do
        grep -q -E -- "$1" "$report" 2>/dev/null && return 0
        kill -0 "$game_pid" 2>/dev/null || fail "game ended before report: $1"
        sleep 0.05
    done
    echo "---- last report ----"; cat "$report" 2>/dev/null
    fail "no report with: $1"
}

tap() {  # column row clicks
    local dx=$((35 + 50 * $1)) dy=$((35 + 50 * $2)) vx vy sx sy
    read -r vx vy < <(design_to_display "$dx" "$dy" "$DW" "$DH")
    if [ "$fullscreen" = 1 ]; then
        read -r sx sy < <(display_to_screen "$vx" "$vy" "$DW" "$DH" "$SW" "$SH")
        timeout 5 xdotool mousemove "$sx" "$sy"
    else
        timeout 5 xdotool mousemove --window "$wid" "$vx" "$vy"
    fi
    sleep 0.2
    timeout 5 xdotool click --repeat "$3" --delay 120 1
}

# The design point the game read for the last touch lies within a unit of the cell's centre.
expect_touch_at() {  # column row
    awk -v x=$((35 + 50 * $1)) -v y=$((35 + 50 * $2)) '$1 == "touch" {
        d = ($2 - x) ^ 2 + ($3 - y) ^ 2; found = 1; if (d > 2) { print "touch at " $2 "," $3; exit 1 } }
        END { if (!found) exit 1 }' "$report" || fail "touch of cell $1,$2 landed elsewhere"
}

start_xvfb ${SW}x${SH}
start_wm
SDL_AUDIODRIVER=dummy SQUIBLY_DISPLAY=${DW}x${DH} SQUIBLY_START_MODE=arcade SQUIBLY_SEED=$SEED \
    SQUIBLY_REPORT=$report SQUIBLY_TRACE_EVENTS=1 "$game" >"$out" 2>&1 &
game_pid=$!
wid=$(window_id)
timeout 5 xdotool windowactivate --sync "$wid" >/dev/null 2>&1
wait_report "boardPhase 2 busy 0"

# In the window: a double tap switches creature (2, 3) into its twin.
import -window "$wid" "$captures/window.png"
tap 2 3 2
wait_report "flips 1 "
expect_touch_at 2 3

# Fullscreen by F11.
timeout 5 xdotool key F11
wait_line "fullscreen ${SW}x${SH}"
fullscreen=1
sleep 1
import -window root "$captures/fullscreen.png"
read -r pw ph < <(awk -v w=$DW -v h=$DH -v sw=$SW -v sh=$SH 'BEGIN {
    s = sw / w; if (sh / h < s) s = sh / h; printf "%d %d\n", int(w * s + 0.5), int(h * s + 0.5) }')
px=$(((SW - pw) / 2)) py=$(((SH - ph) / 2))
echo "fullscreen picture ${pw}x${ph} at $px,$py"
[ "$px" -gt 0 ] || fail "the test screen should leave room beside the picture"
[ "$(region_max "$captures/fullscreen.png" "${px}x${SH}+0+0")" = 0 ] || fail "left border not black"
[ "$(region_max "$captures/fullscreen.png" "$((SW - px - pw))x${SH}+$((px + pw))+0")" = 0 ] || fail "right border not black"
# The game letterboxes its 320 x 480 design area inside the display; that area's edges, carried
# through the fullscreen fit, must show: black just outside, the game's water just inside, and
# water in the top and bottom rows (the fit uses the screen's whole height).
read -r left top < <(design_to_display 0 0 "$DW" "$DH")
read -r right bottom < <(design_to_display 320 480 "$DW" "$DH")
read -r left top < <(display_to_screen "$left" "$top" "$DW" "$DH" "$SW" "$SH")
read -r right bottom < <(display_to_screen "$((right - 1))" "$((bottom - 1))" "$DW" "$DH" "$SW" "$SH")
column_mean() { region_mean "$captures/fullscreen.png" "1x${ph}+$1+${py}"; }
row_mean() { region_mean "$captures/fullscreen.png" "$((right - left))x1+${left}+$1"; }
bright() { awk -v m="$1" 'BEGIN { exit !(m > 0.05) }'; }
[ "$(column_mean $((left - 3)))" = 0 ] && [ "$(column_mean $((right + 3)))" = 0 ] ||
    fail "picture wider than the fit: columns $((left - 3)) or $((right + 3)) are not black"
bright "$(column_mean $((left + 2)))" && bright "$(column_mean $((right - 2)))" ||
    fail "picture narrower than the fit: columns $((left + 2)) or $((right - 2)) are dark"
bright "$(row_mean $((py + 1)))" && bright "$(row_mean $((py + ph - 2)))" ||
    fail "picture does not fill rows $((py + 1)) to $((py + ph - 2))"
tap 5 0 2
wait_report "flips 2 "
expect_touch_at 5 0

# Back to the window by Alt+Enter: the same size as before, taps as before.
timeout 5 xdotool key alt+Return
wait_line "windowed ${DW}x${DH}"
fullscreen=0
sleep 1
geometry=$(xwininfo -id "$wid" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
[ "$geometry" = "${DW}x${DH}" ] || fail "window is $geometry after leaving fullscreen"
import -window "$wid" "$captures/back.png"
awk -v m="$(region_mean "$captures/back.png" "${DW}x${DH}+0+0")" 'BEGIN { exit !(m > 0.1) }' || fail "window is dark"
tap 0 5 2
wait_report "flips 3 "
expect_touch_at 0 5
tap 3 4 1
wait_report "selected 28$"
expect_touch_at 3 4

# The session tool, playing the same taps headless, ends with the same board.
cat >"$work/taps.txt" <<TAPS
mode arcade
seed $SEED
display ${DW}x${DH}
300 135 185 1
306 135 185 0
312 135 185 1
318 135 185 0
400 285 35 1
406 285 35 0
412 285 35 1
418 285 35 0
500 35 285 1
506 35 285 0
512 35 285 1
518 35 285 0
600 185 235 1
606 185 235 0
report 700
ticks 700
TAPS
"$session" "$work/taps.txt" --out "$work/headless.txt" || fail "session tool failed"
grep -q "score 0 " "$work/headless.txt" || fail "the chosen taps clear a group headless; pick other cells"
diff <(grep -E "^  kinds" "$work/headless.txt") <(grep -E "^  kinds" "$report") ||
    fail "board differs from the headless run of the same taps"

grep -q "report game: pause" "$out" && fail "a fullscreen switch paused the game"
grep -q "pause loop" "$out" && fail "the game entered its pause loop"
kill -TERM "$game_pid"
wait "$game_pid" || fail "exit status $?"
game_pid=""
echo "fullscreen and window: taps on the right creatures, no pause; captures in $captures"
