#!/usr/bin/env bash
# Builds the browser version into WEB_BUILD (the page to serve is WEB_BUILD/site) from a
# desktop build NATIVE_BUILD, whose Media/ and generated/ it packs. Incremental: a second run
# rebuilds only what changed (compilations also go through ccache).
#   tools/web/build.sh NATIVE_BUILD WEB_BUILD [JOBS]
# Exit status 2 (and a message) when Emscripten is not installed.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
native=$(cd "${1:?usage: build.sh NATIVE_BUILD WEB_BUILD [JOBS]}" && pwd)
web=${2:?usage: build.sh NATIVE_BUILD WEB_BUILD [JOBS]}
jobs=${3:-$(nproc)}

if ! command -v emcc >/dev/null 2>&1; then
  echo "web build: emcc not found (tools/setup.sh installs Debian's emscripten)" >&2
  exit 2
fi
# Debian's emcc runs its JavaScript tools with the node on PATH, which must find Debian's
# node modules (acorn) there.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(dirname "$root")}
emscripten_root=$(em-config EMSCRIPTEN_ROOT)

mkdir -p "$web"
web=$(cd "$web" && pwd)
"$root/tools/web/fetch_sources.sh" "$web/sources"

launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
if [ ! -f "$web/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$web" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$emscripten_root/cmake/Modules/Platform/Emscripten.cmake" \
    -DSQUIBLY_NATIVE_BUILD="$native" -DSQUIBLY_WEB_SOURCES="$web/sources" "${launcher[@]}" >/dev/null
fi
env -u MAKEFLAGS -u MAKELEVEL -u MFLAGS cmake --build "$web" -j "$jobs"
