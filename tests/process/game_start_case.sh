#!/usr/bin/env bash
# The real game's start under its own Xvfb, when things go wrong: a SIGTERM while start-up
# presents its first frames, a missing Media folder, an unreadable atlas.
# Usage: game_start_case.sh CASE GAME MEDIA_DIR
set -u
case_name=$1
game=$2
media=$3
work=$(mktemp -d /tmp/squibly-start-XXXXXX)
xvfb_pid="" game_pid=""

cleanup() {
    [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL ($case_name): $*"
    for f in out err; do echo "---- game std$f ----"; cat "$work/$f.txt" 2>/dev/null; done
    exit 1
}

Xvfb -displayfd 3 -screen 0 768x1024x24 -noreset -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"

mkdir -p "$work/game"
cp "$game" "$work/game/squibly"

start_game() {
    (cd "$work/game" && HOME="$work" SDL_AUDIODRIVER=dummy SQUIBLY_TRACE_SCREENS=1 exec ./squibly \
        >"$work/out.txt" 2>"$work/err.txt") &
    game_pid=$!
}

wait_line() {  # pattern
    for _ in $(seq 600); do
        grep -q -- "$1" "$work/out.txt" && return 0
        kill -0 "$game_pid" 2>/dev/null || fail "game ended before: $1"
        sleep 0.05
    done
    fail "no line: $1"
}

# Ends with status 0 within ten seconds, its last line "exit", and no error line.
expect_clean_end() {
    for _ in $(seq 200); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.05; done
    kill -0 "$game_pid" 2>/dev/null && fail "game still running ${1:-}"
    wait "$game_pid"
    local status=$?
    game_pid=""
    [ "$status" -eq 0 ] || fail "exit status $status ${1:-}"
    [ "$(tail -n1 "$work/out.txt")" = "exit" ] || fail "last line is not exit ${1:-}"
    grep -q "KRT Error" "$work/out.txt" && fail "error line printed ${1:-}"
    return 0
}

case "$case_name" in
early_term)
    # SIGTERM at moments spread over start-up, counted from its first line (the runtime's signal
    # handling is in place by then): while the first frames are presented, while the loading
    # screen runs. Each must end the game cleanly.
    ln -s "$media" "$work/game/Media"
    for delay in 0 0.05 0.1 0.15 0.2 0.25 0.35 0.5; do
        start_game
        for _ in $(seq 1000); do grep -q -x timer "$work/out.txt" 2>/dev/null && break; sleep 0.005; done
        sleep "$delay"
        kill -TERM "$game_pid"
        expect_clean_end "(SIGTERM $delay s after start-up began)"
    done
    ;;
no_media)
    start_game
    wait_line "screen 1 phase"
    sleep 0.5
    [ "$(wc -l <"$work/err.txt")" -eq 1 ] || fail "wanted one line on standard error"
    grep -q -x "No Media folder in $work/game/: the game runs without its pictures and sounds" "$work/err.txt" ||
        fail "the line does not name the folder"
    kill -TERM "$game_pid"
    expect_clean_end
    ;;
bad_atlas)
    mkdir "$work/game/Media"
    for f in "$media"/*; do ln -s "$f" "$work/game/Media/"; done
    rm "$work/game/Media/textatlas1.png"
    head -c 5000 /dev/urandom >"$work/game/Media/textatlas1.png"
    start_game
    wait_line "screen 1 phase"
    sleep 0.5
    [ "$(wc -l <"$work/err.txt")" -eq 1 ] || fail "wanted one line on standard error"
    grep -q -x "Can't load textatlas1.png from $work/game/Media/: not a picture the game can read" "$work/err.txt" ||
        fail "the line does not name the file and its folder"
    kill -TERM "$game_pid"
    expect_clean_end
    ;;
*)
    fail "unknown case"
    ;;
esac
echo "PASS ($case_name)"
