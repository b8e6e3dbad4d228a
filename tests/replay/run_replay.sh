#!/bin/sh
# Runs one scripted session on the headless game and compares its report with the recorded one.
# usage: run_replay.sh SESSION_TOOL SCRIPT EXPECTED WORK_DIR [record]
# With "record" the report replaces the expected file instead (after a deliberate change of play).
set -e
tool="$1"; script="$2"; expected="$3"; work="$4"
rm -rf "$work"
mkdir -p "$work/game" "$work/home"
# No Media folder: the report must not depend on the generated sounds' lengths.
HOME="$work/home" SQUIBLY_DISPLAY=768x1024 "$tool" "$script" --dir "$work/game" --out "$work/report.txt" \
  > "$work/log.txt" 2>&1
if [ "$5" = "record" ]; then
  cp "$work/report.txt" "$expected"
  echo "recorded $expected"
  exit 0
fi
diff -u "$expected" "$work/report.txt"
