#!/usr/bin/env bash
# Makes a Wine prefix fit for the tests: no crash dialog, no wait for a window manager, no sound device.
# Usage: wine-prefix.sh DIR   (does nothing when DIR is already made)
set -euo pipefail
prefix=${1:?usage: wine-prefix.sh DIR}
# Wine draws close boxes, check marks, radio dots and drop-down arrows from Marlett, which it does
# not find in the system's font folders: the prefix gets its own copy.
fonts() {
    local dir=$prefix/drive_c/windows/Fonts
    [ -f "$dir/marlett.ttf" ] && return 0
    mkdir -p "$dir"
    cp /usr/share/wine/fonts/marlett.ttf "$dir/"
}
if [ -f "$prefix/.zumaro-ready" ]; then fonts; exit 0; fi
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
if [ -f "$prefix/.zumaro-ready" ]; then fonts; exit 0; fi
wine=${WINE:-$(command -v wine64 || echo /usr/lib/wine/wine64)}
export WINEPREFIX=$prefix WINEDEBUG=-all LANG=ja_JP.UTF-8
unset LC_ALL
# No Mono or Gecko: nothing here needs them, and their installers would ask.
export WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$prefix"
"$wine" wineboot -i >/dev/null 2>&1
reg() { "$wine" reg add "$@" /f >/dev/null 2>&1; }
reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
reg 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N
reg 'HKCU\Software\Wine\Drivers' /v Audio /t REG_SZ /d ''
"${WINESERVER:-$(command -v wineserver || echo /usr/lib/wine/wineserver64)}" -w
fonts
touch "$prefix/.zumaro-ready"
