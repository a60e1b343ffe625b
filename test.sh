#!/usr/bin/env bash
# Installs what is missing, builds native, x86_64 and i686, and runs every test: the native tests,
# the Windows tests under Wine on a virtual display (the first free number from ZUMARO_DISPLAY, 90
# by default), and the end-to-end scripts.
# Ends with one line "N passed, N failed"; exits non-zero on any failure.
set -uo pipefail
cd "$(dirname "$0")"
tools/setup.sh || exit 1
jobs=$(nproc)

build() {  # build DIR [cmake args]
    local dir=$1
    shift
    cmake -S . -B "$dir" "$@" >"$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; return 1; }
    cmake --build "$dir" -j"$jobs" >"$dir.build.log" 2>&1 || { grep -E 'error|Error' "$dir.build.log" | head -40; return 1; }
}

mkdir -p build
status=0
build build/native -DCMAKE_BUILD_TYPE=Debug || status=1
build build/x86_64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release || status=1
build build/i686 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release || status=1
if [ $status -ne 0 ]; then
    echo "0 passed, 1 failed"
    exit 1
fi

passed=0
failed=0
run_ctest() {  # run_ctest DIR [ctest args]
    local dir=$1 log line total bad
    shift
    log="$dir/ctest.log"
    (cd "$dir" && ctest --output-on-failure "$@") >"$log" 2>&1
    line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
    if [ -z "$line" ]; then
        cat "$log"
        failed=$((failed + 1))
        return
    fi
    grep -E '\*\*\*|Not Run' "$log" | head -40
    bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
    total=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$line")
    echo "$dir: $line"
    passed=$((passed + total - bad))
    failed=$((failed + bad))
    [ "$bad" -eq 0 ] || sed -n '/tests FAILED:/,$p' "$log"
}

run_ctest build/native -j"$jobs"

# The 32-bit program cannot run here, but its image can be read: its imports and load configuration
# as the 64-bit one's (which ctest checks). One test.
if python3 tests/package/check_image.py build/i686/portable/Zumaro.exe; then passed=$((passed + 1)); else failed=$((failed + 1)); fi

# The settings reader and writer under libFuzzer for a bounded time: one test.
if tools/fuzz.sh "${ZUMARO_FUZZ_SECONDS:-60}"; then passed=$((passed + 1)); else failed=$((failed + 1)); fi

# The Windows tests: one prefix for the tree, a virtual display, a warm wineserver.
. tools/display.sh
prefix=$PWD/build/x86_64/wineprefix
tools/wine-prefix.sh "$prefix" || { echo "0 passed, 1 failed"; exit 1; }
start_virtual_display "${ZUMARO_DISPLAY:-90}" || { echo "$passed passed, $((failed + 1)) failed"; exit 1; }
wineserver=${WINESERVER:-$(command -v wineserver || echo /usr/lib/wine/wineserver64)}
# A server left from an earlier run, of this prefix or one of another DPI, may belong to another
# display: start afresh, and start Wine's own helper processes before ctest, outside its output pipes.
end_servers() { local p; for p in "$prefix"*/; do WINEPREFIX=${p%/} "$wineserver" -k 2>/dev/null; done; }
end_servers
WINEPREFIX=$prefix "$wineserver" -p
trap 'end_servers; stop_virtual_display' EXIT
timeout 120 build/x86_64/wine-run.sh build/x86_64/tests/zumaro_wintests.exe --gtest_list_tests >/dev/null 2>&1 </dev/null
run_ctest build/x86_64

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
