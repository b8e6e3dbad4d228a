#!/usr/bin/env bash
# Builds the save files' fuzzers with clang and runs them for a bounded time.
# Usage: fuzz/run_save_fuzz.sh BUILD_DIR GENERATED_DIR SECONDS [KIND...] [-- extra libFuzzer options]
#   BUILD_DIR      the fuzz build tree (made if missing); corpora and findings are kept there
#   GENERATED_DIR  generated/ of the main build (the atlas table the game compiles in)
#   SECONDS        how long each fuzzer runs (0: build and make the seeds only)
#   KIND           settings, legacy, rating, game (default: all four, one after another)
# SAVE_FUZZ_NO_BUILD=1 runs what is built (for runs side by side after one build).
# Exit 77 (a skip for CTest) when clang is not installed; any finding fails with status 1
# (libFuzzer's own finding status is 77, which CTest would take for a skip).
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
build="$1"; generated="$2"; seconds="$3"; shift 3
kinds=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do kinds+=("$1"); shift; done
[ $# -gt 0 ] && shift
[ ${#kinds[@]} -gt 0 ] || kinds=(settings legacy rating game)

if ! command -v clang++ >/dev/null 2>&1 || ! command -v clang >/dev/null 2>&1; then
  echo "run_save_fuzz: clang not installed, fuzz run skipped"
  exit 77
fi

if [ "${SAVE_FUZZ_NO_BUILD:-0}" != 1 ]; then
  launcher=()
  command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  mkdir -p "$build"
  if [ ! -f "$build/CMakeCache.txt" ] || ! grep -q "SQUIBLY_GENERATED_DIR:.*=$generated\$" "$build/CMakeCache.txt"; then
    cmake -S "$here" -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSQUIBLY_GENERATED_DIR="$generated" >"$build/configure.log" 2>&1 ||
      { cat "$build/configure.log"; exit 1; }
  fi
  cmake --build "$build" -j2 --target save_fuzzers
  rm -rf "$build/seeds"
fi

if [ ! -d "$build/seeds/game" ]; then
  mkdir -p "$build/seeds"
  "$build/make_save_corpus" "$build/seeds" >/dev/null
fi
[ "$seconds" = 0 ] && exit 0

for kind in "${kinds[@]}"; do
  mkdir -p "$build/corpus/$kind" "$build/artifacts/$kind"
  # New inputs go to corpus/KIND (kept between runs); the game's output lines are closed
  # (-close_fd_mask=1).
  "$build/${kind}_save_fuzzer" "$build/corpus/$kind" "$build/seeds/$kind" \
    -max_total_time="$seconds" -max_len=131072 -timeout=20 -rss_limit_mb=2048 -close_fd_mask=1 \
    -error_exitcode=1 -timeout_exitcode=1 \
    -print_final_stats=1 -artifact_prefix="$build/artifacts/$kind/" "$@"
done
