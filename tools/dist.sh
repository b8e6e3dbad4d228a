#!/usr/bin/env bash
# Writes the source tarball BUILD/squibly-VERSION.tar.gz: every file of the source tree and
# nothing built. In a git checkout that is what git tracks (with uncommitted edits); in a tree
# unpacked from such a tarball, everything but the build folders.
set -euo pipefail
build=${1:-build}
cd "$(dirname "$0")/.."
version=$(sed -n 's/^set(SQUIBLY_VERSION \([0-9.]*\)).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "dist: no version in CMakeLists.txt" >&2; exit 1; }
name=squibly-$version
mkdir -p "$build"
list=$(mktemp)
trap 'rm -f "$list"' EXIT
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git ls-files -z --cached | while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done >"$list"
else
  find . -path ./.git -prune -o -path "./$build" -prune -o -path './build*' -prune -o -path './fuzz-build*' -prune \
       -o -type f -print0 | sed -z 's|^\./||' >"$list"
fi
# Fixed owner and times, sorted names: the same tree gives the same tarball.
tar --null -T "$list" --sort=name --owner=0 --group=0 --numeric-owner --mtime='2012-10-02 00:00Z' \
    --transform "s|^|$name/|" -cf - | gzip -n -9 >"$build/$name.tar.gz"
echo "dist: $build/$name.tar.gz ($(tr -cd '\0' <"$list" | wc -c) files)"
