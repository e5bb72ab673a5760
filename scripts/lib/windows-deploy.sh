# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# Makes a folder of cross-built Windows programs runnable: copies in the Qt plugins named
# and every DLL that the programs, the plugins and those DLLs import, read from their PE
# import tables, from Qt's bin folder or the MinGW compiler's runtime folders. A DLL found
# in neither is Windows's own (KERNEL32.dll, USER32.dll, ...). Source this file, then
#   windows_deploy QT_PREFIX DIR [PLUGIN...]
# with PLUGIN a path under QT_PREFIX/plugins, e.g. platforms/qwindows.dll; it lands in the
# same sub-folder of DIR, where Qt looks for plugins beside the program. The MinGW runtime
# DLLs are stripped on the way.
# Needs x86_64-w64-mingw32-objdump and -strip and the compiler (binutils-mingw-w64-x86-64,
# g++-mingw-w64-x86-64-posix).

windows_deploy() {
    local qt=$1 dir=$2
    shift 2
    local plugin
    for plugin in "$@"; do
        mkdir -p "$dir/$(dirname "$plugin")"
        cp "$qt/plugins/$plugin" "$dir/$plugin" || return 1
    done
    # Copy what is missing until a pass finds nothing new: copied DLLs import others.
    local copied=1 dll source
    while ((copied)); do
        copied=0
        while read -r dll; do
            [[ -e "$dir/$dll" ]] && continue
            source=$(_windows_deploy_find "$qt" "$dll") || continue
            cp "$source" "$dir/$dll"
            # Debian's MinGW runtime DLLs keep their symbols (libstdc++ 24 MB, 2 MB
            # without); Qt's were stripped when installed.
            [[ "$source" == "$qt"/* ]] ||
                x86_64-w64-mingw32-strip --strip-unneeded "$dir/$dll" || return 1
            copied=1
        done < <(find "$dir" -type f \( -iname '*.exe' -o -iname '*.dll' \) -print0 |
                 xargs -0 -r x86_64-w64-mingw32-objdump -p |
                 sed -n 's/^[[:space:]]*DLL Name: //p' | tr -d '\r' | sort -u)
    done
}

# Prints where DLL $2 is among the DLLs we ship (Qt's and the MinGW runtime); fails when
# it is none of them.
_windows_deploy_find() {
    local qt=$1 dll=$2 found
    found=$(find "$qt/bin" -maxdepth 1 -iname "$dll" -print -quit)
    if [[ -z "$found" ]]; then
        # The compiler answers with the bare name when it has no such file.
        found=$(x86_64-w64-mingw32-g++-posix -print-file-name="$dll")
        [[ "$found" == */* ]] || return 1
    fi
    [[ -f "$found" ]] && echo "$found"
}
