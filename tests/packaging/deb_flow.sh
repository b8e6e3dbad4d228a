#!/usr/bin/env bash
# The Debian package: built by CPack from the same install rules (install_flow.sh plays that
# layout), everything under /usr, its dependencies present on this system; installed with dpkg
# into a scratch root (this machine's own package database is never touched), its desktop entry
# starting /usr/bin/squibly, then removed with dpkg: nothing of the package left.
# Usage: deb_flow.sh BUILD_DIR SOURCE_DIR APP_ID
set -u
build=$1 source=$2 app=$3
work=$(mktemp -d /tmp/squibly-deb-XXXXXX)
chmod 755 "$work"
trap 'rm -rf "$work"' EXIT
root=$work/root
fail() { echo "FAIL: $*"; exit 1; }

for tool in cpack dpkg dpkg-deb; do
    command -v "$tool" >/dev/null || { echo "$tool missing"; exit 77; }
done
run_dpkg() {
    if [ "$(id -u)" -eq 0 ]; then dpkg --root="$root" "$@"; else fakeroot dpkg --force-not-root --root="$root" "$@"; fi
}

(cd "$build" && cpack -G DEB -B "$work/pkg" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(ls "$work"/pkg/squibly_*.deb 2>/dev/null | head -n1)
[ -n "$deb" ] || fail "no package written"
echo "---- $(basename "$deb")"
dpkg-deb -f "$deb" Package Version Architecture Section Depends
dpkg-deb -c "$deb" | awk '{ s = $6; if ($7 != "") s = s " " $7 " " $8; print s }' >"$work/contents.txt"
cat "$work/contents.txt"
grep -v -E '^\./usr/' "$work/contents.txt" | grep -v -x './' && fail "package files outside /usr"
grep -q '^\./usr/local' "$work/contents.txt" && fail "package files under /usr/local"
for f in "./usr/bin/squibly -> ../lib/squibly/squibly" ./usr/lib/squibly/squibly ./usr/lib/squibly/installed-copy \
         ./usr/lib/squibly/Media/textatlas1.png "./usr/share/applications/$app.desktop" \
         "./usr/share/metainfo/$app.metainfo.xml" ./usr/share/man/man6/squibly.6.gz \
         "./usr/share/icons/hicolor/48x48/apps/$app.png" "./usr/share/icons/hicolor/scalable/apps/$app.svg"; do
    grep -q -x -F "$f" "$work/contents.txt" || fail "not in the package: $f"
done
# Every dependency dpkg-shlibdeps found is a package this (Debian) machine has installed.
for dep in $(dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/(.*)//; s/|.*//; s/ //g'); do
    dpkg-query -W -f='${Status}' "$dep" 2>/dev/null | grep -q "install ok installed" || fail "dependency $dep not installed here"
done

mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
: >"$root/var/lib/dpkg/status"
# The scratch root has no other packages, so the dependencies checked above cannot be seen there.
run_dpkg --force-depends -i "$deb" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg -i failed"; }
[ -x "$root/usr/lib/squibly/squibly" ] || fail "dpkg -i did not unpack the game"
grep -q -x "Exec=/usr/bin/squibly" "$root/usr/share/applications/$app.desktop" || fail "the desktop entry's Exec"

run_dpkg -r squibly >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg -r failed"; }
left=$(find "$root" -mindepth 1 -path "$root/var" -prune -o -print)
[ -z "$left" ] || fail "left after dpkg -r: $left"
echo "package built, installed, removed"
