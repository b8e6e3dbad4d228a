#!/usr/bin/env bash
# Builds the browser version from the desktop build NATIVE_BUILD into WEB_BUILD (incrementally)
# and plays it in headless Chromium (web_flow.mjs). Exit status 77 (skipped) when a tool is missing.
#   web_test.sh NATIVE_BUILD WEB_BUILD
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
native=${1:?usage: web_test.sh NATIVE_BUILD WEB_BUILD}
web=${2:?usage: web_test.sh NATIVE_BUILD WEB_BUILD}
chromium=${SQUIBLY_CHROMIUM:-/usr/bin/chromium}

skip() {
  echo "SKIPPED: $1 (tools/setup.sh installs it)"
  exit 77
}
command -v emcc >/dev/null 2>&1 || skip "emcc (Debian package emscripten) is not installed"
[ -x "$chromium" ] || skip "Chromium ($chromium, Debian package chromium) is not installed"
command -v node >/dev/null 2>&1 || skip "node is not installed"
[ -f "$root/tools/web/node_modules/puppeteer-core/package.json" ] ||
  skip "puppeteer-core is not installed in tools/web (npm ci --prefix tools/web)"
[ -d "$native/Media" ] || { echo "no Media in $native: build the desktop version first"; exit 1; }

jobs=$(nproc)
echo "== building the page ($web)"
"$root/tools/web/build.sh" "$native" "$web" "$jobs" || exit 1

work="$web/test"
mkdir -p "$work"
echo "== playing it"
# Node runs in a process group of its own, so nothing it started outlives the test.
setsid node "$here/web_flow.mjs" "$web/site" "$work" &
driver=$!
trap 'kill -TERM -- -"$driver" 2>/dev/null' EXIT INT TERM
wait "$driver"
status=$?
trap - EXIT INT TERM
kill -TERM -- -"$driver" 2>/dev/null
exit $status
