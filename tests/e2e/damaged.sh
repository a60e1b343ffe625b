#!/usr/bin/env bash
# Damaged settings files at start: each starts, and after the exit every entry the file held is
# still there, in its order, byte for byte. The entries are real files of the test folder; the
# damage lies between and around them. Questions about lines that name no file are answered No,
# which keeps them.
. "$(dirname "$0")/lib.sh"
export LC_ALL=C  # the files are compared byte for byte: damaged text is no valid UTF-8

dir=$(new_folder "破損")
here=$(winpath "$dir")
echo memo > "$dir/メモ.txt"
mkdir -p "$dir/表示フォルダ"
echo data > "$dir/data.txt"
echo soft > "$dir/ソフト.txt"
# The four entries, in the program's code page.
E1=$(printf '%s' "$here\\メモ.txt/True/覚え書き" | sjis)
E2=$(printf '%s' "$here\\表示フォルダ/False/表示フォルダ" | sjis)
E3=$(printf '%s' "$here\\data.txt/False/データ" | sjis)
E4=$(printf '%s' "$here\\ソフト.txt/True/ソ表" | sjis)
VALUES=$'[Initialize]\r\nPannelCol=4\r\nNumOfRegi=99\r\nLeft=100\r\nTop=120\r\n\r\n[Registered Files]\r\n'
# Bytes that look like nothing, the same every run.
junk() { /usr/bin/python3 -c "import random,sys; random.seed($2); sys.stdout.buffer.write(bytes(random.randrange(256) for _ in range($1)))"; }

# Starts the program on the folder's file, answers No to every question until the panel is up,
# closes it. QUESTIONS: how many were asked; ERRORS: error boxes (a flag that is not True/False);
# ZRC: the exit code.
run_answering_no() {
    local box i
    QUESTIONS=0
    ERRORS=0
    start_zumaro "$dir"
    for i in $(seq 1 200); do
        box=$(winctl box no 1 2>/dev/null)  # a question about junk is no valid text
        if [ "${box##*$'\t'}" == "ok" ]; then
            winctl box ok 1 >/dev/null
            ERRORS=$((ERRORS + 1))
            continue
        elif [ -n "$box" ]; then
            QUESTIONS=$((QUESTIONS + 1))
            continue
        fi
        [ -n "$(winctl wait TfrmMain 0.5)" ] && break
    done
    winctl close TfrmMain >/dev/null
    wait_exit "$ZPID"
}

# The program wrote the file at exit: its count is that of the entries written.
expect_rewritten() {  # expect_rewritten WHAT
    check "$1: written at exit" "NumOfRegi=$(written_entries | wc -l)" "$(grep -a '^NumOfRegi=' "$dir/Zumaro.ini" | tr -d '\r')"
}

# The entry lines of the written file, raw.
written_entries() { sed -n '/^\[Registered Files\]\r$/,$p' "$dir/Zumaro.ini" | tail -n +2 | sed 's/\r$//'; }

# Every one of the given entries is in the written file, whole, in the given order.
expect_entries() {  # expect_entries WHAT ENTRY...
    local want got e
    want=$(printf '%s\n' "${@:2}")
    got=$(written_entries | while IFS= read -r e; do
        for w in "${@:2}"; do [ "$e" == "$w" ] && printf '%s\n' "$e"; done
    done)
    if [ "$want" == "$got" ]; then
        echo "ok: $1: every entry kept"
    else
        echo "FAIL: $1: entries lost or changed"
        diff <(iconv -f CP932 -t UTF-8 -c <<<"$want") <(iconv -f CP932 -t UTF-8 -c <<<"$got") | sed 's/^/  /'
        FAILS=$((FAILS + 1))
    fi
}

# Binary garbage among the values and among the entries.
{
    printf '[Initialize]\r\nPannelCol=4\r\n'
    junk 400 1
    printf '\r\nLeft=100\r\nTop=120\r\n\r\n[Registered Files]\r\n%s\r\n%s\r\n' "$E1" "$E2"
    junk 400 2
    printf '\r\n%s\r\n%s\r\n' "$E3" "$E4"
} > "$dir/Zumaro.ini"
lines=$(sed -n '/^\[Registered Files\]\r$/,$p' "$dir/Zumaro.ini" | tail -n +2 | wc -l)
run_answering_no
check "binary garbage: exit code" 0 "$ZRC"
expect_rewritten "binary garbage"
expect_entries "binary garbage" "$E1" "$E2" "$E3" "$E4"
check "binary garbage: every line after the header still an entry" "$lines" "$(written_entries | wc -l)"

# NUL bytes: inside a hint, a line of them, before an entry, and a zero-filled tail as a crash
# leaves a file.
{
    printf '%s%s\r\n' "$VALUES" "$E1"
    printf '%s\0\0\0\r\n' "$E2"
    printf '\0\0\0\0\0\0\0\0\r\n\0\0\0\0%s\r\n%s\r\n' "$E3" "$E4"
    head -c 4096 /dev/zero
} > "$dir/Zumaro.ini"
run_answering_no
check "NUL bytes: exit code" 0 "$ZRC"
check "NUL bytes: asked only about the line that held nothing else" 1 "$QUESTIONS"
expect_rewritten "NUL bytes"
expect_entries "NUL bytes" "$E1" "$E2" "$E3" "$E4"
check "NUL bytes: none written back" 0 "$(tr -cd '\000' < "$dir/Zumaro.ini" | wc -c)"

# A single line of 10 MB among the entries.
{
    printf '%s%s\r\n%s\r\n' "$VALUES" "$E1" "$E2"
    head -c 10485760 /dev/zero | tr '\0' 'x'
    printf '\r\n%s\r\n%s\r\n' "$E3" "$E4"
} > "$dir/Zumaro.ini"
run_answering_no
check "10 MB line: exit code" 0 "$ZRC"
expect_rewritten "10 MB line"
expect_entries "10 MB line" "$E1" "$E2" "$E3" "$E4"
check "10 MB line: asked about once" 1 "$QUESTIONS"
check "10 MB line: kept whole" 10485760 "$(written_entries | sed -n 3p | cut -d/ -f1 | tr -d '\n' | wc -c)"

# Cut in the middle of the last entry's last double-byte character.
{
    printf '%s%s\r\n%s\r\n%s\r\n' "$VALUES" "$E1" "$E2" "$E3"
    printf '%s' "$E4" | head -c -1
} > "$dir/Zumaro.ini"
cut4=$(printf '%s' "$E4" | head -c -1)
run_answering_no
check "cut file: exit code" 0 "$ZRC"
expect_rewritten "cut file"
check "cut file: nothing asked" 0 "$QUESTIONS"
expect_entries "cut file" "$E1" "$E2" "$E3" "$cut4"

# Line ends of every kind mixed.
printf '[Initialize]\nPannelCol=4\rLeft=100\r\nTop=120\n\n[Registered Files]\r%s\n%s\r\n%s\r%s' \
    "$E1" "$E2" "$E3" "$E4" > "$dir/Zumaro.ini"
run_answering_no
check "mixed line ends: exit code" 0 "$ZRC"
expect_rewritten "mixed line ends"
check "mixed line ends: nothing asked" 0 "$QUESTIONS"
expect_entries "mixed line ends" "$E1" "$E2" "$E3" "$E4"
check "mixed line ends: values read" "PannelCol=4" "$(grep -a '^PannelCol' "$dir/Zumaro.ini" | tr -d '\r')"

# A read-only file: read, kept, and the user told at exit why it was not saved.
printf '%s%s\r\n%s\r\n%s\r\n%s\r\n' "$VALUES" "$E1" "$E2" "$E3" "$E4" > "$dir/Zumaro.ini"
chmod 444 "$dir/Zumaro.ini"
before=$(md5sum < "$dir/Zumaro.ini")
start_zumaro "$dir"
winctl wait TfrmMain 30 >/dev/null
winctl close TfrmMain >/dev/null
winctl wait '#32770' 30 >/dev/null && shot damaged-readonly
check "read-only file: told at exit" \
    $'ズマロランチャー\t設定ファイル('"$here"$'\\Zumaro.ini)を保存できませんでした。\\r'"$(winctl errtext 5)"$'\tok' \
    "$(winctl box ok 10)"
wait_exit "$ZPID"
check "read-only file: exit code" 0 "$ZRC"
check "read-only file: unchanged" "$before" "$(md5sum < "$dir/Zumaro.ini")"
chmod 644 "$dir/Zumaro.ini"

# Held open by another program that shares nothing: a warning, the defaults, the file left alone.
lockout=$WORK/lock.out
: > "$lockout"
"$WINE_RUN" "$WINCTL_EXE" lock "$here\\Zumaro.ini" 15 > "$lockout" &
locker=$!
for i in $(seq 1 100); do grep -q locked "$lockout" && break; sleep 0.1; done
start_zumaro "$dir"
winctl wait '#32770' 30 >/dev/null && shot damaged-locked
check "locked file: warning at start" \
    $'ズマロランチャー\t設定ファイル('"$here"$'\\Zumaro.ini)を読み込めません。\\r'"$(winctl errtext 32)"$'\\r既定値で起動します。このファイルは書き換えません。\tok' \
    "$(winctl box ok 30)"
winctl wait TfrmMain 30 >/dev/null
winctl close TfrmMain >/dev/null
check "locked file: nothing more at exit" "" "$(winctl box ok 3)"
wait_exit "$ZPID"
check "locked file: exit code" 0 "$ZRC"
kill "$locker" 2>/dev/null
wait "$locker" 2>/dev/null
check "locked file: unchanged" "$before" "$(md5sum < "$dir/Zumaro.ini")"
finish
