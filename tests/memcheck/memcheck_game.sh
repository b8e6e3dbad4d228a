#!/bin/sh
# Runs the session tool under valgrind's memcheck for a scripted two-minute game with the build's
# media: any memory error or definite leak fails; possible leaks and blocks still reachable at
# exit do not. Skipped (77) without valgrind.
# Usage: memcheck_game.sh SESSION_TOOL SCRIPT MEDIA_DIR WORK_DIR
set -eu
session=$1 script=$2 media=$3 work=$4
command -v valgrind >/dev/null 2>&1 || { echo "valgrind is not installed (tools/setup.sh)"; exit 77; }
rm -rf "$work"
mkdir -p "$work/game"
ln -s "$media" "$work/game/Media"
status=0
HOME="$work" valgrind --leak-check=full --errors-for-leak-kinds=definite --error-exitcode=1 \
  --log-file="$work/valgrind.txt" "$session" "$script" --dir "$work/game" --display 320x480 --bot \
  --out "$work/report.txt" > "$work/log.txt" 2>&1 || status=$?
sed -n '/HEAP SUMMARY/,$p' "$work/valgrind.txt"
if [ "$status" -ne 0 ]; then
  cat "$work/valgrind.txt"
  echo "memcheck failed (status $status); log in $work"
  exit 1
fi
grep -q '^session ended after 7200 ticks' "$work/log.txt" || { cat "$work/log.txt"; echo "the session did not play its 7200 ticks"; exit 1; }
if grep -q 'KRT Error' "$work/log.txt"; then cat "$work/log.txt"; echo "the game reported an error"; exit 1; fi
