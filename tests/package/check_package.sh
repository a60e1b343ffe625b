#!/usr/bin/env bash
# The portable ZIP as CPack makes it: one folder holding exactly Zumaro.exe, Zumaro.wav and the
# guide, the same files as portable/, and the guide in Shift-JIS with CR LF, word for word the
# UTF-8 text in docs/.
# Called as: check_package.sh CPACK BINARY_DIR SOURCE_DIR PYTHON
set -u
CPACK=${1:?cpack}
BINARY_DIR=${2:?binary dir}
SOURCE_DIR=${3:?source dir}
PYTHON=${4:?python}
GUIDE_NAME=はじめにお読みください.txt
GUIDE_SOURCE=$SOURCE_DIR/docs/guide-ja.txt
FAILS=0
WORK=$(mktemp -d /tmp/zumaro-package.XXXXXX)
trap 'rm -rf "$WORK"' EXIT

check() {  # check DESCRIPTION EXPECTED ACTUAL
    if [ "$2" == "$3" ]; then
        echo "ok: $1"
    else
        echo "FAIL: $1"
        echo "  expected: $2"
        echo "  actual:   $3"
        FAILS=$((FAILS + 1))
    fi
}

same_file() {  # same_file DESCRIPTION FILE1 FILE2
    check "$1" same "$(cmp -s "$2" "$3" && echo same || echo different)"
}

# Why a file is not the guide as Windows users should get it, or nothing when it is.
guide_fault() {  # guide_fault FILE
    local file=$1 lf cr crlf
    [ -s "$file" ] || { echo "empty or missing"; return; }
    iconv -f CP932 -t UTF-8 "$file" >"$WORK/decoded" 2>/dev/null || { echo "not CP932"; return; }
    [ "$(head -c 3 "$file" | od -An -tx1 | tr -d ' ')" != efbbbf ] || { echo "a UTF-8 byte-order mark"; return; }
    # CR and LF bytes never occur inside a Shift-JIS character, so they can be counted as bytes.
    lf=$(tr -cd '\n' <"$file" | wc -c)
    cr=$(tr -cd '\r' <"$file" | wc -c)
    crlf=$(grep -c $'\r$' "$file")
    [ "$lf" -eq "$crlf" ] || { echo "$((lf - crlf)) line(s) end in a lone LF"; return; }
    [ "$cr" -eq "$crlf" ] || { echo "$((cr - crlf)) lone CR(s)"; return; }
    [ "$(tail -c 2 "$file" | od -An -tx1 | tr -d ' ')" == 0d0a ] || { echo "no CR LF after the last line"; return; }
    tr -d '\r' <"$WORK/decoded" >"$WORK/decoded.lf"
    tr -d '\r' <"$GUIDE_SOURCE" >"$WORK/source.lf"
    cmp -s "$WORK/decoded.lf" "$WORK/source.lf" || {
        echo "text differs from the source: $(diff "$WORK/source.lf" "$WORK/decoded.lf" | head -3 | tr '\n' ' ')"
        return
    }
}

check "the guide has some text" yes "$([ "$(wc -l <"$GUIDE_SOURCE")" -gt 20 ] && echo yes || echo no)"

# The converter: a source checked out with CR LF gives the same guide; a byte-order mark, or a
# character that does not come back from Shift-JIS as itself (the wave dash), stops the build and
# writes nothing.
MAKE_GUIDE=$SOURCE_DIR/tools/make_guide.py
"$PYTHON" "$MAKE_GUIDE" "$GUIDE_SOURCE" "$WORK/lf" && sed 's/$/\r/' "$GUIDE_SOURCE" >"$WORK/crlf-source.txt" &&
    "$PYTHON" "$MAKE_GUIDE" "$WORK/crlf-source.txt" "$WORK/crlf"
same_file "a CR LF source gives the same guide" "$WORK/lf/$GUIDE_NAME" "$WORK/crlf/$GUIDE_NAME"
printf '\xef\xbb\xbf%s\n' "ズマロランチャー" >"$WORK/bom.txt"
printf '%s\n' "ズマロランチャー" "速さ：遅い〜速い" >"$WORK/wave-dash.txt"
for bad in bom wave-dash; do
    "$PYTHON" "$MAKE_GUIDE" "$WORK/$bad.txt" "$WORK/$bad" 2>"$WORK/$bad.err"
    rc=$?
    check "$bad: refused, nothing written" "1 no" "$rc $([ -e "$WORK/$bad/$GUIDE_NAME" ] && echo yes || echo no)"
done
check "the refusal names the line and the character" yes \
    "$(grep -q 'line 2, column 6: U+301C' "$WORK/wave-dash.err" && echo yes || echo no)"

# Made into a folder of its own, so that the tree's own package is left alone. CMake's archive
# library needs a UTF-8 locale for the guide's Japanese name; C.UTF-8 is always there on Debian.
mkdir -p "$WORK/out"
if ! LC_ALL=C.UTF-8 "$CPACK" -G ZIP --config "$BINARY_DIR/CPackConfig.cmake" -B "$WORK/out" >"$WORK/cpack.log" 2>&1; then
    cat "$WORK/cpack.log"
    echo "FAIL: cpack"
    exit 1
fi
zips=$(cd "$WORK/out" && ls *.zip 2>/dev/null)
check "one ZIP" 1 "$(printf '%s' "$zips" | grep -c .)"
zip=$WORK/out/$(printf '%s' "$zips" | head -n 1)
top=$(basename "$zip" .zip)
check "the ZIP's name" yes "$([[ $top =~ ^Zumaro-[0-9]+\.[0-9]+(\.[0-9]+)?-win(32|64)$ ]] && echo yes || echo no)"

# Names as stored, each with whether it is flagged UTF-8: Windows reads an unflagged name in the
# OEM code page, which would garble the guide's name.
listing=$("$PYTHON" - "$zip" "$WORK/unpacked" <<'EOF'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    for i in z.infolist():
        if not i.is_dir():
            ascii = all(ord(c) < 128 for c in i.filename)
            print(i.filename, "ascii" if ascii else "utf8" if i.flag_bits & 0x800 else "unflagged")
    z.extractall(sys.argv[2])
EOF
) || { echo "FAIL: the ZIP cannot be read"; exit 1; }
check "the ZIP holds the program, the sound and the guide in one folder" \
    "$(printf '%s\n' "$top/Zumaro.exe ascii" "$top/Zumaro.wav ascii" "$top/$GUIDE_NAME utf8" | sort)" \
    "$(sort <<<"$listing")"

dir=$WORK/unpacked/$top
same_file "Zumaro.exe is the built program" "$BINARY_DIR/portable/Zumaro.exe" "$dir/Zumaro.exe"
same_file "Zumaro.wav is the launch sound" "$SOURCE_DIR/resources/Zumaro.wav" "$dir/Zumaro.wav"
same_file "portable/ has the same sound" "$SOURCE_DIR/resources/Zumaro.wav" "$BINARY_DIR/portable/Zumaro.wav"
same_file "portable/ has the same guide" "$BINARY_DIR/portable/$GUIDE_NAME" "$dir/$GUIDE_NAME"
check "the guide is Shift-JIS with CR LF and reads as its source" "" "$(guide_fault "$dir/$GUIDE_NAME")"

# The check above must refuse what it is there for: the source as it is (UTF-8, LF), and the
# packed guide with its CRs taken out.
check "a UTF-8 guide would be refused" yes "$([ -n "$(guide_fault "$GUIDE_SOURCE")" ] && echo yes || echo no)"
tr -d '\r' <"$dir/$GUIDE_NAME" >"$WORK/lf-only.txt"
check "a guide with LF line ends would be refused" yes \
    "$([ -n "$(guide_fault "$WORK/lf-only.txt")" ] && echo yes || echo no)"

[ "$FAILS" -eq 0 ] && echo "PASS" || echo "$FAILS check(s) failed"
exit $((FAILS > 0))
