#!/usr/bin/env bash
# Installs what is missing, builds the launcher and starts it under Wine from build/x86_64/portable.
# On $DISPLAY when there is one; otherwise on a virtual display, where it answers the first start's
# message itself, saves a screenshot and says how to drive the launcher there.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh
cmake -S . -B build/x86_64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/x86_64 --target Zumaro winctl -j"$(nproc)"
prefix=$PWD/build/x86_64/wineprefix
tools/wine-prefix.sh "$prefix"

. tools/display.sh
virtual=no
if [ -z "${DISPLAY:-}" ]; then
    start_virtual_display "${ZUMARO_DISPLAY:-90}"
    virtual=yes
    echo "run: no display, so the launcher runs on the virtual display $DISPLAY"
fi
export WINEPREFIX=$prefix WINEDEBUG=-all LANG=ja_JP.UTF-8
unset LC_ALL
cleanup() {
    "${WINESERVER:-$(command -v wineserver || echo /usr/lib/wine/wineserver64)}" -k 2>/dev/null || true
    stop_virtual_display
}
trap cleanup EXIT
winctl() { build/x86_64/wine-run.sh build/x86_64/tests/winctl.exe "$@" | iconv -f CP932 -t UTF-8 | tr -d '\r'; }
first=no
[ -f build/x86_64/portable/Zumaro.ini ] || first=yes
# In a session of its own, so that Ctrl+C here reaches only this script, which ends the launcher as
# its menu's 終了(&X) does: with a close message, after which it writes its settings.
setsid build/x86_64/wine-run.sh build/x86_64/portable/Zumaro.exe &
pid=$!
trap 'echo "run: closing the launcher"; winctl close TfrmMain >/dev/null; wait "$pid"; exit 0' INT
if [ "$virtual" = yes ]; then
    # Nobody sees this display: the first start's message (no Zumaro.ini yet) is answered here.
    if [ "$first" = yes ]; then
        box=$(winctl box ok 30) && box=${box//$'\t'/ | } && echo "run: answered OK to the first start's message: ${box//\\r/ }"
    fi
    winctl wait TfrmMain 30 >/dev/null || true
    sleep 1
    shot=$PWD/build/x86_64/screenshot.png
    import -display "$DISPLAY" -window root "$shot"
    echo "run: screenshot saved to $shot"
    read -r x y w h < <(winctl wait TfrmMain 1) || true
    echo "run: the launcher keeps running; Ctrl+C ends it. To drive it from another shell:"
    line() { printf '  %-62s # %s\n' "$1" "$2"; }
    echo "  export DISPLAY=$DISPLAY"
    line "xdotool mousemove 80 30 key ctrl+shift+a" "the hot key, over a window of Wine's (its tray)"
    line "xdotool search --onlyvisible --classname zumaro.exe windowfocus" "keys to the launcher, not to the tray"
    [ -n "${x:-}" ] && line "xdotool mousemove $((x + w / 2)) $((y + h - 5)) click 3" "right click on the panel: its menu"
    line "xdotool key o" "a menu item by its key: 設定(&O); x, 終了(&X), ends it"
    line "import -window root shot.png" "what the display shows"
    line "build/x86_64/wine-run.sh build/x86_64/tests/winctl.exe list" "the windows, their places and texts"
    line "build/x86_64/wine-run.sh build/x86_64/tests/winctl.exe box ok" "answers a message box with OK"
    [ -n "${x:-}" ] && line "python3 tests/e2e/xdnd_drop.py $((x + 12)) $((y + 12)) FILE" "drops FILE on the first cell"
fi
wait "$pid"
