#!/usr/bin/env bash
# Installing into a fresh prefix: the installed tree, the validators of its desktop entry, metainfo
# and manual page, the installed game started from its desktop entry by a player for whom the
# program folder is read-only (twice, a high score planted between the runs kept), and an uninstall
# that leaves the prefix as it was before (what was there already untouched) while the player's save
# folder stays. Then the Debian package CPack builds from the same rules: everything under /usr, its
# dependencies present here, installed and removed with dpkg in a scratch root (this machine's own
# package database is never touched), nothing of it left.
# Usage: install_flow.sh BUILD_DIR SOURCE_DIR APP_ID
set -u
build=$1 source=$2 app=$3
work=$(mktemp -d /tmp/squibly-install-XXXXXX)
chmod 755 "$work"
out=$work/out.txt
xvfb_pid="" game_pid=""
prefix=$work/prefix
home=$work/home
program=$prefix/lib/squibly
entry=$prefix/share/applications/$app.desktop
# A component install writes its own manifest, so a developer's own install record is left alone.
manifest=$build/install_manifest_Unspecified.txt
record=$build/install_dirs_Unspecified.txt
# As root (CI) the player is `nobody`, for whom the program folder is read-only as for any user;
# otherwise the program folder is made read-only for the run.
if [ "$(id -u)" -eq 0 ]; then
    player=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
    mkdir -p "$home" && chown nobody "$home"
else
    player=()
    mkdir -p "$home"
fi
trap '[ -n "$game_pid" ] && kill -KILL "$game_pid"; [ -n "$xvfb_pid" ] && kill "$xvfb_pid"; wait
      [ -d "$program" ] && chmod -R u+w "$program"; rm -rf "$work" "$manifest" "$record"' EXIT
fail() { echo "FAIL: $*"; [ -s "$out" ] && grep -v '^PLAYMUSIC' "$out" | tail -n 40; exit 1; }
tree_state() { find "$1" -printf '%p %s %T@ %m\n' | sort; }  # to prove nothing in a tree changed

for tool in desktop-file-validate appstreamcli identify cpack dpkg dpkg-deb; do
    command -v "$tool" >/dev/null || { echo "$tool missing (tools/setup.sh installs it)"; exit 77; }
done

# The prefix already holds another program's menu entry and an empty bin folder: both must
# outlive the uninstall, exactly as they were.
mkdir -p "$prefix/bin" "$prefix/share/applications"
echo "[Desktop Entry]" >"$prefix/share/applications/other.desktop"
there_before=$(find "$prefix" | sort)
rm -f "$manifest" "$record"
cmake --install "$build" --prefix "$prefix" --component Unspecified >"$work/install.log" || fail "install failed"
[ "$(readlink "$prefix/bin/squibly")" = ../lib/squibly/squibly ] || fail "the launcher is not a relative link"
for size in 16 48 256; do
    got=$(identify -format %wx%h "$prefix/share/icons/hicolor/${size}x${size}/apps/$app.png")
    [ "$got" = "${size}x${size}" ] || fail "theme icon ${size}x${size} is $got"
done
diff <(find "$prefix" \( -type f -o -type l \) -not -name other.desktop | sort) <(sort "$manifest") ||
    fail "the manifest does not list exactly the installed files"
ls "$build/Media" | grep -q -E '\.(ach|sav|tes|rat|dat)$' && fail "save files found in the build's Media folder"

desktop-file-validate "$entry" || fail "desktop entry invalid"
appstreamcli validate --no-net "$prefix/share/metainfo/$app.metainfo.xml" || fail "metainfo invalid"
warnings=$(zcat "$prefix/share/man/man6/squibly.6.gz" | groff -man -ww -z 2>&1)
[ -z "$warnings" ] || fail "manual page: $warnings"
grep -q -x "Categories=Game;LogicGame;" "$entry" && grep -q -x "Icon=$app" "$entry" || fail "desktop entry categories or icon"
# Field codes in Exec would need a launcher; ours has none.
[ "$(sed -n 's/^Exec=//p' "$entry")" = "$prefix/bin/squibly" ] || fail "the desktop entry starts '$(grep ^Exec "$entry")'"

# The player starts the game from the menu entry; the program folder is not theirs to write.
[ "$(id -u)" -eq 0 ] || chmod -R a-w "$program"
before=$(tree_state "$prefix")
Xvfb -displayfd 3 -screen 0 1024x1024x24 -noreset -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(head -n1 "$work/display")"

play() {  # run number: started, its main menu shown with the installed media, closed by the desktop
    "${player[@]}" env HOME="$home" DISPLAY="$DISPLAY" SDL_AUDIODRIVER=dummy SQUIBLY_TRACE_SCREENS=1 SQUIBLY_SEED=5 \
        "$prefix/bin/squibly" >"$out" 2>&1 &
    game_pid=$!
    for _ in $(seq 300); do
        grep -q '^screen 1 ' "$out" && break
        kill -0 "$game_pid" 2>/dev/null || fail "run $1: the game ended before its main menu"
        sleep 0.05
    done
    wid=$(xdotool search --name '^Squibly$' | head -n1)
    # The window carries the game's title, class (as the desktop entry names it) and icon.
    xprop -id "$wid" WM_CLASS | grep -q '"squibly", "squibly"' || fail "window class: $(xprop -id "$wid" WM_CLASS)"
    xprop -id "$wid" -f _NET_WM_ICON 32c ' = $0, $1' _NET_WM_ICON | grep -q "= 64, 64$" || fail "window icon missing"
    sleep 1
    kill -TERM "$game_pid"
    wait "$game_pid" || fail "run $1: exit status $?"
    game_pid=""
    grep -q -E "KRT Error|^No Media|^Can't load" "$out" && fail "run $1: error line"
    grep -q -x "set cdir to: $program" "$out" || fail "run $1: the game did not start in its program folder"
    [ "$(tree_state "$prefix")" = "$before" ] || fail "run $1 changed the installed tree"
    [ "$(stat -c %s "$home/.kortic/squibly.ach")" = 560 ] || fail "run $1: no 560-byte settings record"
}

# The 24 score and level pairs of the four high-score tables (little-endian doubles 21 to 68).
scores() { python3 -c 'import struct,sys; print(*struct.unpack_from("<48d", open(sys.argv[1],"rb").read(), 21*8))' "$1"; }
play 1
# A player's top ARCADE score, planted between the runs: the second run reads it from the
# application-data folder, and what it writes back must keep it.
python3 -c 'import struct,sys; f=open(sys.argv[1],"r+b"); f.seek(21*8); f.write(struct.pack("<2d",987654,12))' \
    "$home/.kortic/squibly.ach"
planted=$(scores "$home/.kortic/squibly.ach")
play 2
[ "$(scores "$home/.kortic/squibly.ach")" = "$planted" ] || fail "the second run lost the high scores: $(scores "$home/.kortic/squibly.ach")"
[ "$(stat -c %U "$home/.kortic")" = "$("${player[@]}" id -un)" ] || fail "the save folder is not the player's"

chmod -R u+w "$program"
cmake -DMANIFEST="$manifest" -DDIR_RECORD="$record" -P "$source/packaging/uninstall.cmake" || fail "uninstall failed"
diff <(echo "$there_before") <(find "$prefix" | sort) || fail "the prefix is not as it was before installing"
[ -d "$home/.kortic" ] || fail "uninstalling touched the player's save folder"
echo "installed, played twice from the desktop entry as $("${player[@]}" id -un), uninstalled: prefix as before"

# The Debian package.
root=$work/root
run_dpkg() {
    if [ "$(id -u)" -eq 0 ]; then dpkg --root="$root" "$@"; else fakeroot dpkg --force-not-root --root="$root" "$@"; fi
}
(cd "$build" && cpack -G DEB -B "$work/pkg" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(ls "$work"/pkg/squibly_*.deb 2>/dev/null | head -n1)
[ -n "$deb" ] || fail "no package written"
dpkg-deb -f "$deb" Package Version Architecture Section Depends
dpkg-deb -c "$deb" | awk '{ s = $6; if ($7 != "") s = s " " $7 " " $8; print s }' >"$work/contents.txt"
grep -v -E '^\./usr/' "$work/contents.txt" | grep -v -x './' && fail "package files outside /usr"
grep -q '^\./usr/local' "$work/contents.txt" && fail "package files under /usr/local"
for f in "./usr/bin/squibly -> ../lib/squibly/squibly" ./usr/lib/squibly/Media/textatlas1.png \
         "./usr/share/applications/$app.desktop" ./usr/share/man/man6/squibly.6.gz; do
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
grep -q -x "Exec=/usr/bin/squibly" "$root/usr/share/applications/$app.desktop" || fail "the desktop entry's Exec"
run_dpkg -r squibly >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg -r failed"; }
left=$(find "$root" -mindepth 1 -path "$root/var" -prune -o -print)
[ -z "$left" ] || fail "left after dpkg -r: $left"
echo "package built, installed, removed"
