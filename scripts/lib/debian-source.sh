# Fetches and unpacks a Debian source package without touching the machine's own apt
# set-up: a private sources list (deb-src for the release this machine runs) and a
# private state and cache folder, passed to apt with -o options. Source this file, then
#   debian_source_fetch PACKAGE DEST
# unpacks PACKAGE's source into DEST/<package>-<version>/ (once; later calls find it)
# and prints that folder. Needs apt-get and dpkg-source (dpkg-dev).

debian_source_fetch() {
    local package=$1 dest=$2
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
    # The newest version the private lists know; refresh them when the package is unknown.
    local version
    version=$(apt-cache "${apt_opts[@]}" showsrc "$package" 2>/dev/null |
              sed -n 's/^Version: //p' | sort -V | tail -n 1)
    if [[ -z "$version" ]]; then
        apt-get "${apt_opts[@]}" -qq update >&2
        version=$(apt-cache "${apt_opts[@]}" showsrc "$package" |
                  sed -n 's/^Version: //p' | sort -V | tail -n 1)
    fi
    [[ -n "$version" ]] || { echo "no source package $package" >&2; return 1; }
    local upstream=${version#*:}
    upstream=${upstream%-*}
    local folder="$dest/$package-$upstream"
    if [[ ! -f "$folder/.unpacked" ]]; then
        rm -rf "$folder"
        (cd "$dest" && apt-get "${apt_opts[@]}" -qq source "$package=$version" >&2)
        touch "$folder/.unpacked"
    fi
    echo "$folder"
}
