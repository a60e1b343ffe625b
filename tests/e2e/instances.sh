#!/usr/bin/env bash
# Eight starts at the same moment in one folder: one runs, seven are refused and touch nothing.
# A mutex of that name that this user may not open (another user's or an elevated instance) also
# refuses the start.
. "$(dirname "$0")/lib.sh"

dir=$(new_folder "同時起動")
echo memo > "$dir/メモ.txt"
here=$(winpath "$dir")
{
    printf '[Initialize]\r\nPannelCol=4\r\nNumOfRegi=1\r\nLeft=100\r\nTop=120\r\n\r\n[Registered Files]\r\n'
    printf '%s\r\n' "$here\\メモ.txt/True/覚え書き"
} | sjis > "$dir/Zumaro.ini"
touch -d '2001-02-03 04:05:06' "$dir/Zumaro.ini"
before="$(md5sum < "$dir/Zumaro.ini") $(stat -c %Y "$dir/Zumaro.ini")"

pids=()
for i in 1 2 3 4 5 6 7 8; do
    start_zumaro "$dir"
    pids+=("$ZPID")
done
refused=$(winctl boxes 7 ok 60)
check "seven starts refused" 7 "$(grep -c . <<<"$refused")"
check "each with the notice" 7 "$(grep -cx $'情報\tズマロランチャーはすでに起動されています\tok' <<<"$refused")"
winctl wait TfrmMain 30 >/dev/null
running=()
for i in "${!pids[@]}"; do
    pid=${pids[$i]}
    for t in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$pid" 2>/dev/null; then
        running+=("$pid")
    else
        wait "$pid"
        check "refused start $((i + 1)): exit code" 0 "$?"
    fi
done
check "exactly one keeps running" 1 "${#running[@]}"
check "one panel" 1 "$(winctl count TfrmMain)"
check "no further box" "" "$(winctl box ok 1)"
check "the settings file untouched, bytes and time" "$before" \
    "$(md5sum < "$dir/Zumaro.ini") $(stat -c %Y "$dir/Zumaro.ini")"
winctl close TfrmMain >/dev/null
wait_exit "${running[0]:-0}"
check "the running one ends with 0" 0 "$ZRC"
check "the running one wrote its file at close" "NumOfRegi=1" "$(grep -a '^NumOfRegi' "$dir/Zumaro.ini" | tr -d '\r')"

# Another user's instance: the mutex exists, and nobody here may open it.
mutex_out=$WORK/mutex.out
: > "$mutex_out"
"$WINE_RUN" "$WINCTL_EXE" mutex ZumaroLauncherByQuillon 20 > "$mutex_out" &
holder=$!
for i in $(seq 1 100); do grep -q held "$mutex_out" && break; sleep 0.1; done
check "the mutex is there and may not be opened" "held denied" "$(tr -d '\r' < "$mutex_out")"
before="$(md5sum < "$dir/Zumaro.ini") $(stat -c %Y "$dir/Zumaro.ini")"
start_zumaro "$dir"
check "a start beside it is refused" $'情報\tズマロランチャーはすでに起動されています\tok' "$(winctl box ok 30)"
wait_exit "$ZPID"
check "refused start: exit code" 0 "$ZRC"
check "no panel" 0 "$(winctl count TfrmMain)"
check "the settings file untouched" "$before" "$(md5sum < "$dir/Zumaro.ini") $(stat -c %Y "$dir/Zumaro.ini")"
kill "$holder" 2>/dev/null
wait "$holder" 2>/dev/null
finish
