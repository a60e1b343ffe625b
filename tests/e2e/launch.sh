#!/usr/bin/env bash
# Enter on the real panel: the sprite flies up carrying the icon, then the shell starts the entry.
. "$(dirname "$0")/lib.sh"

read -r sw sh < <(winctl screen)
dir=$(new_folder "起動")
check "the launch sound lies beside the program" "yes" "$([ -s "$(dirname "$ZUMARO_EXE")/Zumaro.wav" ] && echo yes)"
cp "$(dirname "$ZUMARO_EXE")/Zumaro.wav" "$dir/"
cp "$MARK_EXE" "$dir/mark.exe"
marker="$dir/mark.exe.ran"
printf '[Initialize]\r\nAnimation=True\r\nZumaroSpeed=5\r\nLeft=420\r\nTop=300\r\n[Registered Files]\r\n%s\r\n' \
    "$(winpath "$dir/mark.exe")" | sjis > "$dir/Zumaro.ini"
start_zumaro "$dir"
winctl wait TfrmMain 30 >/dev/null
check "the sprite waits hidden" "" "$(winctl wait TfrmZumaro 0.3)"
winctl key TfrmMain 13 >/dev/null
rect=$(winctl wait TfrmZumaro 10)
read -r x y w h <<<"$rect"
check "the sprite flies from the middle of the screen, 64 x 64" "$((sw / 2)) 64 64" "$x $w $h"
sleep 1
shot launch-sprite-in-flight
check "nothing started before the flight ends" "no" "$([ -e "$marker" ] && echo yes || echo no)"
for i in $(seq 1 100); do [ -e "$marker" ] && break; sleep 0.1; done
check "then the shell starts the entry" "yes" "$([ -e "$marker" ] && echo yes || echo no)"
check "the sprite is hidden again" "" "$(winctl wait TfrmZumaro 0.3)"
winctl close TfrmMain >/dev/null
wait_exit "$ZPID"
check "exit code" 0 "$ZRC"

# The slowest flight lasts some ten seconds: Windows must never count the program as not responding
# meanwhile (after five seconds without a look at its queue it would ghost the panel).
rm -f "$marker"
sed -i 's/^ZumaroSpeed=5/ZumaroSpeed=1/' "$dir/Zumaro.ini"
start_zumaro "$dir"
winctl wait TfrmMain 30 >/dev/null
winctl key TfrmMain 13 >/dev/null
winctl wait TfrmZumaro 10 >/dev/null
check "never counted as hung during a flight at speed 1" "0 of" "$(winctl hung TfrmMain 9 | cut -d' ' -f1-2)"
for i in $(seq 1 100); do [ -e "$marker" ] && break; sleep 0.1; done
check "the entry starts after the slow flight" "yes" "$([ -e "$marker" ] && echo yes || echo no)"
winctl close TfrmMain >/dev/null
wait_exit "$ZPID"
check "exit code after the slow flight" 0 "$ZRC"
finish
