# Shared by the desktop tests: a private Xvfb (with -displayfd, so display numbers never clash),
# openbox with an empty configuration, waiting for lines and files, and design-point arithmetic.
# Sourced; the caller sets `work` (a scratch folder) and `out` (the game's output file) first.
xvfb_pid="" wm_pid="" game_pid=""

desktop_cleanup() {
    [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
}

fail() {
    echo "FAIL${case_name:+ ($case_name)}: $*"
    if [ -s "${out:-/dev/null}" ]; then
        echo "---- game output (last 40 lines) ----"
        grep -v '^PLAYMUSIC' "$out" | tail -n 40
    fi
    exit 1
}

start_xvfb() {  # [WxH, the tablet's 768x1024 unless given]
    rm -f "$work/display"
    Xvfb -displayfd 3 -screen 0 "${1:-768x1024}x24" -noreset -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
    [ -s "$work/display" ] || fail "Xvfb did not start"
    export DISPLAY=":$(head -n1 "$work/display")"
}

start_wm() {
    command -v openbox >/dev/null || { echo "openbox missing (tools/setup.sh installs it)"; exit 77; }
    echo '<openbox_config xmlns="http://openbox.org/3.4/rc"/>' >"$work/openbox.xml"
    openbox --sm-disable --config-file "$work/openbox.xml" >/dev/null 2>&1 &
    wm_pid=$!
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && return
        sleep 0.05
    done
    fail "window manager did not start"
}

wait_line() {  # pattern [file]: a line of the game's output (or of another file)
    local file=${2:-$out}
    for _ in $(seq 400); do
        grep -q -- "$1" "$file" 2>/dev/null && return 0
        [ -n "$game_pid" ] && ! kill -0 "$game_pid" 2>/dev/null && { grep -q -- "$1" "$file" && return 0; fail "game ended before: $1"; }
        sleep 0.05
    done
    fail "no line: $1"
}

window_id() {
    local id=""
    for _ in $(seq 60); do
        id=$(timeout 5 xdotool search --name '^Squibly$' 2>/dev/null | head -n1)
        [ -n "$id" ] && { echo "$id"; return; }
        sleep 0.1
    done
    fail "window not found"
}

# The game's design area (320 x 480) as the game scales and centres it on a display of W x H.
design_to_display() {  # dx dy W H -> "x y" in display pixels
    awk -v dx="$1" -v dy="$2" -v w="$3" -v h="$4" 'BEGIN {
        s = w / 320; if (h / 480 < s) s = h / 480; if (s > 6) s = 6
        ox = (w - s * 320) / 2; oy = (h - s * 480) / 2
        printf "%d %d\n", ox + s * dx, oy + s * dy }'
}

# A display of W x H shown as large as fits on a screen of SW x SH with its own aspect, centred.
display_to_screen() {  # x y W H SW SH -> "x y" in screen pixels
    awk -v x="$1" -v y="$2" -v w="$3" -v h="$4" -v sw="$5" -v sh="$6" 'BEGIN {
        s = sw / w; if (sh / h < s) s = sh / h
        pw = int(w * s + 0.5); ph = int(h * s + 0.5)
        printf "%d %d\n", int((sw - pw) / 2 + (x + 0.5) * pw / w), int((sh - ph) / 2 + (y + 0.5) * ph / h) }'
}

# Largest brightness (0..1) of a region of a picture.
region_max() {  # picture WxH+X+Y
    /usr/bin/convert "$1" -crop "$2" +repage -colorspace Gray -format "%[fx:maxima]" info:
}
region_mean() {
    /usr/bin/convert "$1" -crop "$2" +repage -colorspace Gray -format "%[fx:mean]" info:
}
