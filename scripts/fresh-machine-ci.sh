#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs CI as a new machine would: in a minimal Debian 12 root (debootstrap's minbase
# variant plus git and ca-certificates), as root, from a clean clone of the committed
# main branch, with empty caches. This is how we learn what a fresh machine lacks and how
# long a cold run takes; it is not part of .ci/run (it is a whole CI run itself).
#
#   scripts/fresh-machine-ci.sh [ROOT_DIR] [-- command inside the clone]
#
# ROOT_DIR defaults to /var/tmp/quarnel-fresh-root; it is made anew on every run. The
# command defaults to "bash .ci/run". Needs root, debootstrap and the network.
set -euo pipefail
cd "$(dirname "$0")/.."

root=/var/tmp/quarnel-fresh-root
if (($# > 0)) && [[ $1 != -- ]]; then
    root=$1
    shift
fi
[[ ${1:-} == -- ]] && shift
command=("$@")
((${#command[@]} > 0)) || command=(bash .ci/run)

if [[ $(id -u) -ne 0 ]]; then
    echo "run this as root: it builds and enters a chroot" >&2
    exit 2
fi
scripts/install-deps.sh vm

mounted=()
unmount_all() {
    local i
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount -l "${mounted[i]}" 2>/dev/null || true
    done
}
trap unmount_all EXIT

bind() {
    mkdir -p "$root$2"
    mount "${@:3}" "$1" "$root$2"
    mounted+=("$root$2")
}

# A run that was killed may have left its mounts: never delete through them (/dev!).
still_mounted() { awk -v r="$root" 'index($2, r) == 1 { print $2 }' /proc/mounts; }
while read -r point; do
    umount -l "$point" 2>/dev/null || true
done < <(still_mounted | sort -r)
if [[ -n "$(still_mounted)" ]]; then
    echo "still mounted under $root, not deleting it:" >&2
    still_mounted >&2
    exit 1
fi

start=$SECONDS
rm -rf --one-file-system "$root"
echo "=== making a minimal Debian 12 root in $root"
debootstrap --variant=minbase --include=git,ca-certificates bookworm "$root" \
    http://deb.debian.org/debian >/dev/null
cp /etc/resolv.conf "$root/etc/resolv.conf"
cat >"$root/etc/apt/sources.list" <<'SOURCES'
deb http://deb.debian.org/debian bookworm main
deb http://deb.debian.org/debian bookworm-updates main
deb http://deb.debian.org/debian-security bookworm-security main
SOURCES
echo "=== root ready after $((SECONDS - start)) s"

bind proc /proc -t proc
bind sysfs /sys -t sysfs
bind /dev /dev --rbind
bind tmpfs /tmp -t tmpfs

git clone -q --no-local "$PWD" "$root/root/quarnel"
git -C "$root/root/quarnel" checkout -q "$(git rev-parse HEAD)"
echo "=== running ${command[*]} in a clean clone of $(git rev-parse --short HEAD)"
status=0
chroot "$root" /usr/bin/env -i HOME=/root TERM="${TERM:-dumb}" LANG=C.UTF-8 \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    bash -c 'cd /root/quarnel && "$@"' bash "${command[@]}" || status=$?
echo "=== fresh-machine run ended with status $status after $((SECONDS - start)) s"
exit "$status"
