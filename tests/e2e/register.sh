#!/usr/bin/env bash
# Registering and arranging with the real program, as a user does: files dragged from a file
# manager (an X11 drag and drop) onto a cell of the panel and onto the settings dialog's list, the
# settings changed and accepted, the panel dragged by a gap, and the end through the menu.
. "$(dirname "$0")/lib.sh"

DROP="$(dirname "$0")/xdnd_drop.py"
dir=$(new_folder "登録")
for name in a b 新規 追加; do echo "$name" >"$dir/$name.txt"; done
printf '[Initialize]\r\nPannelCol=3\r\nPannelRow=2\r\nBtnWidth=32\r\nBtnHeight=32\r\nSmallLargeBoundary=24\r\nAnimation=False\r\nZumaroSpeed=5\r\nZumaroSound=True\r\nHotKey1=1\r\nHotKey2=A\r\nAutoClose=False\r\nLeft=300\r\nTop=200\r\n\r\n[Registered Files]\r\n%s\r\n%s\r\n' \
    "$(winpath "$dir/a.txt")" "$(winpath "$dir/b.txt")" | sjis >"$dir/Zumaro.ini"
start_zumaro "$dir"
winctl wait TfrmMain 30 >/dev/null
sleep 0.5
menu() {  # menu LETTER: the panel's menu, opened on its arrow strip's gap, and one of its items
    xdotool mousemove $((panel_x + 52)) $((panel_y + 75)) click 3
    winctl wait '#32768' 5 >/dev/null
    xdotool key "$1"
}
read -r panel_x panel_y _ < <(winctl wait TfrmMain 5)

# A file dropped on the second cell goes in as the second entry.
python3 "$DROP" $((panel_x + 36 + 10)) $((panel_y + 2 + 10)) "$dir/新規.txt"
check "the drop is taken" 0 "$?"
sleep 0.3
shot register-after-drop

# Names outside Shift-JIS: a program (a copy of mark.exe, which leaves a mark beside itself when
# started) in a folder, both named with characters the code page lacks, and a folder in Hangul.
tools="$dir/道具☕"
program="$tools/Café ☕.exe"
hangul="$dir/한국어"
mkdir -p "$tools" "$hangul"
cp "$MARK_EXE" "$program"
python3 "$DROP" $((panel_x + 2 + 10)) $((panel_y + 36 + 10)) "$program"
check "the program is taken" 0 "$?"
python3 "$DROP" $((panel_x + 36 + 10)) $((panel_y + 36 + 10)) "$hangul"
check "the Hangul folder is taken" 0 "$?"
sleep 0.3
shot register-outside-shift-jis
# A click on its button starts it through the path that was stored.
xdotool mousemove $((panel_x + 2 + 16)) $((panel_y + 36 + 16)) sleep 0.3 click 1
for i in $(seq 1 100); do [ -e "$program.ran" ] && break; sleep 0.1; done
check "launched from the panel, the very program runs" yes "$([ -e "$program.ran" ] && echo yes || echo no)"
# It is a console program: its process and whatever the system showed for it are gone first.
for i in $(seq 1 50); do pgrep -f 'Café ☕.exe' >/dev/null || break; sleep 0.1; done
sleep 0.5
xdotool mousemove $((panel_x + 52)) $((panel_y + 75))

# Dragging the panel by the gap between its first two buttons moves it.
xdotool mousemove $((panel_x + 34)) $((panel_y + 10)) mousedown 1
for step in 1 2 3 4 5 6; do xdotool mousemove $((panel_x + 34 + 10 * step)) $((panel_y + 10 + 7 * step)); sleep 0.05; done
xdotool mouseup 1
sleep 0.3
read -r moved_x moved_y _ < <(winctl wait TfrmMain 5)
check "the panel moved with the pointer" "$((panel_x + 60)) $((panel_y + 42))" "$moved_x $moved_y"
panel_x=$moved_x panel_y=$moved_y

# A press on a button followed by the same drag is the button's: the panel stays, and letting go
# off the button launches nothing.
xdotool mousemove $((panel_x + 2 + 10)) $((panel_y + 2 + 10)) mousedown 1
for step in 1 2 3 4 5 6; do xdotool mousemove $((panel_x + 12 + 10 * step)) $((panel_y + 12 + 7 * step)); sleep 0.05; done
xdotool mouseup 1
sleep 0.3
check "a drag that starts on a button leaves the panel where it was" "$panel_x $panel_y" \
    "$(winctl wait TfrmMain 5 | cut -d' ' -f1,2)"
check "and starts nothing (a text file would open in Notepad)" 0 "$(winctl count Notepad)"

# The settings dialog: a file dropped below the list's rows is appended, 4 columns, Ctrl+Shift+Q.
menu o
winctl wait TfrmSetting 10 >/dev/null
sleep 0.5
read -r lx ly lw lh < <(winctl rect TfrmSetting 1011)
python3 "$DROP" $((lx + 40)) $((ly + lh - 12)) "$dir/追加.txt"
check "the list takes the drop" 0 "$?"
echo x >"$dir/Ünïcode ✓.txt"
python3 "$DROP" $((lx + 40)) $((ly + lh - 12)) "$dir/Ünïcode ✓.txt"
check "the list takes a name outside Shift-JIS" 0 "$?"
sleep 0.3
shot register-settings-list
# While the dialog is open the panel takes no files, and the tray's menu offers neither a second
# settings dialog, nor About, nor the end.
check "the panel takes no files while the dialog is open" no "$(winctl accepts TfrmMain)"
tray_click 3
winctl wait '#32768' 5 >/dev/null
xdotool mousemove 900 700  # no item lit up under the pointer
items=$(winctl menu 5)
shot register-tray-menu-over-dialog
check "the tray's menu: show/hide and help only" "enabled grayed enabled grayed grayed" "$(awk '{print $3}' <<<"$items" | xargs)"
for item in 2 5; do  # 設定(&O), then 終了(&X)
    read -r mx my _ < <(sed -n "${item}p" <<<"$items")
    xdotool mousemove "$mx" "$my" sleep 0.2 click 1 sleep 0.5
done
xdotool mousemove 900 700 click 1  # a click elsewhere closes the menu
sleep 0.5
check "no second settings dialog, and the program goes on" "1 running" \
    "$(winctl count TfrmSetting) $(kill -0 "$ZPID" 2>/dev/null && echo running)"
# The tray's click brought the dialog forward, not the panel it holds.
check "the dialog stays in front of the panel" TfrmSetting \
    "$(winctl at $((panel_x + 12)) $((panel_y + 12)) | head -n 1 | cut -d' ' -f1)"
winctl select TfrmSetting 1023 3 >/dev/null   # columns: 4
winctl select TfrmSetting 1032 16 >/dev/null  # the hot key's letter: Q
winctl press TfrmSetting 1001 >/dev/null      # OK
sleep 1
check "the dialog is gone" "" "$(winctl wait TfrmSetting 0.3)"
read -r _ _ w h < <(winctl wait TfrmMain 5)
check "the panel is rebuilt at once: 4 columns" "138 83" "$w $h"
check "the new hot key is held" taken "$(winctl hotkey 6 81)"
check "the old one is free" free "$(winctl hotkey 6 65)"
# Names outside Shift-JIS are stored under a short form that reaches the very file or folder,
# with their own readable hint.
stored() { iconv -f CP932 -t UTF-8 "$dir/Zumaro.ini" | tr -d '\r' | sed -n "$1p"; }
unix_of() { "$WINE_RUN" winepath.exe -u "$1" 2>/dev/null | tr -d '\r'; }
program_line=$(stored 21) hangul_line=$(stored 22) unicode_line=$(stored 24)
check "the program's stored path reaches it" "$program" "$(unix_of "${program_line%%/*}")"
check "the folder's stored path reaches it" "$hangul" "$(unix_of "${hangul_line%%/*}")"
check "the list's stored path reaches its file" "$dir/Ünïcode ✓.txt" "$(unix_of "${unicode_line%%/*}")"
check "their own hints" "True/Cafe ?.exe True/??? True/Unicode ?.txt" \
    "$(for l in "$program_line" "$hangul_line" "$unicode_line"; do printf '%s ' "${l#*/}"; done | sed 's/ $//')"
entries="$(winpath "$dir/a.txt")/False/a.txt
$(winpath "$dir/新規.txt")/False/新規.txt
$(winpath "$dir/b.txt")/False/b.txt
$program_line
$hangul_line
$(winpath "$dir/追加.txt")/False/追加.txt
$unicode_line"
check_file "the file is written at once" "$dir/Zumaro.ini" "[Initialize]
PannelCol=4
PannelRow=2
BtnWidth=32
BtnHeight=32
SmallLargeBoundary=24
Animation=False
ZumaroSpeed=5
ZumaroSound=True
NumOfRegi=7
HotKey1=1
HotKey2=Q
AutoClose=False
Left=$panel_x
Top=$panel_y

[Registered Files]
$entries"
shot register-after-settings

# Cancel changes nothing.
cp "$dir/Zumaro.ini" "$WORK/ini.accepted"
menu o
winctl wait TfrmSetting 10 >/dev/null
winctl select TfrmSetting 1023 0 >/dev/null
winctl press TfrmSetting 1002 >/dev/null
sleep 0.7
check "cancelled: the file is as it was" same "$(cmp -s "$WORK/ini.accepted" "$dir/Zumaro.ini" && echo same || echo changed)"
read -r _ _ w _ < <(winctl wait TfrmMain 5)
check "cancelled: the panel is as it was" 138 "$w"

# The end through the menu's 終了(&X).
menu x
wait_exit "$ZPID"
check "exit code" 0 "$ZRC"
check "the file holds the entries and the panel's new place" "$(grep -a -c '' "$WORK/ini.accepted") Left=$panel_x" \
    "$(grep -a -c '' "$dir/Zumaro.ini") $(grep -a '^Left=' "$dir/Zumaro.ini" | tr -d '\r')"
finish
