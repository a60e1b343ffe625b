#!/usr/bin/env bash
# The real program at 144 dpi (150 %), in a prefix of that DPI: the panel, its cells and icons, the
# menu and the sprite drawn one and a half times as large, sharp, with nothing cut off.
export ZUMARO_DPI=144
. "$(dirname "$0")/lib.sh"

read -r sw sh < <(winctl screen)
dir=$(new_folder "高解像度")
mkdir -p "$dir/フォルダ"
marker="$dir/launched.txt"
printf '@echo done> "%s"\r\n' "$(winpath "$marker")" | sjis > "$dir/mark.bat"
# The stored place and button size stay in the file's own units: screen pixels and 96-dpi pixels.
printf '[Initialize]\r\nAnimation=True\r\nZumaroSpeed=5\r\nPannelCol=3\r\nPannelRow=2\r\nLeft=400\r\nTop=300\r\n[Registered Files]\r\n%s\r\n%s\r\n' \
    "$(winpath "$dir/フォルダ")" "$(winpath "$dir/mark.bat")" | sjis > "$dir/Zumaro.ini"
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

# The menu, drawn by the system at its size, opened on the first cell (which takes the cursor).
xdotool mousemove 427 327 click 3
sleep 0.6
shot hidpi-menu
check "the menu opens" yes "$(winctl menu 3 | grep -q enabled && echo yes || echo no)"
xdotool key Escape
sleep 0.3

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
finish
