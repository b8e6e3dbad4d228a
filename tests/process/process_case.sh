#!/usr/bin/env bash
# Runs the lifecycle test game under its own Xvfb (and, where a desktop is needed, a window
# manager) for one case, and checks its output lines, exit status and behaviour.
# Usage: process_case.sh CASE GAME
set -u
case_name=$1
game=$2
work=$(mktemp -d /tmp/squibly-process-XXXXXX)
out=$work/out.txt
xvfb_pid=""
wm_pid=""
game_pid=""

cleanup() {
    [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL ($case_name): $*"
    echo "---- game output ----"
    cat "$out" 2>/dev/null
    exit 1
}

start_xvfb() {  # [screen size]
    # -displayfd picks a free display number and tells us which.
    Xvfb -displayfd 3 -screen 0 "${1:-768x1024}x24" -noreset -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$work/display" ] && break
        sleep 0.05
    done
    [ -s "$work/display" ] || fail "Xvfb did not start"
    export DISPLAY=":$(head -n1 "$work/display")"
}

start_wm() {
    command -v openbox >/dev/null || { echo "openbox missing (tools/setup.sh installs it)"; exit 77; }
    openbox --sm-disable --config-file /dev/null >/dev/null 2>&1 &
    wm_pid=$!
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && return
        sleep 0.05
    done
    fail "window manager did not start"
}

start_game() {
    SDL_AUDIODRIVER=dummy SQUIBLY_TRACE_EVENTS=1 "$game" >"$out" 2>&1 &
    game_pid=$!
}

wait_line() {  # pattern [seconds]
    local limit=$(( ${2:-20} * 20 ))
    for _ in $(seq "$limit"); do
        grep -q -- "$1" "$out" && return 0
        kill -0 "$game_pid" 2>/dev/null || { grep -q -- "$1" "$out" && return 0; fail "game ended before: $1"; }
        sleep 0.05
    done
    fail "no line: $1"
}

count() { grep -c -x -- "$1" "$out"; }

window_id() {
    local id=""
    for _ in $(seq 40); do
        id=$(timeout 5 xdotool search --name '^Squibly$' 2>/dev/null | head -n1)
        [ -n "$id" ] && { echo "$id"; return; }
        sleep 0.1
    done
    fail "window not found"
}

wait_exit() {  # -> status in $status
    for _ in $(seq 200); do
        kill -0 "$game_pid" 2>/dev/null || break
        sleep 0.05
    done
    kill -0 "$game_pid" 2>/dev/null && fail "game still running"
    wait "$game_pid"
    status=$?
    game_pid=""
}

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

expect_clean_end() {
    wait_exit
    [ "$status" -eq 0 ] || fail "exit status $status"
    grep -q "KRT Error" "$out" && fail "error line printed"
    [ "$(count 'test game: KRT_ON_QUIT')" -eq 1 ] || fail "quit callback count $(count 'test game: KRT_ON_QUIT')"
    expect_shutdown_lines
}

expect_shutdown_lines() {
    local tail_lines
    tail_lines=$(grep -x -E "test game: KRT_ON_QUIT|Shut down KRT|krt is shut down|PDL_Quit|</PDL_Quit>|exit" "$out" | tr '\n' '|')
    [ "$tail_lines" = "test game: KRT_ON_QUIT|Shut down KRT|krt is shut down|PDL_Quit|</PDL_Quit>|exit|" ] ||
        fail "shutdown lines: $tail_lines"
    [ "$(tail -n1 "$out")" = "exit" ] || fail "last line is not exit"
}

expect_startup_lines() {
    local seen
    seen=$(grep -x -E "timer|voza|voza init|Cptn|Network|Input|Window mode|Create DXin|sdl_grab|reptr|getexe|cd|set cdir to: .*|exepath=curdir= .*|Init Finalized" "$out" |
        sed -e 's/^set cdir to: .*/set cdir to/' -e 's/^exepath=curdir= .*/exepath/' | tr '\n' '|')
    [ "$seen" = "timer|voza|voza init|Cptn|Network|Input|Window mode|Create DXin|sdl_grab|reptr|getexe|cd|set cdir to|exepath|Init Finalized|" ] ||
        fail "start-up lines: $seen"
    local dir
    dir=$(dirname "$(readlink -f "$game")")
    grep -q -x "set cdir to: $dir" "$out" || fail "working directory is not the executable's folder"
}

case "$case_name" in
startup_and_term)
    start_xvfb
    start_game
    wait_line "test game: 30 frames"
    expect_startup_lines
    kill -TERM "$game_pid"
    expect_clean_end
    ;;
window_close)
    start_xvfb
    start_wm
    start_game
    wait_line "test game: 30 frames"
    window_id >/dev/null
    wmctrl -c Squibly || fail "wmctrl could not ask the window to close"
    expect_clean_end
    ;;
alt_f4)
    # No window manager: only the runtime's own quit-key check can end the game.
    start_xvfb
    start_game
    wait_line "test game: 30 frames"
    wid=$(window_id)
    timeout 5 xdotool mousemove --window "$wid" 100 100
    timeout 5 xdotool keydown --window "$wid" Alt_L
    timeout 5 xdotool keydown --window "$wid" F4
    sleep 0.3
    timeout 5 xdotool keyup --window "$wid" F4 2>/dev/null
    timeout 5 xdotool keyup --window "$wid" Alt_L 2>/dev/null
    expect_clean_end
    ;;
iconify_pause)
    start_xvfb
    start_wm
    start_game
    wait_line "test game: 30 frames"
    wid=$(window_id)
    timeout 5 xdotool windowactivate --sync "$wid" >/dev/null 2>&1
    sleep 0.5
    timeout 5 xdotool windowminimize --sync "$wid" || fail "minimize failed"
    wait_line "test game: KRT_ON_PAUSE"
    wait_line "pause loop in showscreen/hibernate"
    sleep 0.5
    before=$(cpu_ticks "$game_pid")
    sleep 4
    after=$(cpu_ticks "$game_pid")
    hz=$(getconf CLK_TCK)
    percent=$(awk -v d=$((after - before)) -v hz="$hz" 'BEGIN { printf "%.1f", 100 * d / (hz * 4) }')
    echo "CPU while paused: ${percent}% (ticks $((after - before)) over 4 s at $hz Hz)"
    awk -v p="$percent" 'BEGIN { exit !(p <= 5.0) }' || fail "CPU while paused ${percent}%"
    [ "$(count 'test game: KRT_ON_PAUSE')" -eq 1 ] || fail "pause callback count $(count 'test game: KRT_ON_PAUSE')"
    timeout 5 xdotool windowactivate --sync "$wid" >/dev/null 2>&1 || timeout 5 xdotool windowmap "$wid"
    wait_line "test game: KRT_ON_RESUME"
    wait_line "pause loop ended"
    sleep 0.5
    [ "$(count 'test game: KRT_ON_PAUSE')" -eq 1 ] || fail "pause callback count $(count 'test game: KRT_ON_PAUSE')"
    [ "$(count 'test game: KRT_ON_RESUME')" -eq 1 ] || fail "resume callback count $(count 'test game: KRT_ON_RESUME')"
    echo "pause/resume callbacks: $(count 'test game: KRT_ON_PAUSE')/$(count 'test game: KRT_ON_RESUME')"
    # A quit that arrives while paused still ends the program cleanly.
    timeout 5 xdotool windowminimize --sync "$wid" || fail "second minimize failed"
    for _ in $(seq 100); do
        [ "$(count 'test game: KRT_ON_PAUSE')" -eq 2 ] && break
        sleep 0.05
    done
    [ "$(count 'test game: KRT_ON_PAUSE')" -eq 2 ] || fail "second pause not seen"
    kill -TERM "$game_pid"
    expect_clean_end
    ;;
mouse_out)
    # A window smaller than the screen, so the pointer can leave it.
    start_xvfb
    start_wm
    export SQUIBLY_DISPLAY=320x480
    start_game
    wait_line "test game: 30 frames"
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
    kill -TERM "$game_pid"
    expect_clean_end
    ;;
array_fault)
    start_xvfb
    SQUIBLY_TEST_FAULT=array start_game
    wait_exit
    [ "$status" -eq 0 ] || fail "exit status $status"
    grep -q -x "KRT Error: 9" "$out" || fail "no KRT Error: 9 line"
    grep -q -x "bounds: \[  10\]\[   5\]" "$out" || fail "no bounds line"
    grep -q -x "access: \[  12\]\[   0\]" "$out" || fail "no access line"
    [ "$(count 'test game: KRT_ON_QUIT')" -eq 1 ] || fail "quit callback count"
    expect_shutdown_lines
    ;;
game_returns)
    start_xvfb
    SQUIBLY_TEST_FAULT=return start_game
    expect_clean_end
    ;;
no_display)
    # Without any display the runtime says why and ends cleanly, never entering the game.
    unset DISPLAY
    SDL_AUDIODRIVER=dummy "$game" >"$out" 2>&1 &
    game_pid=$!
    wait_exit
    [ "$status" -eq 0 ] || fail "exit status $status"
    grep -q "^Can't open the display" "$out" || fail "no reason printed"
    grep -q "test game: running\|Init Finalized" "$out" && fail "entered the game without a display"
    grep -q "KRT Error" "$out" && fail "error line printed"
    expect_shutdown_lines
    ;;
window_destroyed)
    # Another client destroys the window (no window manager to ask): a quit, not an endless pause.
    start_xvfb
    start_game
    wait_line "test game: 30 frames"
    wid=$(window_id)
    timeout 5 xdotool windowclose "$wid"
    expect_clean_end
    grep -q -x "window destroyed" "$out" || fail "no window-destroyed line"
    ;;
connection_cut)
    # The X server drops the game's connection: still the normal shutdown and status 0.
    start_xvfb
    start_game
    wait_line "test game: 30 frames"
    wid=$(window_id)
    timeout 5 xdotool windowkill "$wid"
    expect_clean_end
    grep -q -x "X connection lost" "$out" || fail "no connection-lost line"
    ;;
quick_click)
    # Press and release reach the game in one pump; the press must still be seen once.
    start_xvfb
    start_game
    wait_line "test game: 30 frames"
    wid=$(window_id)
    timeout 5 xdotool mousemove --window "$wid" 200 300 click 1
    wait_line "test game: press at 200,300"
    timeout 5 xdotool mousemove --window "$wid" 767 1023 click 1
    wait_line "test game: press at 767,1023"
    sleep 0.3
    [ "$(grep -c "test game: press at" "$out")" -eq 2 ] || fail "presses seen: $(grep -c "test game: press at" "$out")"
    kill -TERM "$game_pid"
    expect_clean_end
    ;;
display_size)
    # The emulated display: exactly the tablet under a 768x1024 screen, the largest 3:4 portrait
    # size on a landscape desktop, and whatever SQUIBLY_DISPLAY asks for.
    check_size() {  # screen override expected
        start_xvfb "$1"
        if [ -n "$2" ]; then export SQUIBLY_DISPLAY=$2; else unset SQUIBLY_DISPLAY; fi
        start_game
        wait_line "test game: 30 frames"
        local wid size
        wid=$(window_id)
        size=$(xwininfo -id "$wid" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
        [ "$size" = "$3" ] || fail "screen $1 override '$2': window $size, wanted $3"
        echo "screen $1 override '${2:-none}': window $size"
        kill -TERM "$game_pid"
        expect_clean_end
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
        xvfb_pid=""
        rm -f "$work/display"
    }
    check_size 768x1024 "" 768x1024
    check_size 1920x1080 "" 768x1024
    check_size 1280x800 "" 600x800
    check_size 1920x1080 320x480 320x480
    check_size 768x1024 1024x768 1024x768
    ;;
*)
    fail "unknown case"
    ;;
esac
echo "PASS ($case_name)"
exit 0
