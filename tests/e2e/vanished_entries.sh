#!/usr/bin/env bash
# Entries whose file has gone are asked about at start: No keeps them, Yes drops them.
# A hand-edited file keeps its values as read.
. "$(dirname "$0")/lib.sh"

dir=$(new_folder "登録")
mkdir -p "$dir/表示フォルダ"
echo memo > "$dir/ソフト.txt"
here=$(winpath "$dir")
{
    printf 'pannelcol=5\r\nPannelRow =9\r\nBtnWidth=$18\r\nHotKey2=z\r\nAutoClose=False\r\nLeft=10\r\nTop=20\r\n'
    printf '[Registered Files]\r\n'
    printf '%s\r\n' "$here\\ソフト.txt/True/メモ" "$here\\消えた.exe" "$here\\表示フォルダ"
} | sjis > "$dir/Zumaro.ini"
herev=$here

start_zumaro "$dir"
box=$(winctl box no 30)
check "question for the vanished entry" \
    $'ズマロランチャー\t登録されたファイル('"$herev"$'\\消えた.exe)が見つかりません。登録リストから削除してもいいですか？\tyes,no' \
    "$box"
winctl wait TfrmMain 30 >/dev/null
winctl close TfrmMain >/dev/null
wait_exit "$ZPID"
check "exit code" 0 "$ZRC"
check_file "No keeps the entry in its place; hand-edited values as read" "$dir/Zumaro.ini" "[Initialize]
PannelCol=5
PannelRow=3
BtnWidth=24
BtnHeight=32
SmallLargeBoundary=18
Animation=True
ZumaroSpeed=5
ZumaroSound=True
NumOfRegi=3
HotKey1=0
HotKey2=A
AutoClose=False
Left=10
Top=20

[Registered Files]
$herev\\ソフト.txt/True/メモ
$herev\\消えた.exe/False/消えた.exe
$herev\\表示フォルダ/False/表示フォルダ"

start_zumaro "$dir"
box=$(winctl box yes 30)
check "asked again at the next start" "yes,no" "$(cut -f3 <<<"$box")"
winctl wait TfrmMain 30 >/dev/null
winctl close TfrmMain >/dev/null
wait_exit "$ZPID"
check "exit code after Yes" 0 "$ZRC"
check "Yes drops it" "2 0" "$(grep -ac '\\' "$dir/Zumaro.ini") $(grep -ac "$(printf '消えた' | iconv -f UTF-8 -t CP932)" "$dir/Zumaro.ini")"

# Kept with No, a vanished entry's cell is empty; once its file is back, the settings' OK shows its
# icon. INK: how many pixels of the first cell are not the white of an empty picture.
dir=$(new_folder "戻った")
printf '[Initialize]\r\nLeft=300\r\nTop=200\r\n[Registered Files]\r\n%s\r\n' "$(winpath "$dir/戻る.txt")" | sjis >"$dir/Zumaro.ini"
ink() { import -display "$DISPLAY" -window root -crop 32x32+302+202 +repage txt:- | tail -n +2 | grep -vc '#FFFFFF'; }
start_zumaro "$dir"
winctl box no 30 >/dev/null
winctl wait TfrmMain 30 >/dev/null
sleep 0.5
check "the vanished entry's cell is empty" 0 "$(ink)"
echo back >"$dir/戻る.txt"
xdotool mousemove $((300 + 52)) $((200 + 75)) click 3
winctl wait '#32768' 5 >/dev/null
xdotool key o
winctl wait TfrmSetting 10 >/dev/null
winctl press TfrmSetting 1001 >/dev/null
sleep 1
shot vanished-entry-back
check "back, its icon shows after the settings' OK" yes "$([ "$(ink)" -gt 20 ] && echo yes || echo "no: $(ink)")"
winctl close TfrmMain >/dev/null
wait_exit "$ZPID"
finish
