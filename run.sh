#!/usr/bin/env bash
# Installs what is missing, builds the launcher and starts it under Wine from build/x86_64/portable.
# On $DISPLAY when there is one; otherwise on a virtual display, with a screenshot.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh
cmake -S . -B build/x86_64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/x86_64 --target Zumaro -j"$(nproc)"
prefix=$PWD/build/x86_64/wineprefix
tools/wine-prefix.sh "$prefix"

. tools/display.sh
virtual=no
if [ -z "${DISPLAY:-}" ]; then
    start_virtual_display 90
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
build/x86_64/wine-run.sh build/x86_64/portable/Zumaro.exe &
pid=$!
if [ "$virtual" = yes ]; then
    sleep 4
    shot=$PWD/build/x86_64/screenshot.png
    import -display "$DISPLAY" -window root "$shot"
    echo "run: screenshot saved to $shot"
    echo "run: the launcher keeps running; Ctrl+C ends it"
fi
wait "$pid"
