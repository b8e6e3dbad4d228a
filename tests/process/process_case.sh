#!/usr/bin/env bash
# Runs the lifecycle test game under its own Xvfb (and, where a desktop is needed, a window
# manager) for one case, and checks its output lines, exit status and behaviour.
# Usage: process_case.sh CASE GAME
set -u
case_name=$1
game=$2
work=$(mktemp -d /tmp/squibly-process-XXXXXX)
out=$work/out.txt
. "$(dirname "$0")/desktop_helpers.sh"
trap 'desktop_cleanup; rm -rf "$work"' EXIT

start_game() {  # then waits for the frame loop unless told not to
    SDL_AUDIODRIVER=dummy SQUIBLY_TRACE_EVENTS=1 "$game" >"$out" 2>&1 &
    game_pid=$!
    [ "${1:-}" = nowait ] || wait_line "test game: 30 frames"
}

count() { grep -c -x -- "$1" "$out"; }

# Context switches of all the game's threads so far: each is a sleep and a wake-up.
switches() {
    cat /proc/"$game_pid"/task/*/status 2>/dev/null |
        awk '/^voluntary_ctxt_switches|^nonvoluntary_ctxt_switches/ {s += $2} END {print s}'
}
expect_count() { [ "$(count "$1")" -eq "$2" ] || fail "$1 seen $(count "$1") times, wanted $2"; }

wait_exit() {  # ends with status 0, else fails
    for _ in $(seq 200); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.05; done
    kill -0 "$game_pid" 2>/dev/null && fail "game still running"
    wait "$game_pid"
    local status=$?
    game_pid=""
    [ "$status" -eq 0 ] || fail "exit status $status"
}

expect_shutdown_lines() {
    local tail_lines
    tail_lines=$(grep -x -E "test game: KRT_ON_QUIT|Shut down KRT|krt is shut down|PDL_Quit|</PDL_Quit>|exit" "$out" | tr '\n' '|')
    [ "$tail_lines" = "test game: KRT_ON_QUIT|Shut down KRT|krt is shut down|PDL_Quit|</PDL_Quit>|exit|" ] ||
        fail "shutdown lines: $tail_lines"
    [ "$(tail -n1 "$out")" = "exit" ] || fail "last line is not exit"
}

expect_clean_end() {
    wait_exit
    grep -q "KRT Error" "$out" && fail "error line printed"
    expect_shutdown_lines  # the quit callback exactly once among them
}

term_and_clean_end() {
    kill -TERM "$game_pid"
    expect_clean_end
}

expect_startup_lines() {
    local seen
    seen=$(grep -x -E "timer|voza|voza init|Cptn|Network|Input|Window mode|Create DXin|sdl_grab|reptr|getexe|cd|set cdir to: .*|exepath=curdir= .*|Init Finalized" "$out" |
        sed -e 's/^set cdir to: .*/set cdir to/' -e 's/^exepath=curdir= .*/exepath/' | tr '\n' '|')
    [ "$seen" = "timer|voza|voza init|Cptn|Network|Input|Window mode|Create DXin|sdl_grab|reptr|getexe|cd|set cdir to|exepath|Init Finalized|" ] ||
        fail "start-up lines: $seen"
    grep -q -x "set cdir to: $(dirname "$(readlink -f "$game")")" "$out" || fail "working directory is not the executable's folder"
}

case "$case_name" in
startup_and_term)
    start_xvfb
    start_game
    expect_startup_lines
    term_and_clean_end
    ;;
window_close)
    start_xvfb
    start_wm
    start_game
    window_id >/dev/null
    wmctrl -c Squibly || fail "wmctrl could not ask the window to close"
    expect_clean_end
    ;;
alt_f4)
    # No window manager: only the runtime's own quit-key check can end the game.
    start_xvfb
    start_game
    wid=$(window_id)
    timeout 5 xdotool mousemove --window "$wid" 100 100
    timeout 5 xdotool keydown --window "$wid" Alt_L keydown --window "$wid" F4
    sleep 0.3
    timeout 5 xdotool keyup --window "$wid" F4 keyup --window "$wid" Alt_L 2>/dev/null
    expect_clean_end
    ;;
iconify_pause)
    start_xvfb
    start_wm
    start_game
    wid=$(window_id)
    timeout 5 xdotool windowactivate --sync "$wid" >/dev/null 2>&1
    sleep 0.5
    timeout 5 xdotool windowminimize --sync "$wid" || fail "minimize failed"
    wait_line "test game: KRT_ON_PAUSE"
    wait_line "pause loop in showscreen/hibernate"
    sleep 0.5
    before=$(awk '{print $14 + $15}' "/proc/$game_pid/stat")
    switches_before=$(switches)
    sleep 4
    ticks=$(( $(awk '{print $14 + $15}' "/proc/$game_pid/stat") - before ))
    wakeups=$(( ($(switches) - switches_before) / 4 ))
    percent=$(awk -v d="$ticks" -v hz="$(getconf CLK_TCK)" 'BEGIN { printf "%.1f", 100 * d / (hz * 4) }')
    echo "CPU while paused: ${percent}% ($ticks ticks over 4 s), $wakeups wake-ups per second"
    awk -v p="$percent" 'BEGIN { exit !(p <= 5.0) }' || fail "CPU while paused ${percent}%"
    # The pause loop's five a second and the window watch's round trips to the X server, and no
    # thread of SDL's (timer, mixer) ticking meanwhile.
    [ "$wakeups" -le 20 ] || fail "$wakeups wake-ups per second while paused"
    timeout 5 xdotool windowactivate --sync "$wid" >/dev/null 2>&1 || timeout 5 xdotool windowmap "$wid"
    wait_line "test game: KRT_ON_RESUME"
    wait_line "pause loop ended"
    sleep 0.5
    expect_count "test game: KRT_ON_PAUSE" 1
    expect_count "test game: KRT_ON_RESUME" 1
    # A quit that arrives while paused still ends the program cleanly.
    timeout 5 xdotool windowminimize --sync "$wid" || fail "second minimize failed"
    for _ in $(seq 100); do [ "$(count 'test game: KRT_ON_PAUSE')" -eq 2 ] && break; sleep 0.05; done
    expect_count "test game: KRT_ON_PAUSE" 2
    term_and_clean_end
    ;;
mouse_out)
    # A window smaller than the screen, so the pointer can leave it.
    start_xvfb
    start_wm
    export SQUIBLY_DISPLAY=320x480
    start_game
    wid=$(window_id)
    timeout 5 xdotool windowactivate --sync "$wid" >/dev/null 2>&1
    timeout 5 xdotool mousemove --window "$wid" 100 100
    sleep 0.3
    timeout 5 xdotool mousemove 700 1000
    wait_line "event: active gain=0 state=1"
    timeout 5 xdotool mousemove --window "$wid" 50 50
    wait_line "event: active gain=1 state=1"
    sleep 0.5
    grep -q "KRT_ON_PAUSE\|KRT_ON_RESUME\|pause loop" "$out" && fail "mouse leaving the window paused the game"
    term_and_clean_end
    ;;
array_fault)
    start_xvfb
    SQUIBLY_TEST_FAULT=array start_game nowait
    wait_exit
    for line in "KRT Error: 9" "bounds: \[  10\]\[   5\]" "access: \[  12\]\[   0\]"; do
        grep -q -x "$line" "$out" || fail "no line: $line"
    done
    expect_shutdown_lines
    ;;
game_returns)
    start_xvfb
    SQUIBLY_TEST_FAULT=return start_game nowait
    expect_clean_end
    ;;
no_display)
    # Without any display the runtime says why and ends cleanly, never entering the game.
    unset DISPLAY
    start_game nowait
    expect_clean_end
    grep -q "^Can't open the display" "$out" || fail "no reason printed"
    grep -q "test game: running\|Init Finalized" "$out" && fail "entered the game without a display"
    ;;
window_destroyed | connection_cut)
    # Another client destroys the window (no window manager to ask), or the X server drops the
    # game's connection: a quit through the normal shutdown, not an endless pause.
    start_xvfb
    start_game
    wid=$(window_id)
    if [ "$case_name" = window_destroyed ]; then
        timeout 5 xdotool windowclose "$wid"
        expected="window destroyed"
    else
        timeout 5 xdotool windowkill "$wid"
        expected="X connection lost"
    fi
    expect_clean_end
    grep -q -x "$expected" "$out" || fail "no line: $expected"
    ;;
quick_click)
    # Press and release reach the game in one pump; the press must still be seen once.
    start_xvfb
    start_game
    wid=$(window_id)
    for at in "200 300" "767 1023"; do
        timeout 5 xdotool mousemove --window "$wid" $at click 1
        wait_line "test game: press at ${at/ /,}"
    done
    sleep 0.3
    [ "$(grep -c "test game: press at" "$out")" -eq 2 ] || fail "presses seen: $(grep -c "test game: press at" "$out")"
    term_and_clean_end
    ;;
display_size)
    # The emulated display: exactly the tablet under a 768x1024 screen, the largest 3:4 portrait
    # size on a landscape desktop, and whatever SQUIBLY_DISPLAY asks for.
    for sizes in "768x1024 - 768x1024" "1920x1080 - 768x1024" "1280x800 - 600x800" \
        "1920x1080 320x480 320x480" "768x1024 1024x768 1024x768"; do
        read -r screen override wanted <<<"$sizes"
        start_xvfb "$screen"
        if [ "$override" != - ]; then export SQUIBLY_DISPLAY=$override; else unset SQUIBLY_DISPLAY; fi
        start_game
        size=$(xwininfo -id "$(window_id)" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
        [ "$size" = "$wanted" ] || fail "screen $screen override $override: window $size, wanted $wanted"
        term_and_clean_end
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
        xvfb_pid=""
    done
    ;;
*)
    fail "unknown case"
    ;;
esac
echo "PASS ($case_name)"
