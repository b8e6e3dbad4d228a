# Sourced by the packaging tests: running the installed game as a player would. When the tests
# run as root (CI does), the player is `nobody`, for whom the installed program folder is
# read-only as it is for any user; otherwise the program folder is made read-only instead.
player_home() {  # folder: make it the player's own home
    mkdir -p "$1"
    [ "$(id -u)" -eq 0 ] && chown nobody "$1"
    return 0
}

as_player() {  # home command...: run a command as the player, with that home
    local home=$1
    shift
    if [ "$(id -u)" -eq 0 ]; then
        setpriv --reuid=nobody --regid=nogroup --clear-groups -- env HOME="$home" "$@"
    else
        env HOME="$home" "$@"
    fi
}

spawn_as_player() {  # home output command...: start it in the background; its pid in `spawned`
    local home=$1 output=$2
    shift 2
    if [ "$(id -u)" -eq 0 ]; then
        setpriv --reuid=nobody --regid=nogroup --clear-groups -- env HOME="$home" "$@" >"$output" 2>&1 &
    else
        env HOME="$home" "$@" >"$output" 2>&1 &
    fi
    spawned=$!
}

read_only_for_player() {  # folder
    if [ "$(id -u)" -ne 0 ]; then chmod -R a-w "$1"; fi
    return 0
}

writable_again() {  # folder
    if [ "$(id -u)" -ne 0 ]; then chmod -R u+w "$1"; fi
    return 0
}

# The command line of a desktop entry's Exec key (field codes would need a launcher; ours has none).
entry_exec() {  # entry.desktop
    local line
    line=$(sed -n 's/^Exec=//p' "$1" | head -n1)
    case "$line" in *%*) fail "Exec carries field codes: $line" ;; esac
    echo "$line"
}

# A listing of a tree with sizes and times, to prove nothing in it changed.
tree_state() {  # folder
    find "$1" -printf '%p %s %T@ %m\n' | sort
}
