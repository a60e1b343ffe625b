#!/usr/bin/env bash
# A second start while the launcher runs is refused and changes nothing.
. "$(dirname "$0")/lib.sh"

dir=$(new_folder "二重起動")
printf '[Initialize]\r\nPannelCol=4\r\nLeft=100\r\nTop=120\r\n' > "$dir/Zumaro.ini"
start_zumaro "$dir"
first=$ZPID
rect=$(winctl wait TfrmMain 30)
check "first instance's panel at the stored place" "100 120" "$(cut -d' ' -f1,2 <<<"$rect")"
before=$(md5sum < "$dir/Zumaro.ini")

start_zumaro "$dir"
second=$ZPID
box=$(winctl box ok 30)
check "second start refused" $'情報\tズマロランチャーはすでに起動されています\tok' "$box"
wait_exit "$second"
check "second instance's exit code" 0 "$ZRC"
check "still one panel" 1 "$(winctl count TfrmMain)"
check "settings file untouched by the second start" "$before" "$(md5sum < "$dir/Zumaro.ini")"

winctl close TfrmMain >/dev/null
wait_exit "$first"
check "first instance's exit code" 0 "$ZRC"
check "first instance wrote its file at close" "PannelCol=4" "$(grep -a '^PannelCol' "$dir/Zumaro.ini" | tr -d '\r')"
finish
