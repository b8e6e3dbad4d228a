#!/usr/bin/env bash
# Fetches Debian's sources of zlib, libpng and libjpeg-turbo (with Debian's patches applied) into
# DEST, for the browser build to compile: the page needs these libraries as WebAssembly, and
# Debian ships them only as native code. Uses a private package list under DEST, so the
# machine's apt configuration is left as it is. Idempotent: does nothing once DEST is filled.
#   tools/web/fetch_sources.sh DEST
set -euo pipefail
dest=${1:?usage: fetch_sources.sh DEST}
packages=(zlib libpng1.6 libjpeg-turbo)
mkdir -p "$dest"
dest=$(cd "$dest" && pwd)

have_all() {
  for prefix in zlib- libpng1.6- libjpeg-turbo-; do
    compgen -G "$dest/${prefix}*/" >/dev/null || return 1
  done
}
if have_all; then exit 0; fi

apt_dir="$dest/apt"
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
cat > "$apt_dir/sources.list" <<LIST
deb-src http://deb.debian.org/debian $codename main
LIST
apt_options=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o "Dir::Etc::SourceParts=$apt_dir/none"
             -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache" -o "APT::Sandbox::User=root")
echo "fetch_sources: Debian sources of ${packages[*]}"
apt-get "${apt_options[@]}" -qq update
(cd "$dest" && apt-get "${apt_options[@]}" -qq source "${packages[@]}" >/dev/null)
have_all || { echo "fetch_sources: a source package is missing in $dest" >&2; exit 1; }
rm -rf "$apt_dir"
