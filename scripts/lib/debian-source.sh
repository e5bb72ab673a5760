# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Fetches and unpacks a Debian source package without touching the machine's own apt
# set-up: a private sources list (deb-src for the release this machine runs) and a
# private state and cache folder, passed to apt with -o options. Source this file, then
#   debian_source_fetch PACKAGE DEST [VERSION]
# unpacks PACKAGE's source into DEST/<package>-<version>/ (once; later calls find it)
# and prints that folder. Without VERSION it takes the newest version the archive has;
# with one (to match a binary package installed here) exactly that version or nothing.
# Needs apt-get and dpkg-source (dpkg-dev).

debian_source_fetch() {
    local package=$1 dest=$2 wanted=${3:-}
    local apt_dir="$dest/.apt"
    local codename
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
    mkdir -p "$apt_dir/lists/partial" "$apt_dir/archives/partial" "$apt_dir/sources.list.d"
    cat >"$apt_dir/sources.list" <<SOURCES
deb-src http://deb.debian.org/debian $codename main
deb-src http://deb.debian.org/debian $codename-updates main
deb-src http://deb.debian.org/debian-security $codename-security main
SOURCES
    local apt_opts=(
        -o "Dir::Etc::SourceList=$apt_dir/sources.list"
        -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
        -o "Dir::State=$apt_dir"
        -o "Dir::State::Lists=$apt_dir/lists"
        -o "Dir::State::status=/var/lib/dpkg/status"
        -o "Dir::Cache=$apt_dir"
        -o "Dir::Cache::Archives=$apt_dir/archives"
        -o "Debug::NoLocking=1"
    )
    # apt's download user cannot write into a folder of ours; we fetch as ourselves.
    [[ $(id -u) -ne 0 ]] || apt_opts+=(-o "APT::Sandbox::User=root")
    # The newest (or the wanted) version the private lists know; refresh them when the
    # lists do not have it.
    local version
    version=$(_debian_source_pick "$package" "$wanted" "${apt_opts[@]}" 2>/dev/null)
    if [[ -z "$version" ]]; then
        apt-get "${apt_opts[@]}" -qq update >&2
        version=$(_debian_source_pick "$package" "$wanted" "${apt_opts[@]}")
    fi
    [[ -n "$version" ]] || { echo "no source package $package ${wanted}" >&2; return 1; }
    local upstream=${version#*:}
    upstream=${upstream%-*}
    local folder="$dest/$package-$upstream"
    # The folder's name has no Debian revision: its stamp says which one it holds.
    if [[ ! -f "$folder/.unpacked" || "$(<"$folder/.unpacked")" != "$version" ]]; then
        rm -rf "$folder"
        (cd "$dest" && apt-get "${apt_opts[@]}" -qq source "$package=$version" >&2)
        echo "$version" >"$folder/.unpacked"
    fi
    echo "$folder"
}

# Prints the newest version of source package $1 that the lists given as apt options ($3...)
# know, or $2 when they know that version; prints nothing (and still succeeds, so that a
# caller under set -e goes on to refresh the lists) when they know none.
_debian_source_pick() {
    local package=$1 wanted=$2
    shift 2
    {
        apt-cache "$@" showsrc "$package" | sed -n 's/^Version: //p' | sort -V |
            if [[ -n "$wanted" ]]; then grep -Fx -- "$wanted"; else tail -n 1; fi
    } || true
}
