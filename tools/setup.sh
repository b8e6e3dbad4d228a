#!/usr/bin/env bash
# Installs the Debian packages the build, the media generators and the tests need.
# Idempotent: only missing packages are fetched; safe to run before every build.
set -euo pipefail

PACKAGES=(
  # build
  build-essential cmake pkg-config clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  # runtime libraries
  libsdl1.2-dev libsdl-mixer1.2-dev libegl-dev libgles-dev libgl1-mesa-dri
  libpng-dev libjpeg-dev libx11-dev
  # display and input for tests and headless runs
  xvfb xauth xdotool x11-utils imagemagick openbox wmctrl
  # the memory check of a scripted game
  valgrind
  # installing: validators of the desktop entry and the AppStream metainfo
  desktop-file-utils appstream
  # pictures
  librsvg2-bin python3-pil fonts-dosis fonts-leckerli-one fonts-league-spartan fontconfig
  # sounds, voices and music
  sox libsox-fmt-all festival festvox-us-slt-hts fluidsynth fluid-soundfont-gm vorbis-tools lame pocketsphinx pocketsphinx-en-us
  # the browser version (make web) and its test: compiler, browser, Debian's sources of the image libraries
  emscripten chromium dpkg-dev ccache
)
# The web test's browser driver, from the npm registry (pinned in tools/web/package-lock.json).
web_tools() {
  local dir
  dir="$(cd "$(dirname "$0")" && pwd)/web"
  [ -f "$dir/node_modules/puppeteer-core/package.json" ] && return 0
  if ! command -v npm >/dev/null 2>&1; then
    echo "setup: npm is missing; the web test will be skipped"
    return 0
  fi
  echo "setup: installing puppeteer-core for the web test"
  (cd "$dir" && npm ci --no-audit --no-fund --loglevel=error) ||
    echo "setup: npm could not install puppeteer-core; the web test will be skipped"
}

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all packages present"
  web_tools
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
echo "setup: installing ${missing[*]}"
$SUDO apt-get -o DPkg::Lock::Timeout=300 update -qq
$SUDO apt-get -o DPkg::Lock::Timeout=300 install -y -qq --no-install-recommends "${missing[@]}"
web_tools
