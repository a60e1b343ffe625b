#!/usr/bin/env bash
# Calling the real panel up as a user does: the hot key (registered for the whole system), arrows
# and Enter to launch with the sprite in flight, auto close, the tray icon's click, the menu, and a
# panel that stays up while the About or settings dialog is open.
. "$(dirname "$0")/lib.sh"

# The pointer's place decides which window hears the keys on this display: it is over the panel
# for the panel's keys, over the other program for the hot key.
other_x=600 other_y=20
at_other() { xdotool mousemove $((other_x + 50)) $((other_y + 30)); }
at_panel() { xdotool mousemove $((300 + 52)) $((200 + 75)); }  # the arrow strip's gap
visible() { [ -n "$(winctl wait TfrmMain "${1:-3}")" ] && echo shown || echo hidden; }
hot_key() { at_other; sleep 0.3; xdotool key ctrl+shift+a; }

dir=$(new_folder "呼び出し")
cp "$(dirname "$ZUMARO_EXE")/Zumaro.wav" "$dir/"
for name in first second; do cp "$MARK_EXE" "$dir/$name.exe"; done
printf '[Initialize]\r\nPannelCol=3\r\nPannelRow=2\r\nBtnWidth=32\r\nBtnHeight=32\r\nAnimation=True\r\nZumaroSpeed=1\r\nZumaroSound=True\r\nHotKey1=1\r\nHotKey2=A\r\nAutoClose=True\r\nLeft=300\r\nTop=200\r\n\r\n[Registered Files]\r\n%s\r\n%s\r\n' \
    "$(winpath "$dir/first.exe")" "$(winpath "$dir/second.exe")" | sjis >"$dir/Zumaro.ini"
cp "$dir/Zumaro.ini" "$WORK/ini.before"

start_zumaro "$dir"
winctl wait __winex11_standalone_tray 30 >/dev/null
sleep 0.5
check "auto close: the panel starts hidden" hidden "$(visible 0.5)"
check "Ctrl+Shift+A is held for the whole system" taken "$(winctl hotkey 6 65)"
check "Ctrl+Alt+A is not" free "$(winctl hotkey 3 65)"
"$WINE_RUN" "$WINCTL_EXE" other "$other_x" "$other_y" 120 &
OTHER=$!
trap 'kill "$OTHER" 2>/dev/null; winctl close Notepad >/dev/null 2>&1; rm -rf "$WORK"' EXIT
winctl wait ZumaroOtherProgram 10 >/dev/null

# The typical launch: hot key, Right to the second entry, Enter.
hot_key
check "the hot key shows the panel while another program is in front" shown "$(visible)"
at_panel
sleep 0.3
xdotool key Right
xdotool key Return
rect=$(winctl wait TfrmZumaro 5)
sleep 0.4
shot callup-sprite-first-wait
read -r x y w h <<<"$rect"
# During the first wait at speed 1 (1.4 s) the sprite is already drawn: most of its pixels are
# neither the black of the desktop nor unpainted.
painted=$(convert "$SHOTS/callup-sprite-first-wait.png" -crop "${w}x${h}+${x}+${y}" +repage txt:- |
          grep -v -c -i -E '#000000|^#')
check "the sprite is drawn from its first moment (painted pixels > 400)" yes "$([ "$painted" -gt 400 ] && echo yes || echo "no: $painted")"
for i in $(seq 1 150); do [ -e "$dir/second.exe.ran" ] && break; sleep 0.1; done
check "Right then Enter started the second entry through the shell" "yes no" \
    "$([ -e "$dir/second.exe.ran" ] && echo yes || echo no) $([ -e "$dir/first.exe.ran" ] && echo yes || echo no)"
check "auto close hid the panel after the launch" hidden "$(visible 1)"

# Toggling: the hot key and the tray icon's left button.
hot_key
check "hot key: shown" shown "$(visible)"
hot_key
sleep 0.5
check "hot key again: hidden" hidden "$(visible 0.5)"
tray_click 1
check "tray click: shown" shown "$(visible)"
# (With auto close a second click first takes the foreground to the tray, which hides the panel,
# and then shows it again; the in-process tests toggle it without auto close.)
hot_key
sleep 0.5

# Auto close: another program taking the foreground hides the panel...
hot_key
visible >/dev/null
at_panel
xdotool click 3
winctl wait '#32768' 5 >/dev/null
shot callup-panel-menu
xdotool key Escape
sleep 0.3
at_other
xdotool click 1
sleep 0.7
check "a click on another program hides the panel" hidden "$(visible 0.5)"

# ...but not while the About or the settings dialog is open, nor when it closes.
for dialog in About Setting; do
    hot_key
    visible >/dev/null
    at_panel
    xdotool click 3
    winctl wait '#32768' 5 >/dev/null
    [ "$dialog" = About ] && xdotool key a || xdotool key o
    winctl wait "Tfrm$dialog" 10 >/dev/null
    sleep 0.5
    [ "$dialog" = About ] && shot callup-about
    at_other
    xdotool click 1
    sleep 0.7
    check "$dialog open: another program in front leaves the panel up" shown "$(visible 1)"
    winctl close "Tfrm$dialog" >/dev/null
    sleep 0.7
    check "$dialog closed: it is gone" "" "$(winctl wait "Tfrm$dialog" 0.3)"
    check "$dialog closed: the panel is still up" shown "$(visible 1)"
    check "$dialog cancelled: the file is untouched" same "$(cmp -s "$WORK/ini.before" "$dir/Zumaro.ini" && echo same || echo changed)"
    hot_key
    sleep 0.5
done

# ヘルプ(&H) with no help file beside the program: the shell opens the guide that ships beside it,
# which Wine shows in its notepad; without the guide either, a message says so.
help_item() {
    hot_key
    visible >/dev/null
    at_panel
    xdotool click 3
    winctl wait '#32768' 5 >/dev/null
    xdotool key h
}
guide=はじめにお読みください.txt
cp "$(dirname "$ZUMARO_EXE")/$guide" "$dir/"
help_item
winctl wait Notepad 20 >/dev/null
sleep 0.5
viewer=$(winctl list | grep '^Notepad visible')
check "the help item opens the guide beside the program in the text viewer" yes \
    "$(grep -q -F "$guide" <<<"$viewer" && echo yes || echo "no: $viewer")"
shot callup-help-guide
winctl close Notepad >/dev/null
sleep 0.5
# The viewer is another program in front: auto close hid the panel.
[ "$(visible 0.5)" = shown ] && hot_key
sleep 0.5
rm "$dir/$guide"
help_item
check "without the guide a message says that neither it nor a help file is there" \
    $'ズマロランチャー\tヘルプファイル(Zumaro.hlp)も説明書(はじめにお読みください.txt)も、インストールされたフォルダに見つかりません。\tok' \
    "$(winctl box ok 10)"
sleep 0.5
hot_key
sleep 0.5
[ "$(visible 0.5)" = shown ] || hot_key
check "the program goes on after the help" shown "$(visible 2)"

kill "$OTHER" 2>/dev/null
winctl close TfrmMain >/dev/null
wait_exit "$ZPID"
check "exit code" 0 "$ZRC"
check "the hot key is free after the end" free "$(winctl hotkey 6 65)"
finish
