#!/usr/bin/env bash
# Starts the built game; without a display it says how to run it under Xvfb.
set -euo pipefail
build=${1:-build}
exe="$build/squibly"
if [ -z "${DISPLAY:-}" ]; then
  cat <<MSG
No display found (DISPLAY is not set), so the game window cannot open here.
Run it under a virtual X server instead, for example:
  xvfb-run -a -s "-screen 0 768x1024x24 -noreset" $exe
or start one yourself and point DISPLAY at it:
  Xvfb :7 -screen 0 768x1024x24 -noreset &  DISPLAY=:7 $exe
MSG
  exit 0
fi
exec "$exe"
