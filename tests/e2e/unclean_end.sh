#!/usr/bin/env bash
# Ends that are not the program's own lose nothing: a session that ends while the start-up still
# asks about a vanished entry leaves the file as it was, and a file dropped on the panel is in the
# file before the process is killed.
. "$(dirname "$0")/lib.sh"

dir=$(new_folder "強制終了")
for name in a b c 新規; do echo "$name" >"$dir/$name.txt"; done
here=$(winpath "$dir")
printf '[Initialize]\r\nAnimation=False\r\nLeft=300\r\nTop=200\r\n\r\n[Registered Files]\r\n%s\r\n%s\r\n%s\r\n%s\r\n' \
    "$here\\a.txt" "$here\\消えた.txt" "$here\\b.txt" "$here\\c.txt" | sjis >"$dir/Zumaro.ini"
before=$(md5sum <"$dir/Zumaro.ini")

# The session ends under the question about the second entry, and the system ends the process.
start_zumaro "$dir"
question=$(winctl box "" 30)
shot unclean-end-question
check "the start-up asks about the vanished entry" yes "$([[ $question == *消えた.txt* ]] && echo yes || echo "no: $question")"
check "the session may end" 1 "$(winctl endsession TfrmMain | cut -d" " -f1)"
kill -9 "$ZPID" 2>/dev/null
wait_exit "$ZPID"
check "the file is as it was, with all four entries" "$before" "$(md5sum <"$dir/Zumaro.ini")"

# A drop, then the process killed: the entry is in the file already.
start_zumaro "$dir"
winctl box no 30 >/dev/null
read -r panel_x panel_y _ < <(winctl wait TfrmMain 30)
sleep 0.5
python3 "$(dirname "$0")/xdnd_drop.py" $((panel_x + 2 + 10)) $((panel_y + 2 + 10)) "$dir/新規.txt"
check "the drop is taken" 0 "$?"
sleep 0.5
pkill -9 -f "$dir/Zumaro.exe"
wait_exit "$ZPID"
check "killed after the drop: the file holds it first" \
    "$here\\新規.txt/False/新規.txt|$here\\a.txt|$here\\消えた.txt|$here\\b.txt|$here\\c.txt" \
    "$(iconv -f CP932 -t UTF-8 "$dir/Zumaro.ini" | tr -d '\r' | sed -n '/^\[Registered Files\]$/,$p' | tail -n +2 |
        sed 's|/False/[a-c]\.txt$||; s|/False/消えた\.txt$||' | paste -sd'|')"
finish
