#!/usr/bin/env bash
# First start in a fresh folder: the missing-file message, the panel at the screen's centre,
# and a complete settings file written at close.
. "$(dirname "$0")/lib.sh"

dir=$(new_folder "初回")
start_zumaro "$dir"
box=$(winctl box ok 30)
check "missing-file message" \
    $'ズマロランチャー\t初期化ファイル(Zumaro.ini)がインストールされたフォルダに見つかりません。\\r既定値に初期化されます。\tok' \
    "$box"
check "nothing written before the first save" "no" "$([ -e "$dir/Zumaro.ini" ] && echo yes || echo no)"

read -r sw sh < <(winctl screen)
rect=$(winctl wait TfrmMain 30)
read -r x y w h <<<"$rect"
check "panel's top-left 32 pixels up and left of the centre" "$((sw / 2 - 32)) $((sh / 2 - 32))" "$x $y"

winctl close TfrmMain >/dev/null
wait_exit "$ZPID"
check "exit code" 0 "$ZRC"
check_file "settings file written at close" "$dir/Zumaro.ini" "[Initialize]
PannelCol=3
PannelRow=2
BtnWidth=32
BtnHeight=32
SmallLargeBoundary=24
Animation=True
ZumaroSpeed=5
ZumaroSound=True
NumOfRegi=0
HotKey1=1
HotKey2=A
AutoClose=False
Left=$((sw / 2 - 32))
Top=$((sh / 2 - 32))

[Registered Files]"
check "no file left beside it" "Zumaro.exe Zumaro.ini" "$(cd "$dir" && echo *)"
finish
