#!/usr/bin/env bash
# Safe in any folder: libraries named winmm.dll and msacm32.dll lying beside Zumaro.exe, and preferred
# by Wine as Windows prefers a program's own folder, are never loaded, while the launch sound's winmm
# comes from the system folder. (uxtheme.dll and version.dll are left out: Wine's own libraries pull
# them from the program's folder whatever the program does, where Windows takes them as known DLLs.)
. "$(dirname "$0")/lib.sh"

dir=$(new_folder "配布")
for name in winmm msacm32; do cp "$(dirname "$WINCTL_EXE")/planted.dll" "$dir/$name.dll"; done
cp "$(dirname "$ZUMARO_EXE")/Zumaro.wav" "$dir/"
export WINEDLLOVERRIDES="winmm,msacm32=n,b"
marks() { (cd "$dir" && ls *.loaded 2>/dev/null | xargs); }

# A program that loads winmm by its bare name takes the planted one: the marks are honest.
cp "$WINCTL_EXE" "$dir/naive.exe"
check "a naive program takes the planted library" "loaded winmm.dll.loaded" \
    "$("$WINE_RUN" "$dir/naive.exe" loadlib winmm.dll | tr -d '\r') $(marks)"
rm -f "$dir"/*.loaded "$dir/naive.exe"

cp "$MARK_EXE" "$dir/mark.exe"
printf '[Initialize]\r\nAnimation=True\r\nZumaroSpeed=20\r\nZumaroSound=True\r\nLeft=300\r\nTop=200\r\n[Registered Files]\r\n%s\r\n' \
    "$(winpath "$dir/mark.exe")" | sjis >"$dir/Zumaro.ini"
ZUMARO_WINEDEBUG=+loaddll "$WINE_RUN" "$dir/Zumaro.exe" 2>"$WORK/loaddll.log" &
ZPID=$!
read -r panel_x panel_y _ < <(winctl wait TfrmMain 30)
winctl key TfrmMain 13 >/dev/null  # launched with the sprite and the sound
for i in $(seq 1 100); do [ -e "$dir/mark.exe.ran" ] && break; sleep 0.1; done
check "the entry is launched after its flight" yes "$([ -e "$dir/mark.exe.ran" ] && echo yes || echo no)"
xdotool mousemove $((panel_x + 52)) $((panel_y + 75)) click 3
read -r mx my _ < <(winctl menu 5 | sed -n 2p)  # 設定(&O), chosen with the mouse: the shell took the keys
xdotool mousemove "$mx" "$my" sleep 0.2 click 1
check "the settings dialog opens" yes "$([ -n "$(winctl wait TfrmSetting 10)" ] && echo yes)"
winctl press TfrmSetting 1002 >/dev/null
sleep 0.5
winctl close TfrmMain >/dev/null
wait_exit "$ZPID"
check "exit code" 0 "$ZRC"
check "nothing planted was loaded" "" "$(marks)"
check "the sound's winmm came from the system folder" yes \
    "$(grep -qi 'Loaded L"C:\\\\windows\\\\system32\\\\winmm.dll"' "$WORK/loaddll.log" && echo yes || echo "no: $(grep -i winmm "$WORK/loaddll.log" | head -3)")"
finish
