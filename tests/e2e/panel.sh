#!/usr/bin/env bash
# The panel as the real program shows it: the splash during start-up, the grid's size and place
# for a few settings files, the arrows, and a panel that starts hidden with auto close.
. "$(dirname "$0")/lib.sh"

read -r sw sh < <(winctl screen)
# The faces the program asks for, as Windows gives them: the splash, the hints and the dialogs are
# drawn proportional, not in the fixed-pitch face Wine would take for both.
check "ＭＳ Ｐゴシック is a proportional face and ＭＳ ゴシック a fixed one" \
    "$(printf '%s\n' 'ＭＳ Ｐゴシック variable' 'ＭＳ ゴシック fixed')" "$(winctl font 'ＭＳ Ｐゴシック'; winctl font 'ＭＳ ゴシック')"

# First start: the message stands over the splash.
dir=$(new_folder "既定")
start_zumaro "$dir"
splash=$(winctl wait TfrmSplash 30)
check "splash centred, 282 x 50, while the message is up" "$(((sw - 282) / 2)) $(((sh - 50) / 2)) 282 50" "$splash"
winctl wait '#32770' 30 >/dev/null
shot panel-first-start-message
winctl box ok >/dev/null
check "default panel: 104 x 83 at the centre less 32" "$((sw / 2 - 32)) $((sh / 2 - 32)) 104 83" "$(winctl wait TfrmMain 30)"
sleep 0.3
check "splash gone once the loop runs" "" "$(winctl wait TfrmSplash 0.5)"
children=$(winctl children TfrmMain) && found=found || found="no panel"
check "no window of its own for a cell or an arrow" "found " "$found $children"
check "six cells and two disabled arrows" "TImage 2 2 32 32 visible enabled
TImage 36 2 32 32 visible enabled
TImage 70 2 32 32 visible enabled
TImage 2 36 32 32 visible enabled
TImage 36 36 32 32 visible enabled
TImage 70 36 32 32 visible enabled
TSpeedButton 2 70 45 11 visible disabled
TSpeedButton 57 70 45 11 visible disabled" "$(winctl controls TfrmMain | sort -s -k1,1)"
shot panel-first-start
winctl close TfrmMain >/dev/null
wait_exit "$ZPID"
check "exit code" 0 "$ZRC"

# Five columns of 24-pixel buttons in one row, seven entries: two pages.
dir=$(new_folder "五列")
mkdir -p "$dir/files"
entries=""
for i in 1 2 3 4 5 6; do echo "$i" > "$dir/files/doc$i.txt"; entries+="$(winpath "$dir/files/doc$i.txt")"$'\r\n'; done
entries+="$(winpath "$dir/files")"$'\r\n'
printf '[Initialize]\r\nPannelCol=5\r\nPannelRow=1\r\nBtnWidth=24\r\nBtnHeight=24\r\nSmallLargeBoundary=20\r\nLeft=10\r\nTop=20\r\n[Registered Files]\r\n%s' "$entries" | sjis > "$dir/Zumaro.ini"
start_zumaro "$dir"
check "5 x 1 panel of 24-pixel buttons: 132 x 41 at the stored place" "10 20 132 41" "$(winctl wait TfrmMain 30)"
arrows() { winctl controls TfrmMain | grep TSpeedButton; }
check "arrows 59 wide under the row, only the right one on" "TSpeedButton 2 28 59 11 visible disabled
TSpeedButton 71 28 59 11 visible enabled" "$(arrows)"
sleep 0.5
shot panel-five-columns

# Hovering over a cell shows its entry's full path in the panel's tooltip.
xdotool mousemove $((10 + 2 + 26 + 12)) $((20 + 2 + 12))
sleep 0.2
xdotool mousemove $((10 + 2 + 26 + 10)) $((20 + 2 + 10))
check "the second cell's tooltip is its file's full path" "$(winpath "$dir/files/doc2.txt")" "$(winctl tip 5)"
shot panel-hover-tooltip

# The arrows by mouse: a disabled one does nothing (no page, no drag), an enabled one pages.
left_arrow() { xdotool mousemove $((10 + 2 + 20)) $((20 + 28 + 5)) click 1; sleep 0.4; }
right_arrow() { xdotool mousemove $((10 + 71 + 20)) $((20 + 28 + 5)) click 1; sleep 0.4; }
left_arrow
check "the disabled left arrow does nothing" "TSpeedButton 2 28 59 11 visible disabled
TSpeedButton 71 28 59 11 visible enabled 10 20" "$(arrows) $(winctl wait TfrmMain 5 | cut -d' ' -f1,2)"
right_arrow
check "the right arrow turns to the second page" "TSpeedButton 2 28 59 11 visible enabled
TSpeedButton 71 28 59 11 visible disabled" "$(arrows)"
shot panel-second-page
right_arrow
check "the disabled right arrow does nothing" "TSpeedButton 2 28 59 11 visible enabled
TSpeedButton 71 28 59 11 visible disabled 10 20" "$(arrows) $(winctl wait TfrmMain 5 | cut -d' ' -f1,2)"
xdotool mousemove $((10 + 2 + 26 + 10)) $((20 + 2 + 10))
check "the second page's second cell shows the folder's path" "$(winpath "$dir/files")" "$(winctl tip 5)"
left_arrow
check "the left arrow turns back" "TSpeedButton 2 28 59 11 visible disabled
TSpeedButton 71 28 59 11 visible enabled 10 20" "$(arrows) $(winctl wait TfrmMain 5 | cut -d' ' -f1,2)"
winctl close TfrmMain >/dev/null
wait_exit "$ZPID"
check "exit code" 0 "$ZRC"
check "entries written back in order" "7" "$(grep -ac 'doc[1-6].txt/False/doc\|files/False/files' "$dir/Zumaro.ini")"

# Two quick clicks on an arrow are two clicks, as on any button: eleven entries, two pages on.
one=$(winpath "$WORK/五列/files/doc1.txt")
dir=$(new_folder "二度押し")
printf '[Initialize]\r\nPannelCol=5\r\nPannelRow=1\r\nBtnWidth=24\r\nBtnHeight=24\r\nLeft=10\r\nTop=20\r\n[Registered Files]\r\n%s' \
    "$(for i in $(seq 1 11); do printf '%s\r\n' "$one"; done)" | sjis > "$dir/Zumaro.ini"
start_zumaro "$dir"
winctl wait TfrmMain 30 >/dev/null
xdotool mousemove $((10 + 71 + 20)) $((20 + 28 + 5)) click --repeat 2 --delay 80 1
sleep 0.4
check "a double click on the right arrow turns to the third and last page" "TSpeedButton 2 28 59 11 visible enabled
TSpeedButton 71 28 59 11 visible disabled" "$(arrows)"
winctl close TfrmMain >/dev/null
wait_exit "$ZPID"

# The largest grid the file allows, 100 x 100 buttons of 256 pixels: far past the screen, and
# painted all the same, with no error.
dir=$(new_folder "最大")
printf '[Initialize]\r\nPannelCol=100\r\nPannelRow=100\r\nBtnWidth=256\r\nBtnHeight=256\r\nSmallLargeBoundary=24\r\nLeft=0\r\nTop=0\r\n[Registered Files]\r\n%s\r\n' \
    "$one" | sjis > "$dir/Zumaro.ini"
start_zumaro "$dir"
winctl wait TfrmMain 30 >/dev/null
sleep 2
shot panel-largest-grid
check "the largest grid starts with no message" 0 "$(winctl count '#32770')"
check "and its first cell shows its icon" yes "$([ "$(import -display "$DISPLAY" -window root -crop 256x256+2+2 +repage txt:- |
    tail -n +2 | grep -vc '#FFFFFF')" -gt 100 ] && echo yes)"
winctl close TfrmMain >/dev/null
wait_exit "$ZPID"
check "exit code" 0 "$ZRC"

# Auto close: only the tray icon until the panel is called up.
dir=$(new_folder "自動")
printf '[Initialize]\r\nAutoClose=True\r\nLeft=300\r\nTop=200\r\n' > "$dir/Zumaro.ini"
start_zumaro "$dir"
sleep 2
check "with auto close the panel starts hidden" "1 " "$(winctl count TfrmMain) $(winctl wait TfrmMain 1)"
check "and the splash is gone too" "" "$(winctl wait TfrmSplash 0.5)"
shot panel-auto-close
winctl close TfrmMain >/dev/null
wait_exit "$ZPID"
check "exit code" 0 "$ZRC"
check "its file written at exit" "AutoClose=True" "$(grep -a '^AutoClose' "$dir/Zumaro.ini" | tr -d '\r')"
finish
