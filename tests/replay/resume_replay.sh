#!/bin/sh
# A game interrupted after AT ticks plays on exactly as the uninterrupted one, tick for tick.
# usage: resume_replay.sh SESSION_TOOL SCRIPT WORK_DIR AT
#   a: the session uninterrupted, every tick reported with the whole saved state's fingerprint;
#   b: the window loses and regains the focus after AT ticks (the game saves, pauses, resumes and
#      reloads what it saved): the same report;
#   c: a quit after AT ticks, then a new start in the same folder resumes the game and plays the
#      rest of the script: from the tick the quit ended at, the same report.
set -e
tool="$1"; script="$2"; work="$3"; at="$4"
rm -rf "$work"
mkdir -p "$work/a" "$work/b" "$work/c" "$work/home"
export HOME="$work/home" SQUIBLY_DISPLAY=768x1024
run() {  # name script [options]
    name=$1; shift
    "$tool" "$@" --every 1 --state --out "$work/$name.txt" > "$work/$name.log" 2>&1
}
fail() { echo "FAIL: $*"; exit 1; }

run a "$script" --dir "$work/a"

{ cat "$script"; echo "pause $at"; } > "$work/pause.txt"
run b "$work/pause.txt" --dir "$work/b"
grep -q "^game resumed: " "$work/b.log" || fail "the pause did not reload the saved game"
cmp "$work/a.txt" "$work/b.txt" || fail "a paused game plays on differently"

{ cat "$script"; echo "quit $at"; } > "$work/quit.txt"
run c1 "$work/quit.txt" --dir "$work/c"
ended=$(sed -n 's/^session ended after \([0-9]*\) ticks$/\1/p' "$work/c1.log")
[ -n "$ended" ] || fail "the quit did not end the session"
saved=$(sed -n 's/^game saved: state //p' "$work/c1.log" | tail -n1)
run c2 "$script" --dir "$work/c" --first-tick "$ended"
resumed=$(sed -n 's/^game resumed: state //p' "$work/c2.log")
[ -n "$resumed" ] && [ "$resumed" = "$saved" ] || fail "the new start did not resume the saved state ($saved / $resumed)"
# The first report after the restart carries the pointer of a fresh start (read each tick, not
# saved); its state and everything after it must match.
awk -v t="$ended" '/^tick /{keep = ($2 >= t)} keep' "$work/a.txt" | grep -v '^  touch ' > "$work/a_tail.txt"
grep -v '^  touch ' "$work/c2.txt" > "$work/c2_tail.txt"
awk -v t="$ended" '/^tick /{keep = ($2 > t)} keep && /^  touch /' "$work/a.txt" > "$work/a_touch.txt"
awk -v t="$ended" '/^tick /{keep = ($2 > t)} keep && /^  touch /' "$work/c2.txt" > "$work/c2_touch.txt"
[ -s "$work/a_tail.txt" ] || fail "nothing to compare after tick $ended"
cmp "$work/a_tail.txt" "$work/c2_tail.txt" || fail "a resumed game plays on differently"
cmp "$work/a_touch.txt" "$work/c2_touch.txt" || fail "a resumed game reads the pointer differently"
echo "resumed after $ended ticks: $(grep -c '^tick ' "$work/c2.txt") ticks identical"
