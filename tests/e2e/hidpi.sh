#!/usr/bin/env bash
# The real program at 144 dpi (150 %), in a prefix of that DPI: the panel, its cells and icons, the
# menu, the sprite and the dialogs drawn one and a half times as large, sharp, with nothing cut off.
export ZUMARO_DPI=144
. "$(dirname "$0")/lib.sh"

read -r sw sh < <(winctl screen)
dir=$(new_folder "高解像度")
mkdir -p "$dir/フォルダ"
cp "$MARK_EXE" "$dir/mark.exe"
marker="$dir/mark.exe.ran"
# The stored place and button size stay in the file's own units: screen pixels and 96-dpi pixels.
printf '[Initialize]\r\nAnimation=True\r\nZumaroSpeed=5\r\nPannelCol=3\r\nPannelRow=2\r\nLeft=400\r\nTop=300\r\n[Registered Files]\r\n%s\r\n%s\r\n' \
    "$(winpath "$dir/フォルダ")" "$(winpath "$dir/mark.exe")" | sjis > "$dir/Zumaro.ini"
start_zumaro "$dir"
check "3 x 2 panel of 32-pixel buttons: 156 x 125 at the stored place" "400 300 156 125" "$(winctl wait TfrmMain 30)"
check "cells of 48 with gaps of 3, arrows 17 high" "TImage 3 3 48 48 visible enabled
TImage 54 3 48 48 visible enabled
TImage 105 3 48 48 visible enabled
TImage 3 54 48 48 visible enabled
TImage 54 54 48 48 visible enabled
TImage 105 54 48 48 visible enabled
TSpeedButton 3 105 67 17 visible disabled
TSpeedButton 86 105 67 17 visible disabled" "$(winctl controls TfrmMain | sort -s -k1,1)"
sleep 0.5
xsetroot -display "$DISPLAY" -solid '#808080'
shot hidpi-panel

# The folder's icon in the first cell: the shell's 48-pixel one, whole and filling the cell. Where
# it drew a 32-pixel icon the picture would be at most 32 across; where it cut a larger one off, it
# would touch the cell's edges.
cell=$(import -display "$DISPLAY" -window root png:- |
       convert - -crop 48x48+403+303 +repage -bordercolor white -border 1 -fuzz 8% -trim -format '%w %h %X %Y' info:)
read -r iw ih ix iy <<<"$cell"
check "the first cell's icon is more than 32 pixels across" yes "$([ "$iw" -gt 36 ] && echo yes || echo "no: $cell")"
check "and drawn whole, inside the cell's edges" yes \
    "$([ "$ix" -gt 1 ] && [ "$iy" -gt 1 ] && [ $((ix + iw)) -lt 49 ] && [ $((iy + ih)) -lt 49 ] && echo yes || echo "no: $cell")"

# The tray icon at this scale: its picture clean, with none of the black a 16-colour picture whose
# mask was scaled apart from it leaves along its edges.
read -r rx ry < <(tray_icon_point)
check "the tray icon has no black edge" 0 "$(import -display "$DISPLAY" -window root png:- |
    convert - -crop 31x30+$((rx - 6))+$((ry - 4)) +repage txt:- | grep -c '#000000')"

# The menu, drawn by the system at its size, opened on the panel's ground by its bottom-right corner.
xdotool mousemove 553 422 click 3
sleep 0.6
shot hidpi-menu
check "the menu opens" yes "$(winctl menu 3 | grep -q enabled && echo yes || echo no)"
xdotool key Escape
sleep 0.3

# The dialogs, laid out by their font: at 144 dpi one and a half times as large as the same program
# shows them at 96 dpi (the borders Wine draws keep their 3 pixels), every control inside.
dialog_sizes() {  # dialog_sizes [SHOT_PREFIX]: "w h client_w client_h" of the settings, detail and About
                  # dialogs, a line each, and "outside: ..." for each control reaching out of its dialog
    local shot=${1:-} tx ty lx ly page
    xdotool mousemove 427 327 click 3  # the first cell's menu
    winctl wait '#32768' 5 >/dev/null
    xdotool key o
    winctl wait TfrmSetting 10 >/dev/null
    sleep 0.8
    if [ -n "$shot" ]; then
        shot "$shot-setting-regist" >&2
        # The first tab takes the focus, then the arrow keys go through the pages.
        read -r tx ty _ < <(winctl rect TfrmSetting 1003)
        xdotool mousemove $((tx + 20)) $((ty + 10)) click 1
        for page in launchbtn showtype; do
            xdotool key Right
            sleep 0.5
            shot "$shot-setting-$page" >&2
        done
        xdotool mousemove $((tx + 20)) $((ty + 10)) click 1
    fi
    read -r lx ly _ < <(winctl rect TfrmSetting 1011)
    xdotool mousemove $((lx + 40)) $((ly + 6)) click 1  # the first row
    winctl press TfrmSetting 1016  # 詳細
    winctl wait TfrmDetail 10 >/dev/null
    sleep 0.8
    [ -n "$shot" ] && shot "$shot-detail" >&2
    dialog_size TfrmSetting
    dialog_size TfrmDetail
    winctl press TfrmDetail 1102
    sleep 0.3
    winctl press TfrmSetting 1002
    sleep 0.5
    xdotool mousemove 427 327 click 3
    winctl wait '#32768' 5 >/dev/null
    xdotool key a
    winctl wait TfrmAbout 10 >/dev/null
    sleep 0.8
    [ -n "$shot" ] && shot "$shot-about" >&2
    dialog_size TfrmAbout
    winctl press TfrmAbout 1201
    sleep 0.3
}
dialog_size() {  # dialog_size CLASS
    local cw ch
    read -r cw ch < <(winctl client "$1")
    echo "$(winctl wait "$1" 5 | cut -d' ' -f3,4) $cw $ch"
    winctl children "$1" | awk -v w="$cw" -v h="$ch" '$2 < 0 || $3 < 0 || $2 + $4 > w || $3 + $5 > h { print "outside: " $0 }'
}
# "yes" when the second size is one and a half times the first: the window within 5 pixels, the
# client area within 2.
grown() {  # grown "W H CW CH" "W H CW CH"
    awk -v a="$1" -v b="$2" 'BEGIN {
        n = split(a, x, " "); split(b, y, " "); ok = n == 4
        for (i = 1; i <= 4; i++) { d = y[i] - x[i] * 1.5; if (d < 0) d = -d; if (d > (i <= 2 ? 5 : 2)) ok = 0 }
        print ok ? "yes" : "no: " b " for " a " at 96 dpi" }'
}
sizes144=$(dialog_sizes hidpi)

# The second cell launches: the sprite flies at 96 x 96 from the middle of the screen.
winctl key TfrmMain 39 >/dev/null
winctl key TfrmMain 13 >/dev/null
read -r x y w h < <(winctl wait TfrmZumaro 10)
check "the sprite flies from the middle of the screen, 96 x 96" "$((sw / 2)) 96 96" "$x $w $h"
sleep 1
shot hidpi-sprite
for i in $(seq 1 100); do [ -e "$marker" ] && break; sleep 0.1; done
check "then the shell starts the entry" yes "$([ -e "$marker" ] && echo yes || echo no)"

winctl close TfrmMain >/dev/null
wait_exit "$ZPID"
check "exit code" 0 "$ZRC"

# The same dialogs of the same program at 96 dpi, in the build tree's own prefix.
export ZUMARO_DPI=
start_zumaro "$dir"
winctl wait TfrmMain 30 >/dev/null
sizes96=$(dialog_sizes)
winctl close TfrmMain >/dev/null
wait_exit "$ZPID"
n=0
for dialog in settings detail About; do
    n=$((n + 1))
    check "the $dialog dialog one and a half times its size at 96 dpi" yes \
        "$(grown "$(grep -v outside <<<"$sizes96" | sed -n "${n}p")" "$(grep -v outside <<<"$sizes144" | sed -n "${n}p")")"
done
check "no control reaches out of its dialog at 144 dpi" "" "$(grep outside <<<"$sizes144")"
finish
