#!/usr/bin/env bash
# Paths of MAX_PATH (260) characters or more, dropped on the panel: one whose short form is shorter
# is registered under it, which reaches the file; one that is too long even so is refused with a
# message.
. "$(dirname "$0")/lib.sh"

dir=$(new_folder "長いパス")
deep=$dir
for i in $(seq 10 24); do deep="$deep/とても深いフォルダの階層$i"; done
mkdir -p "$deep"
cp "$MARK_EXE" "$deep/道具.exe"
deeper=$dir
for i in $(seq 10 40); do deeper="$deeper/LongFolderName$i"; done
mkdir -p "$deeper"
echo x >"$deeper/memo.txt"
check "the first is past MAX_PATH" yes "$([ "$(winpath "$deep/道具.exe" | wc -m)" -gt 260 ] && echo yes)"
printf '[Initialize]\r\nAnimation=False\r\nLeft=300\r\nTop=200\r\n\r\n[Registered Files]\r\n' >"$dir/Zumaro.ini"
start_zumaro "$dir"
read -r panel_x panel_y _ < <(winctl wait TfrmMain 30)
sleep 0.5

python3 "$(dirname "$0")/xdnd_drop.py" $((panel_x + 2 + 10)) $((panel_y + 2 + 10)) "$deep/道具.exe"
check "the drop is taken" 0 "$?"
sleep 0.5
line=$(iconv -f CP932 -t UTF-8 "$dir/Zumaro.ini" | tr -d '\r' | sed -n '/^\[Registered Files\]$/,$p' | sed -n 2p)
stored=${line%%/*}
check "stored under a form shorter than MAX_PATH, with its own name as its hint" "yes True/道具.exe" \
    "$([ "${#stored}" -lt 260 ] && echo yes || echo "no: ${#stored}") ${line#*/}"
check "which reaches the very file" "$deep/道具.exe" "$("$WINE_RUN" winepath.exe -u "$stored" 2>/dev/null | tr -d '\r')"
# Enter hands it to the shell, with no "not found" box: the program reaches the file. (Whether
# Wine's shell then starts a program by a short path whose long form passes MAX_PATH varies from
# run to run; it says nothing either way, as the shell's refusals are not reported.)
winctl key TfrmMain 13 >/dev/null
check "launched with no missing-file box" "" "$(winctl box ok 3)"

python3 "$(dirname "$0")/xdnd_drop.py" $((panel_x + 2 + 10)) $((panel_y + 2 + 10)) "$deeper/memo.txt"
check "too long even in its short form: refused" \
    $'ズマロランチャー\tファイル('"$(winpath "$deeper/memo.txt")"$')は登録できません。\\rパスが260文字以上あり、短いファイル名もありません。\tok' \
    "$(winctl box ok 10)"
winctl close TfrmMain >/dev/null
wait_exit "$ZPID"
check "exit code" 0 "$ZRC"
check "one entry kept" "NumOfRegi=1" "$(grep -a '^NumOfRegi=' "$dir/Zumaro.ini" | tr -d '\r')"
finish
