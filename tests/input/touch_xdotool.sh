#!/bin/bash
# Presses, drags, quick clicks and the right button sent with xdotool reach MouseState in
# virtual-screen coordinates. Run under an X server (xvfb-run): touch_xdotool.sh PROBE WxH
set -u
PROBE=$1 SIZE=$2
W=${SIZE%x*} H=${SIZE#*x}
OUT=$(mktemp)
trap 'kill $PID 2>/dev/null; rm -f "$OUT"' EXIT
SQUIBLY_DISPLAY=$SIZE SDL_AUDIODRIVER=dummy "$PROBE" >"$OUT" 2>&1 &
PID=$!
for _ in $(seq 50); do grep -q '^ready' "$OUT" && break; sleep 0.1; done
ORIENT=$(sed -n 's/^ORIENTATION //p' "$OUT")
WID=$(timeout 5 xdotool search --name '^Squibly touch probe$' | head -1)
[ -n "$ORIENT" ] && [ -n "$WID" ] || { echo "probe or its window did not start"; cat "$OUT"; exit 1; }

# Where a device pixel shows on the portrait screen, worked out here on its own:
# orientation 3 turns the screen so that its top runs down the device's left edge.
screen() { if [ "$ORIENT" = 3 ]; then echo "$((H - 1 - $2)) $1"; else echo "$1 $2"; fi; }
fail=0
expect() {  # expect "x y b1 b2" description
    for _ in $(seq 30); do grep -q "^PTR $1\$" "$OUT" && { echo "ok: $2 -> $1"; return; }; sleep 0.1; done
    echo "MISSING: $2: PTR $1"; fail=1
}
x() { timeout 5 xdotool "$@"; }

x mousemove --window "$WID" 100 200; sleep 0.3; x mousedown 1
expect "$(screen 100 200) 1 0" "press at device 100,200"
x mousemove --window "$WID" 300 250
expect "$(screen 300 250) 1 0" "drag to device 300,250"
# Dragging past the far corner: SDL reports the last pixel; the reading stays on the screen.
x mousemove --window "$WID" $((W + 80)) $((H + 80))
expect "$(screen $((W - 1)) $((H - 1))) 1 0" "drag beyond the far corner"
x mouseup 1
expect "$(screen $((W - 1)) $((H - 1))) 0 0" "release"
x mousemove --window "$WID" 50 60; sleep 0.3
x click 1   # down and up together: a quick tap must still be seen
expect "$(screen 50 60) 1 0" "quick click at device 50,60"
expect "$(screen 50 60) 0 0" "after the quick click"
x mousedown 3
expect "$(screen 50 60) 0 1" "right button"
x mouseup 3

# Every reading lies inside the virtual screen, bounds included.
[ "$ORIENT" = 3 ] && VW=$H VH=$W || VW=$W VH=$H
awk -v w="$VW" -v h="$VH" '/^PTR/ && ($2 < 0 || $2 > w || $3 < 0 || $3 > h) { print "outside: " $0; bad = 1 }
    END { exit bad }' "$OUT" || fail=1
kill -TERM $PID; wait $PID
grep -q '^quit' "$OUT" || { echo "probe did not quit cleanly"; fail=1; }
[ $fail = 0 ] || cat "$OUT"
exit $fail
