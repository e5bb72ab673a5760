#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes one screenshot per shipped language: the demo's window after Get Parameter, under a
# virtual X server, saved as docs/screenshots/<Language>.png (Lang/Russian.ini gives
# Russian.png). With arguments it makes only those languages:
#   scripts/language-screenshots.sh                 every file in data/Lang
#   scripts/language-screenshots.sh Russian Turkish
# Each language runs in a program folder of its own (the demo, a Player.ini naming the
# language, the Lang folder), as an installed program would.
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ "${1:-}" != --under-x ]]; then
    scripts/install-deps.sh window tests
    cmake --preset default >/dev/null
    cmake --build --preset default --target quarnel-demo quarnel_data --parallel "$(nproc)"
    exec xvfb-run -a -s "-screen 0 1280x800x24 -dpi 96" "$0" --under-x "$@"
fi
shift

languages=("$@")
if ((${#languages[@]} == 0)); then
    for file in data/Lang/*.ini; do
        languages+=("$(basename "$file" .ini)")
    done
fi

out=docs/screenshots
mkdir -p "$out"
work=$(mktemp -d "${TMPDIR:-/tmp}/quarnel-screenshots.XXXXXX")
demo_pid=
cleanup() {
    if [[ -n "$demo_pid" ]]; then
        kill "$demo_pid" 2>/dev/null || true
        wait "$demo_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# Waits up to 30 s for a visible window whose title matches $1 and prints its ID.
wait_for_window() {
    timeout 30 xdotool search --sync --onlyvisible --name "$1" | head -n 1
}

# A settings file as the program reads it: UTF-16LE with a byte-order mark, CR LF.
write_settings() {
    {
        printf '\xff\xfe'
        printf '[SETUP]\r\nLanguage=%s\r\nHideFirmwareUpdate=0\r\n' "$2" |
            iconv -f UTF-8 -t UTF-16LE
    } >"$1"
}

for language in "${languages[@]}"; do
    [[ -f "data/Lang/$language.ini" ]] || { echo "no data/Lang/$language.ini" >&2; exit 1; }
    dir="$work/$language"
    mkdir -p "$dir/Lang"
    cp build/default/bin/quarnel-demo "$dir/"
    cp "data/Lang/$language.ini" "$dir/Lang/"
    write_settings "$dir/Player.ini" "$language.ini"

    "$dir/quarnel-demo" &
    demo_pid=$!
    window=$(wait_for_window '^Trelvin ')
    [[ -n "$window" ]] || { echo "$language: the window did not appear" >&2; exit 1; }

    # Get Parameter is the first button in the window's top-left corner: 40, 20 lies on it
    # whatever the font's dialog units come to. The mouse then leaves the window.
    xdotool mousemove --window "$window" 40 20 click 1 mousemove 0 0
    box=$(wait_for_window '^quarnel-demo$')
    [[ -n "$box" ]] || { echo "$language: no GET FINISH message" >&2; exit 1; }
    xdotool windowfocus --sync "$box" key space
    for _ in $(seq 100); do
        xdotool search --onlyvisible --name '^quarnel-demo$' >/dev/null || break
        sleep 0.1
    done
    sleep 0.5  # let the window repaint where the box was

    # -strip leaves out the capture time, so an unchanged window gives the same file.
    import -window "$window" png:- | convert - -strip "$out/$language.png"
    echo "wrote $out/$language.png"

    kill "$demo_pid"
    wait "$demo_pid" 2>/dev/null || true
    demo_pid=
done
