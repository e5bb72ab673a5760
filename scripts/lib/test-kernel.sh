# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Debian's stock kernel for the virtual-machine tests, fetched once per machine: the
# package linux-image-amd64 names, downloaded with apt-get download and unpacked into the
# cache (nothing is installed into this machine's /boot or /lib/modules).
# Source this file after scripts/lib/cache.sh; then test_kernel_fetch prints the folder
# that holds vmlinuz, release (the kernel's version) and tree/lib/modules/RELEASE.

test_kernel_fetch() {
    local image version dir fetch
    image=$(apt-cache depends linux-image-amd64 2>/dev/null |
        sed -n 's/^ *Depends: \(linux-image-[0-9].*\)$/\1/p' | head -n 1)
    if [[ -z "$image" ]]; then
        echo "kernel-test: apt knows no linux-image-amd64 (run apt-get update)" >&2
        return 1
    fi
    version=$(apt-cache policy "$image" | sed -n 's/^ *Candidate: //p')
    dir="$QUARNEL_CACHE/kernel/${image}_${version}"
    if [[ -e "$dir/.ready" ]]; then
        echo "$dir"
        return 0
    fi
    mkdir -p "$QUARNEL_CACHE/kernel"
    fetch=$(mktemp -d "$QUARNEL_CACHE/kernel/fetch.XXXXXX")
    echo "kernel-test: fetching $image $version" >&2
    (cd "$fetch" && apt-get download "$image=$version" >&2)
    dpkg-deb -x "$fetch"/*.deb "$fetch/tree"
    cp "$fetch"/tree/boot/vmlinuz-* "$fetch/vmlinuz"
    basename "$fetch"/tree/lib/modules/* >"$fetch/release"
    rm -rf "$fetch"/*.deb "$fetch/tree/boot" "$fetch/tree/usr"
    rm -rf "$dir"
    mv "$fetch" "$dir"
    touch "$dir/.ready"
    echo "$dir"
}
