#!/usr/bin/env bash
# The notification-area icon of the real program: there with its picture and tooltip while the
# program runs (also with the panel hidden), gone when it ends; the panel window takes dropped files.
. "$(dirname "$0")/lib.sh"

dir=$(new_folder "トレイ")
printf '[Initialize]\r\nAutoClose=True\r\n\r\n[Registered Files]\r\n' >"$dir/Zumaro.ini"
start_zumaro "$dir"
tray=$(winctl wait __winex11_standalone_tray 30)
check "Wine's tray window is shown" "yes" "$([ -n "$tray" ] && echo yes || echo no)"
read -r tx ty tw th <<<"$tray"
sleep 0.5
shot tray-icon
# The icon's picture: the red cursor frame of the program's icon, somewhere in the tray window.
red=$(convert "$SHOTS/tray-icon.png" -crop "${tw}x${th}+${tx}+${ty}" +repage txt:- | grep -m1 -i '#FF0000' |
      sed -E 's/^([0-9]+),([0-9]+):.*/\1 \2/')
check "the program's picture is in the tray" "yes" "$([ -n "$red" ] && echo yes || echo no)"
if [ -n "$red" ]; then
    read -r rx ry <<<"$red"
    xdotool mousemove $((tx + rx + 3)) $((ty + ry + 3))
    sleep 0.2
    xdotool mousemove $((tx + rx + 4)) $((ty + ry + 4))
    check "its tooltip" "ズマロランチャ作動中" "$(winctl tip 10)"
    shot tray-tooltip
fi
check "the panel window takes dropped files" "yes" "$(winctl accepts TfrmMain)"

winctl close TfrmMain >/dev/null
wait_exit "$ZPID"
check "exit code" 0 "$ZRC"
sleep 0.5
check "the icon is gone with the program (the empty tray hides)" "" "$(winctl wait __winex11_standalone_tray 2)"
finish
