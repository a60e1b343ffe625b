#!/usr/bin/env bash
# Saving at exit when the disk is full, when the folder is read-only, and over the leftovers of an
# interrupted save: the old file stays whole, the user is told why, and a stale "Zumaro.ini.tmp"
# never stops the next save.
. "$(dirname "$0")/lib.sh"

MOUNTS=()
cleanup() {
    local m
    for m in "${MOUNTS[@]}"; do umount "$m" 2>/dev/null; done
    rm -rf "$WORK"
}
trap cleanup EXIT

# The settings of a folder: two entries that exist there, and a count the program will correct,
# so that every save writes a text different from the one on disk.
write_settings() {  # write_settings DIR
    local here
    here=$(winpath "$1")
    echo memo > "$1/メモ.txt"
    mkdir -p "$1/表示フォルダ"
    {
        printf '[Initialize]\r\nPannelCol=4\r\nNumOfRegi=99\r\nLeft=100\r\nTop=120\r\n\r\n[Registered Files]\r\n'
        printf '%s\r\n' "$here\\メモ.txt/True/覚え書き" "$here\\表示フォルダ/False/表示フォルダ"
    } | sjis > "$1/Zumaro.ini"
}

# Runs the program in DIR and closes it; the box the save raised, if any, in SAVEBOX.
run_and_close() {  # run_and_close DIR [SCREENSHOT]
    start_zumaro "$1"
    winctl wait TfrmMain 30 >/dev/null
    winctl close TfrmMain >/dev/null
    [ -n "${2:-}" ] && winctl wait '#32770' 8 >/dev/null && shot "$2"
    SAVEBOX=$(winctl box ok 8)
    wait_exit "$ZPID"
}

# The warning a failed save gives: the file's path and the system's text for the error.
expect_save_warning() {  # expect_save_warning WHAT DIR ERROR_CODE
    local reason
    reason=$(winctl errtext "$3")
    check "$1: the user is told, with the path and the reason" \
        $'ズマロランチャー\t設定ファイル('"$(winpath "$2")"$'\\Zumaro.ini)を保存できませんでした。\\r'"$reason"$'\tok' \
        "$SAVEBOX"
}

# The entry lines of a settings file, as UTF-8.
entries() { iconv -f CP932 -t UTF-8 "$1" | tr -d '\r' | sed -n '/^\[Registered Files\]$/,$p' | tail -n +2; }

expect_saved() {  # expect_saved WHAT DIR ORIGINAL_ENTRIES
    check "$1: no box" "" "$SAVEBOX"
    check "$1: written" "NumOfRegi=2" "$(grep -a '^NumOfRegi' "$2/Zumaro.ini" | tr -d '\r')"
    check "$1: every entry kept" "$3" "$(entries "$2/Zumaro.ini")"
}

# A full disk: a small file system holding the program, its settings and a filler for the rest.
full=$WORK/full
mkdir -p "$full"
if mount -t tmpfs -o size=1m tmpfs "$full" 2>/dev/null; then
    MOUNTS+=("$full")
    cp "$ZUMARO_EXE" "$full/Zumaro.exe"
    write_settings "$full"
    before=$(md5sum < "$full/Zumaro.ini")
    dd if=/dev/zero of="$full/filler" bs=4k 2>/dev/null
    check "the disk is full" "0" "$(df --output=avail "$full" | tail -n 1 | tr -d ' ')"
    run_and_close "$full" save-disk-full
    check "full disk: exit code" 0 "$ZRC"
    expect_save_warning "full disk" "$full" 112
    check "full disk: the old file whole" "$before" "$(md5sum < "$full/Zumaro.ini")"
    check "full disk: nothing left beside it" "Zumaro.exe Zumaro.ini filler メモ.txt 表示フォルダ" "$(ls "$full" | tr '\n' ' ' | sed 's/ $//')"
    # The session ends on the full disk: the save fails without a box, which would hold the end up.
    start_zumaro "$full"
    winctl wait TfrmMain 30 >/dev/null
    read -r agreed took < <(winctl endsession TfrmMain)
    check "session's end on a full disk: it may end" 1 "$agreed"
    check "session's end on a full disk: answered at once" "yes" "$([ "${took:-99999}" -lt 3000 ] && echo yes || echo "no, ${took:-?} ms")"
    check "session's end on a full disk: no box" "" "$(winctl box ok 2)"
    check "session's end on a full disk: the old file whole" "$before" "$(md5sum < "$full/Zumaro.ini")"
    winctl close TfrmMain >/dev/null
    winctl box ok 8 >/dev/null  # a close that is not the session's end tells the user
    wait_exit "$ZPID"
    kept=$(entries "$full/Zumaro.ini")
    rm "$full/filler"
    run_and_close "$full"
    expect_saved "room again" "$full" "$kept"
else
    echo "SKIP: full disk (no tmpfs can be mounted here)"
fi

# A read-only folder: a bind mount of it that refuses writing (root is not stopped by permissions).
ro=$(new_folder "読み取り専用")
write_settings "$ro"
before=$(md5sum < "$ro/Zumaro.ini")
if mount --bind "$ro" "$ro" 2>/dev/null && MOUNTS=("$ro" "${MOUNTS[@]}") && mount -o remount,bind,ro "$ro" 2>/dev/null; then
    run_and_close "$ro"
    check "read-only folder: exit code" 0 "$ZRC"
    expect_save_warning "read-only folder" "$ro" 5
    check "read-only folder: the old file whole" "$before" "$(md5sum < "$ro/Zumaro.ini")"
    umount "$ro"
else
    echo "SKIP: read-only folder (no read-only bind mount here)"
fi

# What an interrupted save leaves beside the file: half a new text in "Zumaro.ini.tmp".
stale=$(new_folder "中断")
write_settings "$stale"
want=$(entries "$stale/Zumaro.ini")
head -c 40 "$stale/Zumaro.ini" > "$stale/Zumaro.ini.tmp"
run_and_close "$stale"
expect_saved "stale temporary file" "$stale" "$want"
check "stale temporary file: replaced and gone" "no" "$([ -e "$stale/Zumaro.ini.tmp" ] && echo yes || echo no)"

# The same leftover, read-only.
write_settings "$stale"
head -c 40 "$stale/Zumaro.ini" > "$stale/Zumaro.ini.tmp"
chmod 444 "$stale/Zumaro.ini.tmp"
run_and_close "$stale"
expect_saved "read-only stale temporary file" "$stale" "$want"
check "read-only stale temporary file: gone" "no" "$([ -e "$stale/Zumaro.ini.tmp" ] && echo yes || echo no)"
check "read-only stale temporary file: the settings file is not made read-only" "w" "$(stat -c %A "$stale/Zumaro.ini" | cut -c3)"

# The same leftover, held open by another program for the whole run.
write_settings "$stale"
head -c 40 "$stale/Zumaro.ini" > "$stale/Zumaro.ini.tmp"
lockout=$WORK/lock.out
: > "$lockout"
"$WINE_RUN" "$WINCTL_EXE" lock "$(winpath "$stale/Zumaro.ini.tmp")" 25 > "$lockout" &
locker=$!
for i in $(seq 1 100); do grep -q locked "$lockout" && break; sleep 0.1; done
check "the leftover is held by another program" "locked" "$(tr -d '\r' < "$lockout")"
run_and_close "$stale"
expect_saved "locked stale temporary file" "$stale" "$want"
check "locked stale temporary file: nothing else left beside it" "Zumaro.exe Zumaro.ini Zumaro.ini.tmp メモ.txt 表示フォルダ" \
    "$(ls "$stale" | tr '\n' ' ' | sed 's/ $//')"
kill "$locker" 2>/dev/null
wait "$locker" 2>/dev/null
finish
