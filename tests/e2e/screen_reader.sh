#!/usr/bin/env bash
# The panel as a screen reader reads it from another process (MSAA): its cells and arrows with their
# names, roles and states, the focus following the cursor, a cell's default action launching it, and
# the I key's hint read as a tooltip.
. "$(dirname "$0")/lib.sh"

dir=$(new_folder "読み上げ")
cp "$MARK_EXE" "$dir/mark.exe"
marker="$dir/mark.exe.ran"
echo memo > "$dir/memo.txt"
here=$(winpath "$dir")
{
    printf '[Initialize]\r\nAnimation=False\r\nAutoClose=False\r\nPannelCol=3\r\nPannelRow=2\r\nLeft=300\r\nTop=200\r\n'
    printf '[Registered Files]\r\n'
    printf '%s\r\n' "$here\\memo.txt/True/覚え書き" "$here\\mark.exe/True/印を付ける" \
        "$here\\memo.txt" "$here\\memo.txt/True/四つ目"
} | sjis > "$dir/Zumaro.ini"
start_zumaro "$dir"
winctl wait TfrmMain 30 >/dev/null

tree=$(winctl acc TfrmMain)
check "the panel's cells and arrows, named as their tooltips, the cursor's focused, the empty ones unavailable" \
    "$(printf '%s\n' $'client\t' \
        $'1\tpushbutton\t前のページ\tunavailable' $'2\tpushbutton\t次のページ\tunavailable' \
        $'3\tpushbutton\t覚え書き\tfocused,focusable' $'4\tpushbutton\t印を付ける\tfocusable' \
        $'5\tpushbutton\t'"$here"$'\\memo.txt\tfocusable' $'6\tpushbutton\t四つ目\tfocusable' \
        $'7\tpushbutton\t\tunavailable,focusable' $'8\tpushbutton\t\tunavailable,focusable')" "$tree"

# The focus follows the cursor: Down, Up, Right.
focus=$WORK/focus.txt
"$WINE_RUN" "$WINCTL_EXE" accfocus TfrmMain 6 > "$focus" &
watcher=$!
for i in $(seq 1 100); do grep -q ready "$focus" && break; sleep 0.1; done
for key in 40 38 39; do winctl key TfrmMain $key >/dev/null; sleep 0.5; done
wait "$watcher"
check "each cursor move names the new cell" "$(printf '%s\n' ready 四つ目 覚え書き 印を付ける)" \
    "$(iconv -f CP932 -t UTF-8 "$focus" | tr -d '\r')"

# The I key held: the hint is a tooltip named by its text.
xdotool keydown i
hint=$(winctl acc THintWindow | head -n 1)
xdotool keyup i
check "the hint is read as a tooltip with its text" $'tooltip\t印を付ける' "$hint"

check "an empty cell has no action" "refused" "$("$WINE_RUN" "$WINCTL_EXE" accdo TfrmMain 7 && echo done || echo refused)"
check "nothing launched yet" "no" "$([ -e "$marker" ] && echo yes || echo no)"
winctl accdo TfrmMain 4
for i in $(seq 1 100); do [ -e "$marker" ] && break; sleep 0.1; done
check "a cell's default action launches its entry" "yes" "$([ -e "$marker" ] && echo yes || echo no)"
winctl close TfrmMain >/dev/null
wait_exit "$ZPID"
check "exit code" 0 "$ZRC"
finish
