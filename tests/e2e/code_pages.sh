#!/usr/bin/env bash
# The same program on any Windows: under the system code pages 932 (Japanese), 65001 (Windows' UTF-8
# option) and 1252 (a Western Windows), a copy of the program in a folder named in Hangul starts on a
# Shift-JIS Zumaro.ini of Japanese entries without a question, shows its Japanese texts, launches a
# Japanese entry, takes a Japanese name dropped on it, and writes the very same bytes at its end.
. "$(dirname "$0")/lib.sh"

DROP="$(dirname "$0")/xdnd_drop.py"
files="$WORK/登録"
mkdir -p "$files/フォルダ"
echo memo >"$files/メモ.txt"
echo new >"$files/新規.txt"
cp "$MARK_EXE" "$files/道具.exe"  # leaves "道具.exe.ran" beside itself when started

written=()
for lang in ja_JP.UTF-8 hi_IN.UTF-8 C.UTF-8; do
    export ZUMARO_LANG=$lang
    dir=$(new_folder "한국어-$lang")
    rm -f "$files/道具.exe.ran"
    printf '[Initialize]\r\nPannelCol=3\r\nPannelRow=2\r\nSmallLargeBoundary=24\r\nAnimation=False\r\nHotKey1=1\r\nAutoClose=False\r\nLeft=300\r\nTop=200\r\n\r\n[Registered Files]\r\n%s/False/道具.exe\r\n%s/False/メモ.txt\r\n%s/True/フォルダ\r\n' \
        "$(winpath "$files/道具.exe")" "$(winpath "$files/メモ.txt")" "$(winpath "$files/フォルダ")" | sjis >"$dir/Zumaro.ini"
    start_zumaro "$dir"
    read -r panel_x panel_y _ < <(winctl wait TfrmMain 30)
    sleep 0.5
    check "$lang: the entries are there, nothing is asked" "300 200 0" "$panel_x $panel_y $(winctl count '#32770')"

    # A cell's tooltip and the settings dialog's texts, read from another process.
    xdotool mousemove $((panel_x + 36 + 16)) $((panel_y + 2 + 16))
    check "$lang: a cell's tooltip is its Japanese path" "$(winpath "$files/メモ.txt")" "$(winctl tip 5)"
    xdotool mousemove $((panel_x + 52)) $((panel_y + 75)) click 3
    winctl wait '#32768' 5 >/dev/null
    shot "code-page-$lang-menu"
    xdotool key o
    winctl wait TfrmSetting 10 >/dev/null
    sleep 0.5
    shot "code-page-$lang-settings"
    check "$lang: the settings dialog's caption and buttons" "ただのランチャーの設定|OK|キャンセル|詳細(&S)" \
        "$(winctl list | awk '$1 == "TfrmSetting" {$1 = $2 = $3 = $4 = $5 = $6 = ""; print}' | sed 's/^ *//')|$(
            winctl text TfrmSetting 1001)|$(winctl text TfrmSetting 1002)|$(winctl text TfrmSetting 1016)"
    winctl press TfrmSetting 1002 >/dev/null
    sleep 0.5

    # The program registered under its Japanese name is started through the shell.
    xdotool mousemove $((panel_x + 2 + 16)) $((panel_y + 2 + 16)) sleep 0.3
    winctl key TfrmMain 13 >/dev/null
    for i in $(seq 1 100); do [ -e "$files/道具.exe.ran" ] && break; sleep 0.1; done
    check "$lang: a Japanese entry launches" yes "$([ -e "$files/道具.exe.ran" ] && echo yes || echo no)"
    for i in $(seq 1 50); do pgrep -f '道具.exe' >/dev/null || break; sleep 0.1; done

    python3 "$DROP" $((panel_x + 36 + 10)) $((panel_y + 2 + 10)) "$files/新規.txt"
    check "$lang: a Japanese name dropped on a cell is taken" 0 "$?"
    sleep 0.3
    winctl close TfrmMain >/dev/null
    wait_exit "$ZPID"
    check "$lang: exit code" 0 "$ZRC"
    check_file "$lang: the settings stay beside the program, in Shift-JIS" "$dir/Zumaro.ini" "[Initialize]
PannelCol=3
PannelRow=2
BtnWidth=32
BtnHeight=32
SmallLargeBoundary=24
Animation=False
ZumaroSpeed=5
ZumaroSound=True
NumOfRegi=4
HotKey1=1
HotKey2=A
AutoClose=False
Left=300
Top=200

[Registered Files]
$(winpath "$files/道具.exe")/False/道具.exe
$(winpath "$files/新規.txt")/False/新規.txt
$(winpath "$files/メモ.txt")/False/メモ.txt
$(winpath "$files/フォルダ")/True/フォルダ"
    written+=("$(md5sum <"$dir/Zumaro.ini" | cut -d' ' -f1)")
done
unset ZUMARO_LANG
check "the same bytes under all three code pages" 1 "$(printf '%s\n' "${written[@]}" | sort -u | wc -l)"
finish
