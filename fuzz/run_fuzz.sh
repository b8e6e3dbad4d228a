#!/usr/bin/env bash
# Builds the image-reader fuzzer with clang and runs it for a bounded time.
# Usage: fuzz/run_fuzz.sh [build-dir] [seconds] [extra libFuzzer options...]
# Exit 77 (a skip for CTest) when clang is not installed; any finding fails with status 1
# (libFuzzer's own finding status is 77, which CTest would take for a skip).
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../fuzz-build}"
seconds="${2:-60}"
shift $(( $# > 2 ? 2 : $# ))

if ! command -v clang++ >/dev/null 2>&1 || ! command -v clang >/dev/null 2>&1; then
  echo "run_fuzz: clang not installed, fuzz run skipped"
  exit 77
fi

mkdir -p "$build"
cmake -S "$here" -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$build/configure.log" 2>&1 || { cat "$build/configure.log"; exit 1; }
cmake --build "$build" -j2

mkdir -p "$build/seeds" "$build/corpus" "$build/artifacts"
"$build/make_corpus" "$build/seeds"

# New inputs go to corpus/ (kept between runs); stdout of the readers is closed (-close_fd_mask=1).
"$build/image_fuzzer" "$build/corpus" "$build/seeds" \
  -dict="$here/image.dict" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
  -rss_limit_mb=2048 -close_fd_mask=1 -print_final_stats=1 -error_exitcode=1 -timeout_exitcode=1 \
  -artifact_prefix="$build/artifacts/" "$@"
