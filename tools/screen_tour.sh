#!/usr/bin/env bash
# Walks the real game through every screen a player can reach, under its own Xvfb at the tablet's
# 768 x 1024, clicking with xdotool as a finger would, and captures each screen as a PNG.
# Usage: tools/screen_tour.sh [BUILD_DIR] [OUT_DIR]
# The game runs from a scratch copy, so the build folder's save files are left alone. Each step
# also checks, from the game's own output, that the click was taken (see SQUIBLY_TRACE_SCREENS).
set -u
build=$(cd "${1:-build}" && pwd)
out=$(mkdir -p "${2:-$build/screen-tour}" && cd "${2:-$build/screen-tour}" && pwd)
work=$(mktemp -d /tmp/squibly-tour-XXXXXX)
xvfb_pid="" game_pid=""
failures=0

cleanup() {
    [ -n "$game_pid" ] && kill -TERM "$game_pid" 2>/dev/null && sleep 0.5 && kill -KILL "$game_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

die() { echo "tour: $*" >&2; exit 1; }

for tool in Xvfb xdotool import; do command -v "$tool" >/dev/null || die "$tool missing (tools/setup.sh installs it)"; done
[ -x "$build/squibly" ] || die "no game at $build/squibly"

mkdir -p "$work/game"
cp "$build/squibly" "$work/game/"
ln -s "$build/Media" "$work/game/Media"

Xvfb -displayfd 3 -screen 0 768x1024x24 -noreset -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || die "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"

# The browser the rating prompt would open is recorded instead of started.
printf '#!/bin/sh\necho "$1" >> "%s/browser.txt"\n' "$work" > "$work/browser"
chmod +x "$work/browser"

(cd "$work/game" && HOME="$work" SDL_AUDIODRIVER=dummy SQUIBLY_SEED="${SQUIBLY_SEED:-7}" \
    SQUIBLY_BROWSER="$work/browser" SQUIBLY_TRACE_SCREENS=1 ./squibly >"$work/out.txt" 2>&1) &
game_pid=$!

wid=""
for _ in $(seq 100); do
    wid=$(timeout 5 xdotool search --name '^Squibly$' 2>/dev/null | head -n1)
    [ -n "$wid" ] && break
    sleep 0.1
done
[ -n "$wid" ] || die "the game window did not appear"

# Design units (320 x 480) to window pixels: scale 1024 / 480, centred across 768.
px() { awk -v x="$1" -v y="$2" 'BEGIN { s = 1024 / 480; printf "%d %d", (768 - 320 * s) / 2 + x * s, y * s }'; }

tap() {  # x y [hold seconds]
    # shellcheck disable=SC2046
    timeout 5 xdotool mousemove --window "$wid" $(px "$1" "$2")
    timeout 5 xdotool mousedown 1
    sleep "${3:-0.08}"
    timeout 5 xdotool mouseup 1
}

drag() {  # x y1 y2: press at (x, y1), move to y2 in steps, release
    # shellcheck disable=SC2046
    timeout 5 xdotool mousemove --window "$wid" $(px "$1" "$2")
    timeout 5 xdotool mousedown 1
    local y=$2 step=$(( $3 > $2 ? 8 : -8 ))
    while [ $(( (y - $3) * step )) -lt 0 ]; do
        y=$((y + step))
        # shellcheck disable=SC2046
        timeout 5 xdotool mousemove --window "$wid" $(px "$1" "$y")
        sleep 0.02
    done
    timeout 5 xdotool mouseup 1
}

# Waits until the game reports that it shows screen $1 (its phase line), up to $2 seconds.
wait_screen() {
    for _ in $(seq $(( ${2:-20} * 10 ))); do
        tail -n 1 "$work/screens.txt" 2>/dev/null | grep -q "^screen $1 " && return 0
        grep "^screen " "$work/out.txt" > "$work/screens.txt" 2>/dev/null
        kill -0 "$game_pid" 2>/dev/null || die "the game ended"
        sleep 0.1
    done
    echo "tour: screen $1 not reached; last: $(tail -n 1 "$work/screens.txt")" >&2
    failures=$((failures + 1))
    return 1
}

shot() {  # name
    timeout 10 import -window "$wid" "$out/$1.png" || die "capture $1 failed"
    echo "captured $1"
}

wait_screen 1 30 && sleep 2.2 && shot 01_main_menu

# Options: each slider dragged, each switch flipped, reset declined and confirmed.
tap 160 250 && wait_screen 4 && sleep 0.8
drag 22 97 97; tap 200 97; tap 120 164; tap 298 231
tap 155 285; sleep 0.4; tap 155 330; sleep 0.4
tap 160 420; sleep 0.4
shot 02_options_changed
tap 160 375 && sleep 0.5 && shot 03_options_are_you_sure
tap 256 270 && sleep 0.5
tap 160 375 && sleep 0.5 && tap 60 270 && sleep 0.5
tap 155 285; sleep 0.4; tap 155 330; sleep 0.4; tap 160 420; sleep 0.4
shot 04_options_restored
tap 160 460 && wait_screen 1 && sleep 2

# Challenges: select a locked one and a skilled one.
tap 160 302 && wait_screen 5 && sleep 0.8
tap 96 170 && sleep 0.3 && shot 05_challenges_locked
tap 32 100 && sleep 0.3 && shot 06_challenges_skilled
tap 160 460 && wait_screen 1 && sleep 2

# Every scored mode open to ZEN (locked): start, pause, back, overlay, quit, results. Two more
# games make five finished, which brings the rating prompt.
game_number=0
for mode in 3 1 2 1 1; do
    y=$(( 58 + 96 * (mode == 3 ? 0 : mode == 1 ? 1 : 2) + 45 ))
    tap 160 158 && wait_screen 2 && sleep 0.8
    [ $game_number -eq 0 ] && shot 07_game_mode && tap 160 430 && sleep 0.3 && shot 08_game_mode_zen_locked
    tap 160 "$y" && wait_screen 7 && sleep 4
    if [ $game_number -lt 3 ]; then
        shot "1${game_number}_game_mode_${mode}"
        tap 25 455 && wait_screen 8 && sleep 0.6 && shot "1${game_number}_paused_overlay"
        tap 25 455 && wait_screen 7 && sleep 0.4
        tap 75 455 && wait_screen 9 && sleep 0.6 && shot "1${game_number}_pause_menu"
        tap 40 305 && wait_screen 7 && sleep 0.4
    fi
    tap 75 455 && wait_screen 9 && sleep 0.4
    tap 280 305 && wait_screen 6 15 && sleep 1.5
    [ $game_number -lt 3 ] && shot "1${game_number}_results"
    tap 160 300 && wait_screen 1 && sleep 2
    game_number=$((game_number + 1))
done
tap 160 158 && wait_screen 2 && sleep 1 && shot 15_rating_prompt
tap 230 325 && sleep 0.8 && shot 16_game_mode_after_no_thanks
tap 160 460 && wait_screen 1 && sleep 2

# The high-score list, dragged up and left to drift.
tap 160 350 && wait_screen 10 && sleep 0.8 && shot 20_high_scores
drag 160 380 200 && sleep 0.5 && shot 21_high_scores_dragged
tap 160 460 && wait_screen 1 && sleep 2 && shot 22_main_menu_again

# The tutorial: every panel once it waits (its trace line), each answered by NEXT, then EXIT from
# the last one back to the main menu.
wait_panel() {  # step
    for _ in $(seq 200); do
        grep -q "^tutorial step $1 panel 0" "$work/out.txt" && return 0
        sleep 0.1
    done
    echo "tour: tutorial step $1 not reached" >&2
    failures=$((failures + 1))
    return 1
}
tap 160 206 && wait_screen 3
for panel in 1 2 3 4 5 6 7 8 9; do
    wait_panel $((3 * panel - 1)) && sleep 0.3 && shot "3${panel}_tutorial_panel_${panel}"
    [ "$panel" -lt 9 ] && tap 60 460
done
tap 255 460 && wait_screen 1 && sleep 2 && shot 40_main_menu_after_tutorial

echo "tour: $failures screen(s) not reached; captures in $out"
[ "$failures" -eq 0 ]
