#!/usr/bin/env bash
# Installing into a fresh prefix: the installed tree, the validators of its desktop entry, metainfo
# and manual page, the installed game started from its desktop entry by a player for whom the
# program folder is read-only (twice), and an uninstall that leaves the prefix as it was before
# (nothing of the game left, what was there already untouched) while the player's save folder stays.
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

for tool in desktop-file-validate appstreamcli identify; do
    command -v "$tool" >/dev/null || { echo "$tool missing (tools/setup.sh installs it)"; exit 77; }
done

# The prefix already holds another program's menu entry and an empty bin folder: both must
# outlive the uninstall, exactly as they were.
mkdir -p "$prefix/bin" "$prefix/share/applications"
echo "[Desktop Entry]" >"$prefix/share/applications/other.desktop"
there_before=$(find "$prefix" | sort)
rm -f "$manifest" "$record"
cmake --install "$build" --prefix "$prefix" --component Unspecified >"$work/install.log" || fail "install failed"
for f in bin/squibly lib/squibly/squibly lib/squibly/installed-copy lib/squibly/Media/textatlas1.png \
         lib/squibly/Media/intro.ogg lib/squibly/Media/squibly-icon.png "share/applications/$app.desktop" \
         "share/metainfo/$app.metainfo.xml" share/man/man6/squibly.6.gz "share/icons/hicolor/scalable/apps/$app.svg"; do
    [ -e "$prefix/$f" ] || fail "not installed: $f"
done
[ "$(readlink "$prefix/bin/squibly")" = ../lib/squibly/squibly ] || fail "the launcher is not a relative link"
for size in 16 22 24 32 48 64 128 256; do
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

tap() {  # design x y [double]: a press held a moment at that point of the 768 x 1024 display
    local wx=$((($1 * 1024 + 20480) / 480)) wy=$(($2 * 1024 / 480))  # the design area, scaled and centred
    if [ -n "${3:-}" ]; then
        timeout 5 xdotool mousemove --window "$wid" "$wx" "$wy" click --repeat 2 --delay 120 1
    else
        timeout 5 xdotool mousemove --window "$wid" "$wx" "$wy" mousedown 1 sleep 0.08 mouseup 1
    fi
}

wait_screen() {  # screen number: the game's latest screen line names it
    for _ in $(seq 300); do
        [ "$(grep '^screen ' "$out" | tail -n1 | cut -d' ' -f2)" = "$1" ] && return 0
        kill -0 "$game_pid" 2>/dev/null || fail "game ended before screen $1"
        sleep 0.05
    done
    fail "screen $1 not reached; last: $(grep '^screen ' "$out" | tail -n1)"
}

play() {  # run number
    "${player[@]}" env HOME="$home" DISPLAY="$DISPLAY" SDL_AUDIODRIVER=dummy SQUIBLY_TRACE_SCREENS=1 SQUIBLY_SEED=5 \
        "$prefix/bin/squibly" >"$out" 2>&1 &
    game_pid=$!
    wait_screen 1
    wid=$(xdotool search --name '^Squibly$' | head -n1)
    # The window carries the game's title, class (as the desktop entry names it) and icon.
    xprop -id "$wid" WM_CLASS | grep -q '"squibly", "squibly"' || fail "window class: $(xprop -id "$wid" WM_CLASS)"
    xprop -id "$wid" -f _NET_WM_ICON 32c ' = $0, $1' _NET_WM_ICON | grep -q "= 64, 64$" || fail "window icon missing"
    # PLAY, ARCADE; a creature switched by a double tap; the pause menu's QUIT, the results, the
    # main menu; then the desktop closes the game.
    sleep 2.2 && tap 160 158
    wait_screen 2 && sleep 0.8 && tap 160 199
    wait_screen 7 && sleep 4 && tap 135 185 double
    sleep 1 && tap 75 455
    wait_screen 9 && sleep 0.4 && tap 280 305
    wait_screen 6 && sleep 1.5 && tap 160 300
    wait_screen 1
    kill -TERM "$game_pid"
    wait "$game_pid" || fail "run $1: exit status $?"
    game_pid=""
    grep -q "KRT Error" "$out" && fail "run $1: error line"
    grep -q -x "set cdir to: $program" "$out" || fail "run $1: the game did not start in its program folder"
    [ "$(tree_state "$prefix")" = "$before" ] || fail "run $1 changed the installed tree"
    [ "$(stat -c %s "$home/.kortic/squibly.ach")" = 560 ] || fail "run $1: no 560-byte settings record"
    # The rating state's first byte counts the games played over all runs.
    played=$(od -An -tu1 -N1 "$home/.kortic/squibly.rat" | tr -d ' ')
    [ "$played" = "$1" ] || fail "run $1: the rating state counts $played games"
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
