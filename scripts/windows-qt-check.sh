#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Shows that the cached Qt for Windows (scripts/windows-qt.sh, which builds it when it is
# missing) works: cross-builds the small programs in tests/windows-qt against it, gathers
# the DLLs and plugins they need into one folder, and runs them under Wine:
#   - QtTest, offscreen: its test cases pass;
#   - the form, offscreen (QWidget::grab) and as a real window with the windows platform
#     plugin on a virtual X display (Xvfb, screenshot of the screen): once with no text
#     and with two different texts of equal length. In each control (label, line edit,
#     button) text is drawn when the pictures with text differ from the empty one
#     there, and glyphs (not empty boxes) when the two texts' pictures differ there.
# The pictures stay in build/windows-qt-check/pictures/ for a look.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

prefix=$(scripts/windows-qt.sh | tail -n 1)
source scripts/lib/wine.sh
source scripts/lib/windows-deploy.sh

out="$root/build/windows-qt-check"
run="$out/run"
pictures="$out/pictures"
mkdir -p "$out"
rm -rf "$run" "$pictures"
mkdir -p "$run" "$pictures"

echo "=== cross-building tests/windows-qt against $prefix"
cmake -S tests/windows-qt -B "$out/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$prefix/lib/cmake/Qt6/qt.toolchain.cmake" >/dev/null
cmake --build "$out/build"
cp "$out/build/qt-check.exe" "$out/build/qt-check-test.exe" "$run/"
windows_deploy "$prefix" "$run" platforms/qwindows.dll platforms/qoffscreen.dll \
    styles/qwindowsvistastyle.dll
echo "runnable folder ($(du -sh "$run" | cut -f 1)):"
(cd "$run" && find . -type f | sort | sed 's/^\.\//    /')

wine_init "$out/wineprefix"
cd "$run"

failures=0
fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}

# The number of pixels in which two pictures differ inside a region (WxH+X+Y).
pixels_differing() {
    # compare writes the count to stderr, and fails when the pictures differ.
    compare -metric AE "$1[$3]" "$2[$3]" null: 2>&1 || true
}

# Checks the pictures of one way of drawing ($1: offscreen or window), taken with no text
# and with texts A and B, control by control at the places its runs reported.
check_text_drawn() {
    local what=$1 name region drawn glyphs
    local regions
    regions=$(grep -h '^region ' "$out/$what-a.out" | tr -d '\r')
    [[ -n "$regions" ]] || { fail "$what: qt-check.exe reported no controls"; return; }
    for name in empty b; do
        [[ "$(grep -h '^region ' "$out/$what-$name.out" | tr -d '\r')" == "$regions" ]] ||
            fail "$what: the controls were elsewhere in the picture without text or with B"
    done
    while read -r _ name region; do
        drawn=$(pixels_differing "$pictures/$what-empty.png" "$pictures/$what-a.png" "$region")
        glyphs=$(pixels_differing "$pictures/$what-a.png" "$pictures/$what-b.png" "$region")
        echo "$what, $name at $region: text changes $drawn pixels, the texts differ in $glyphs"
        [[ "$drawn" =~ ^[0-9]+$ && "$drawn" -ge 40 ]] ||
            fail "$what: no text drawn in the $name ($drawn)"
        [[ "$glyphs" =~ ^[0-9]+$ && "$glyphs" -ge 40 ]] ||
            fail "$what: both texts look the same in the $name: glyphs missing ($glyphs)"
    done <<<"$regions"
}

# The platform, style and font a run of qt-check.exe reports.
show_setup() {
    tr -d '\r' <"$1" | grep -E '^(platform|style|font):' | sed 's/^/    /' || true
}

texts=("" "Quarnel GPS 1234" "Tracker HID 5678")
names=(empty a b)

echo "=== QtTest under Wine (offscreen)"
status=0
wine_run ./qt-check-test.exe -platform offscreen -o "qt-check-test.txt,txt" >/dev/null 2>&1 ||
    status=$?
tr -d '\r' <qt-check-test.txt | grep -E '^(PASS|FAIL|Totals)' | sed 's/^/    /'
[[ $status -eq 0 ]] || fail "qt-check-test.exe ended with status $status"
# Its four cases and QtTest's own start and end.
grep -q '^Totals: 6 passed, 0 failed, 0 skipped' <(tr -d '\r' <qt-check-test.txt) ||
    fail "qt-check-test.exe did not pass all of its cases"

echo "=== the form under Wine, offscreen, QWidget::grab"
for i in 0 1 2; do
    status=0
    wine_run ./qt-check.exe -platform offscreen --text "${texts[i]}" \
        --grab "$pictures/offscreen-${names[i]}.png" >"$out/offscreen-${names[i]}.out" 2>&1 ||
        status=$?
    ((i != 1)) || show_setup "$out/offscreen-${names[i]}.out"
    [[ $status -eq 0 ]] || fail "qt-check.exe (offscreen ${names[i]}) ended with status $status"
    [[ -s "$pictures/offscreen-${names[i]}.png" ]] || fail "no offscreen picture ${names[i]}"
done
check_text_drawn offscreen
wine_wait

echo "=== the form under Wine as a window (windows platform plugin) on Xvfb"
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; rm -f "$display_file"' EXIT
for _ in $(seq 100); do
    [[ -s "$display_file" ]] && break
    sleep 0.1
done
[[ -s "$display_file" ]] || { echo "Xvfb did not start" >&2; exit 1; }
DISPLAY=":$(head -n 1 "$display_file")"
export DISPLAY
for i in 0 1 2; do
    ready="$out/window-ready"
    rm -f "$ready"
    wine_run ./qt-check.exe -platform windows --text "${texts[i]}" --ready "$ready" \
        >"$out/window-${names[i]}.out" 2>&1 &
    program=$!
    for _ in $(seq 300); do
        [[ -e "$ready" ]] || ! kill -0 "$program" 2>/dev/null && break
        sleep 0.1
    done
    if [[ -e "$ready" ]]; then
        import -display "$DISPLAY" -window root "$pictures/window-${names[i]}.png"
    else
        fail "the window ${names[i]} did not show"
    fi
    rm -f "$ready"
    status=0
    wait "$program" || status=$?
    ((i != 1)) || show_setup "$out/window-${names[i]}.out"
    [[ $status -eq 0 ]] || fail "qt-check.exe (window ${names[i]}) ended with status $status"
done
wine_wait
check_text_drawn window

echo "pictures: $pictures"
if ((failures)); then
    echo "=== Qt for Windows check: $failures failure(s)" >&2
    exit 1
fi
echo "=== Qt for Windows check passed"
