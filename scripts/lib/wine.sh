# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# Running our Windows programs under Wine, the same way in every script and test:
# a private Wine prefix (never ~/.wine), no Wine debug chatter, no Mono or Gecko install
# prompts, Wine's own fonts (Tahoma, as Windows has) and 96 DPI. Source this file, then
#   wine_init DIR        creates the prefix in DIR once (a few seconds; later calls find
#                        it) and exports WINEPREFIX and the variables below
#   wine_run PROGRAM...  runs a Windows program with Debian's 64-bit Wine; its exit status
#                        is the program's
#   wine_wait            waits until the prefix's wineserver has ended, so that a next
#                        run (for instance on another X display) starts afresh
# A Windows program sees no QT_* variable: Wine passes Qt's variables on only with a WINE
# prefix (WINEQT_QPA_PLATFORM=offscreen), or use Qt's options (-platform offscreen).

# Debian keeps the 64-bit loader and server off PATH.
QUARNEL_WINE=${QUARNEL_WINE:-/usr/lib/wine/wine64}
QUARNEL_WINESERVER=${QUARNEL_WINESERVER:-/usr/lib/wine/wineserver64}

export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# Qt's offscreen plugin finds no fonts on Windows without a folder of them (every glyph
# would be an empty box); Z: is the Unix root in a Wine prefix.
export WINEQT_QPA_FONTDIR=${WINEQT_QPA_FONTDIR:-Z:/usr/share/fonts/truetype/dejavu}
# QtTest and qDebug write to the debugger under Windows; under Wine that is nowhere.
export WINEQT_FORCE_STDERR_LOGGING=${WINEQT_FORCE_STDERR_LOGGING:-1}

wine_init() {
    export WINEPREFIX
    WINEPREFIX=$(realpath -m "$1")
    [[ -f "$WINEPREFIX/.quarnel-ready" ]] && return 0
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    # No display while the prefix is made: wineboot would show a progress window.
    DISPLAY='' "$QUARNEL_WINE" wineboot --init >/dev/null 2>&1
    # Without Wine's Tahoma, "MS Shell Dlg" falls on an odd font and some text is not drawn.
    cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    # 96 DPI whatever Wine's default: GDI text clips at higher settings.
    DISPLAY='' "$QUARNEL_WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels \
        /t REG_DWORD /d 96 /f >/dev/null 2>&1
    wine_wait
    touch "$WINEPREFIX/.quarnel-ready"
}

wine_run() {
    "$QUARNEL_WINE" "$@"
}

wine_wait() {
    "$QUARNEL_WINESERVER" -w
}
