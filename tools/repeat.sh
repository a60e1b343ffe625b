#!/usr/bin/env bash
# Runs each end-to-end script N times in a row against the x86_64 build tree, on $DISPLAY or on a
# virtual display of its own (the first free number from ZUMARO_DISPLAY, 90). Prints each run's
# result line, keeps a failed run's output and screenshots in a folder under build/x86_64/repeat/,
# and ends with the failures per script; exits non-zero if any run failed.
# Usage: tools/repeat.sh N SCRIPT...   (e.g. tools/repeat.sh 10 tests/e2e/register.sh)
set -uo pipefail
n=${1:?usage: repeat.sh N SCRIPT...}
shift
[ $# -gt 0 ] || { echo "usage: repeat.sh N SCRIPT..." >&2; exit 2; }
root=$(cd "$(dirname "$0")/.." && pwd)
tree=$root/build/x86_64
for f in "$tree/portable/Zumaro.exe" "$tree/tests/winctl.exe" "$tree/wine-run.sh"; do
    [ -e "$f" ] || { echo "repeat.sh: $f is missing: build Zumaro and winctl first" >&2; exit 2; }
done
. "$root/tools/display.sh"
if [ -z "${DISPLAY:-}" ]; then
    start_virtual_display "${ZUMARO_DISPLAY:-90}" || exit 1
    trap stop_virtual_display EXIT
fi
# A server of the tree's prefixes left from an earlier run may belong to another display.
for prefix in "$tree"/wineprefix*/; do
    WINEPREFIX=${prefix%/} "$(command -v wineserver || echo /usr/lib/wine/wineserver)" -k 2>/dev/null
done
kept=$tree/repeat
mkdir -p "$kept"
summary=() status=0
for script in "$@"; do
    name=$(basename "$script" .sh) bad=0
    [[ $name == lib* ]] && continue  # the scripts' shared part, given along by a glob
    for i in $(seq 1 "$n"); do
        run=$kept/$name-$(date +%Y%m%d-%H%M%S)-$i
        mkdir -p "$run"
        if ZUMARO_SHOTS=$run bash "$script" "$tree/portable/Zumaro.exe" "$tree/tests/winctl.exe" \
            "$tree/wine-run.sh" >"$run/output.txt" 2>&1; then
            echo "$name $i/$n: $(tail -n 1 "$run/output.txt")"
            rm -rf "$run"
        else
            echo "$name $i/$n: $(tail -n 1 "$run/output.txt") (kept in $run)"
            bad=$((bad + 1))
        fi
    done
    summary+=("$name: $bad of $n failed")
    [ $bad -eq 0 ] || status=1
done
printf '%s\n' "${summary[@]}"
exit $status
