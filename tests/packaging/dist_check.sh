#!/usr/bin/env bash
# The source tarball: one top folder, every source file (in a git checkout, exactly what git
# tracks), nothing built, and the same bytes from the same tree.
# Usage: dist_check.sh SOURCE_DIR
set -u
source=$1
work=$(mktemp -d /tmp/squibly-dist-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

bash "$source/tools/dist.sh" "$work/a" || fail "dist failed"
bash "$source/tools/dist.sh" "$work/b" >/dev/null || fail "second dist failed"
tarball=$(ls "$work"/a/squibly-*.tar.gz 2>/dev/null | head -n1)
[ -n "$tarball" ] || fail "no tarball written"
name=$(basename "$tarball" .tar.gz)
cmp -s "$tarball" "$work/b/$name.tar.gz" || fail "two runs gave different tarballs"
tar -tzf "$tarball" | sort >"$work/list.txt"
grep -v -q "^$name/" "$work/list.txt" && fail "entries outside $name/"
for f in README.md Makefile CMakeLists.txt tools/setup.sh tools/dist.sh packaging/CMakeLists.txt \
         media/pictures/generate_icons.py runtime/core/main.cpp .ci/run; do
    grep -q -x "$name/$f" "$work/list.txt" || fail "missing from the tarball: $f"
done
grep -q -E "^$name/(build|fuzz-build)[^/]*/|\.o$|__pycache__" "$work/list.txt" && fail "built files in the tarball"
if git -C "$source" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    diff <(git -C "$source" ls-files | while read -r f; do [ -e "$source/$f" ] && echo "$name/$f"; done | sort) \
         "$work/list.txt" || fail "tarball and git's file list differ"
fi
echo "$(wc -l <"$work/list.txt") files in $name.tar.gz ($(stat -c %s "$tarball") bytes)"
