#!/usr/bin/env bash
# Makes a Wine prefix fit for the tests: no crash dialog, no wait for a window manager, no sound device;
# and brings it, new or made by an earlier version of this script, to look and act as Windows does
# (see up_to_date). Quick when there is nothing to do.
# Usage: wine-prefix.sh DIR [DPI]
# DPI, when given, is the system's dots per inch (LogPixels): 144 is the 150 % of many laptops.
set -euo pipefail
prefix=${1:?usage: wine-prefix.sh DIR [DPI]}
dpi=${2:-}
case $dpi in '' | [1-9][0-9] | [1-9][0-9][0-9]) ;; *) echo "wine-prefix.sh: DPI must be a number, not '$dpi'" >&2; exit 2 ;; esac
wine=${WINE:-$(command -v wine64 || echo /usr/lib/wine/wine64)}
wineserver=${WINESERVER:-$(command -v wineserver || echo /usr/lib/wine/wineserver64)}
export WINEPREFIX=$prefix WINEDEBUG=-all LANG=ja_JP.UTF-8
unset LC_ALL
# No Mono or Gecko: nothing here needs them, and their installers would ask.
export WINEDLLOVERRIDES="mscoree,mshtml="
reg() { "$wine" reg add "$@" /f >/dev/null 2>&1; }

# What every prefix needs beyond Wine's own set-up:
# - Marlett, from which Wine draws close boxes, check marks, radio dots and drop-down arrows; Wine
#   does not find it in the system's font folders, so the prefix gets its own copy.
# - The dialogs' Japanese faces as on Windows: "ＭＳ Ｐゴシック" proportional and "ＭＳ ゴシック"
#   fixed. Without a replacement Wine draws both with a fixed-pitch face.
# - ".txt" opened by notepad, as on Windows: Wine has the text file class but gives the extension
#   none. The launcher's help command opens its guide so.
# The registry is checked in its files, which the server writes a few seconds after a change: until
# then a second call adds the same values again, which changes nothing.
up_to_date() {
    [ -f "$prefix/drive_c/windows/Fonts/marlett.ttf" ] &&
        grep -q '"IPAPGothic"' "$prefix/user.reg" 2>/dev/null && grep -q '"IPAGothic"' "$prefix/user.reg" &&
        grep -q '^\[Software\\\\Classes\\\\.txt\]' "$prefix/system.reg" 2>/dev/null &&
        { [ -z "$dpi" ] || grep -q "^\"LogPixels\"=dword:$(printf %08x "$dpi")" "$prefix/user.reg"; }
}
bring_up_to_date() {
    mkdir -p "$prefix/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/"
    reg 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /t REG_SZ /d IPAPGothic
    reg 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ ゴシック' /t REG_SZ /d IPAGothic
    reg 'HKCR\.txt' /ve /t REG_SZ /d txtfile
    if [ -n "$dpi" ]; then reg 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi"; fi
}

if [ -f "$prefix/.zumaro-ready" ] && up_to_date; then exit 0; fi
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
if [ -f "$prefix/.zumaro-ready" ]; then
    up_to_date || bring_up_to_date
    exit 0
fi
rm -rf "$prefix"
"$wine" wineboot -i >/dev/null 2>&1
reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
reg 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N
reg 'HKCU\Software\Wine\Drivers' /v Audio /t REG_SZ /d ''
bring_up_to_date
"$wineserver" -w
touch "$prefix/.zumaro-ready"
