#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows installer, built and tried under Wine (the last step of
# scripts/windows-test.sh, and on its own):
#   1. Qt for Windows and the Windows libraries (scripts/lib/windows-build.sh);
#   2. Quarnel.exe, quarnel-demo.exe and quarnelctl.exe in build/windows (built there when
#      they are not yet), with the DLLs and Qt plugins they need gathered in
#      build/windows/runtime;
#   3. CPack's NSIS generator: build/windows/Quarnel-<version>-setup.exe, a 64-bit
#      installer with Start-menu entries and an uninstaller;
#   4. in a fresh Wine prefix: a silent install (/S), the licence and third-party notices
#      beside the programs, the Apps & Features entry read back from the registry (name,
#      version, publisher, icon, estimated size, uninstall command), the installed
#      quarnelctl.exe --demo info run from the install folder, a silent uninstall, and a
#      check that no file, Start-menu entry or registry key of ours is left.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/install-deps.sh window windows
source scripts/lib/wine.sh
source scripts/lib/windows-build.sh
source scripts/lib/windows-deploy.sh
# Wine would copy the Start-menu entries into this machine's desktop menus.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"

step() { echo "=== windows installer: $*"; }

step "Qt and libraries for Windows"
windows_environment

step "the programs"
build=build/windows
runtime=$root/$build/runtime
windows_configure -DQUARNEL_WINDOWS_RUNTIME_DIR="$runtime"
cmake --build "$build" --target Quarnel quarnel-demo quarnelctl quarnel_data \
    --parallel "$(nproc)"
# What the programs import beyond Windows, found from their import tables.
rm -rf "$runtime"
mkdir -p "$runtime"
cp "$build"/bin/{Quarnel,quarnel-demo,quarnelctl}.exe "$runtime/"
windows_deploy "$QUARNEL_WINDOWS_QT" "$runtime" platforms/qwindows.dll
rm "$runtime"/*.exe

step "the installer"
(cd "$build" && cpack -G NSIS >/dev/null)
installer=$(ls "$build"/Quarnel-*-setup.exe)
ls -l "$installer"
# A silent install shows no page: check in CPack's script that the licence page is there.
grep -q '^ *!insertmacro MUI_PAGE_LICENSE .*GPL-3.0-or-later.txt' \
    "$build"/_CPack_Packages/*/NSIS/project.nsi || {
    echo "the installer shows no licence page" >&2
    exit 1
}

step "install, use and uninstall under Wine"
prefix=$root/$build/install-prefix
rm -rf "$prefix"
wine_init "$prefix"
folder="$prefix/drive_c/Program Files/Quarnel"
menu="$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Quarnel"
wine_run "$installer" /S
wine_wait
failures=0
for file in Quarnel.exe quarnel-demo.exe quarnelctl.exe Player.ini Lang/English.ini \
    Qt6Widgets.dll platforms/qwindows.dll Uninstall.exe LICENSE.txt THIRD-PARTY-NOTICES.txt; do
    [[ -f "$folder/$file" ]] || {
        echo "not installed: $file" >&2
        failures=$((failures + 1))
    }
done
for entry in Quarnel.lnk "Quarnel demo (simulated tracker).lnk"; do
    [[ -f "$menu/$entry" ]] || {
        echo "no Start-menu entry $entry" >&2
        failures=$((failures + 1))
    }
done
grep -q 'GNU GENERAL PUBLIC LICENSE' "$folder/LICENSE.txt" || {
    echo "LICENSE.txt is not the GPL" >&2
    failures=$((failures + 1))
}
for part in libqt6core6 gcc-mingw-w64-base mingw-w64-common libhidapi-dev nlohmann-json3-dev \
    libjs-leaflet; do
    grep -q "(from Debian's $part package)" "$folder/THIRD-PARTY-NOTICES.txt" || {
        echo "THIRD-PARTY-NOTICES.txt lacks the notices of $part" >&2
        failures=$((failures + 1))
    }
done

# The entry in Apps & Features, as Windows reads it.
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quarnel'
entry=$(wine_run reg query "$uninstall_key" 2>/dev/null | tr -d '\r')
echo "$entry"
registry_value() { awk -v name="$1" '$1 == name { $1 = ""; $2 = ""; sub(/^  */, ""); print }' <<<"$entry"; }
expect_value() {
    local got
    got=$(registry_value "$1")
    if [[ ! "$got" =~ ^$2$ ]]; then
        echo "Apps & Features: $1 is \"$got\", expected $2" >&2
        failures=$((failures + 1))
    fi
}
version=$(sed -n 's/^project(Quarnel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
expect_value DisplayName "Quarnel ${version//./\\.}"
expect_value DisplayVersion "${version//./\\.}"
expect_value Publisher "Quarnel developers"
expect_value DisplayIcon '.*\\Quarnel\\Quarnel\.exe'
expect_value UninstallString '".*\\Quarnel\\Uninstall\.exe"'
# The size in KiB: at least the programs and Qt's DLLs, 10 MiB and more.
size=$(registry_value EstimatedSize)
if [[ ! "$size" =~ ^0x[0-9a-f]+$ ]] || (($size < 10240)); then
    echo "Apps & Features: EstimatedSize is \"$size\", expected the size in KiB" >&2
    failures=$((failures + 1))
fi

info=$(cd "$folder" && wine_run ./quarnelctl.exe --demo info | tr -d '\r')
echo "$info"
grep -q '^IMEI: ' <<<"$info" || {
    echo "the installed quarnelctl.exe did not answer" >&2
    failures=$((failures + 1))
}
wine_run "$folder/Uninstall.exe" /S
wine_wait
# The uninstaller copies itself away and removes the folder when it has ended.
for _ in $(seq 50); do
    [[ -e "$folder" ]] || break
    sleep 0.2
done
left=$(
    find "$prefix/drive_c" -iname '*quarnel*' | sed "s|$prefix/||"
    grep -i 'quarnel' "$prefix/system.reg" | sed 's/^/registry: /' || true
)
if [[ -n "$left" ]]; then
    echo "left after uninstalling:" >&2
    echo "$left" >&2
    failures=$((failures + 1))
fi
((failures == 0)) || exit 1
echo "installed, used and uninstalled without a trace"
