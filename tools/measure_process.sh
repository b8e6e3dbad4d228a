#!/usr/bin/env bash
# Whole-process figures of the real game under its own Xvfb (software rasteriser): time from exec
# to the first loading and main-menu frames; processor time per frame of the main thread and of
# the rasteriser's threads in the main menu and in a running ARCADE game; processor time and
# wake-ups per second while paused (iconified); peak memory. Medians of RUNS runs.
# Usage: tools/measure_process.sh [BUILD_DIR] [WxH] [RUNS]
# Needs Xvfb, openbox, xdotool. The game runs from a scratch copy (the build's saves are untouched).
set -u
build=$(cd "${1:-build}" && pwd)
size=${2:-768x1024}
runs=${3:-3}
work=$(mktemp -d /tmp/squibly-measure-XXXXXX)
xvfb_pid="" wm_pid="" game_pid=""

cleanup() {
    [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
die() { echo "measure: $*" >&2; exit 1; }
for tool in Xvfb openbox xdotool; do command -v "$tool" >/dev/null || die "$tool missing (tools/setup.sh installs it)"; done

Xvfb -displayfd 3 -screen 0 768x1024x24 -noreset -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || die "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"
openbox --sm-disable --config-file /dev/null >/dev/null 2>&1 &
wm_pid=$!
sleep 1

median() { sort -g | awk '{v[NR] = $1} END {if (NR) print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2)}'; }

# start_game OUT [ENV...]: the game from a fresh scratch folder; t0 is taken just before exec.
start_game() {
    local out=$1
    shift
    rm -rf "$work/game" && mkdir -p "$work/game"
    cp "$build/squibly" "$work/game/" && ln -s "$build/Media" "$work/game/Media"
    (cd "$work/game" && echo "$EPOCHREALTIME" >"$out.t0" &&
        exec env HOME="$work" SDL_AUDIODRIVER=dummy SQUIBLY_DISPLAY="$size" SQUIBLY_TRACE_FRAMES=300 \
            SQUIBLY_TRACE_SCREENS=1 "$@" ./squibly >"$out" 2>&1) &
    game_pid=$!
}

wait_line() {  # FILE PATTERN [COUNT] [SECONDS]
    for _ in $(seq $((${4:-60} * 20))); do
        [ "$(grep -c -- "$2" "$1")" -ge "${3:-1}" ] && return 0
        kill -0 "$game_pid" 2>/dev/null || return 1
        sleep 0.05
    done
    return 1
}

stop_game() {
    kill -TERM "$game_pid" 2>/dev/null
    for _ in $(seq 100); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.05; done
    kill -KILL "$game_pid" 2>/dev/null
    wait "$game_pid" 2>/dev/null
    game_pid=""
}

# Per-frame figures of the trace lines after the first (which holds the screen's entrance).
frame_figures() {  # FILE -> "fps main rasteriser other" medians
    grep "frame trace: 300 frames" "$1" | tail -n +2 | sed -E 's/.* in ([0-9.]+) ms, per frame main ([0-9.]+) ms, rasteriser ([0-9.]+) ms, other ([0-9.]+) ms.*/\1 \2 \3 \4/' >"$1.rows"
    printf "%s %s %s %s" "$(awk '{print 300000 / $1}' "$1.rows" | median)" "$(awk '{print $2}' "$1.rows" | median)" \
        "$(awk '{print $3}' "$1.rows" | median)" "$(awk '{print $4}' "$1.rows" | median)"
}

# Processor time (ms per second) and voluntary plus involuntary switches per second of the whole
# process over SECONDS.
thread_sample() {  # SECONDS
    local snap1 snap2
    snap() { for t in /proc/"$game_pid"/task/*; do
        printf "%s %s %s\n" "${t##*/}" "$(cut -d' ' -f1 "$t/schedstat")" \
            "$(awk '/^voluntary_ctxt_switches|^nonvoluntary_ctxt_switches/ {s += $2} END {print s}' "$t/status")"
    done | sort; }
    snap1=$(snap)
    sleep "$1"
    snap2=$(snap)
    join <(echo "$snap1") <(echo "$snap2") | awk -v s="$1" '{cpu += ($4 - $2) / 1e6; sw += $5 - $3}
        END {printf "%.2f %.1f", cpu / s / 10, sw / s}'
}

for run in $(seq "$runs"); do
    out=$work/menu$run.txt
    start_game "$out"
    wait_line "$out" "first menu frame" 1 60 || die "no menu frame (run $run): $(tail -n 3 "$out")"
    t0=$(cat "$out.t0")
    awk -v t0="$t0" '/first loading frame/ {printf "%.0f\n", ($NF - t0) * 1000}' "$out" >>"$work/to_loading"
    awk -v t0="$t0" '/first menu frame/ {printf "%.0f\n", ($NF - t0) * 1000}' "$out" >>"$work/to_menu"
    wait_line "$out" "frame trace: 300 frames" 4 60 || die "menu frames missing (run $run)"
    frame_figures "$out" >>"$work/menu_rows"
    echo >>"$work/menu_rows"
    # Paused: iconified by the window manager.
    wid=$(timeout 5 xdotool search --name '^Squibly$' | head -n1)
    timeout 5 xdotool windowactivate --sync "$wid" >/dev/null 2>&1
    sleep 0.3
    timeout 5 xdotool windowminimize --sync "$wid"
    wait_line "$out" "pause loop in showscreen/hibernate" 1 10 || die "no pause (run $run)"
    sleep 1
    thread_sample 10 >>"$work/paused_rows"
    echo >>"$work/paused_rows"
    grep VmHWM "/proc/$game_pid/status" | awk '{print $2 / 1024}' >>"$work/peak_menu"
    stop_game

    out=$work/game$run.txt
    start_game "$out" SQUIBLY_START_MODE=arcade SQUIBLY_SEED=$((run + 10))
    wait_line "$out" "^screen 7" 1 60 || die "no game (run $run)"
    wait_line "$out" "frame trace: 300 frames" 4 90 || die "game frames missing (run $run)"
    frame_figures "$out" >>"$work/game_rows"
    echo >>"$work/game_rows"
    grep VmHWM "/proc/$game_pid/status" | awk '{print $2 / 1024}' >>"$work/peak_game"
    stop_game
done

col() { awk -v c="$2" 'NF {print $c}' "$1" | median; }
echo "display $size, $runs runs, load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "exec to first loading frame:   $(median <"$work/to_loading") ms"
echo "exec to first main-menu frame: $(median <"$work/to_menu") ms"
for what in menu game; do
    printf "%-5s frames/s %5.1f  CPU ms per frame: main thread %.3f, rasteriser threads %.3f, other threads %.3f\n" \
        "$what" "$(col "$work/${what}_rows" 1)" "$(col "$work/${what}_rows" 2)" "$(col "$work/${what}_rows" 3)" \
        "$(col "$work/${what}_rows" 4)"
done
echo "paused: $(col "$work/paused_rows" 1) % of a core, $(col "$work/paused_rows" 2) wake-ups (context switches) per second"
echo "peak resident memory: main menu and pause $(median <"$work/peak_menu") MB, ARCADE game $(median <"$work/peak_game") MB"
