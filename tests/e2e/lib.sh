# Shared by the end-to-end scripts: the real Zumaro.exe in a fresh folder, under Wine.
# Each script is called as: script ZUMARO_EXE WINCTL_EXE WINE_RUN
set -u
ZUMARO_EXE=${1:?Zumaro.exe}
WINCTL_EXE=${2:?winctl.exe}
WINE_RUN=${3:?wine-run.sh}
# Beside winctl.exe: the program the scripts launch, which leaves "<its file name>.ran" beside itself.
MARK_EXE=$(dirname "$WINCTL_EXE")/mark.exe
FAILS=0
WORK=$(mktemp -d /tmp/zumaro-e2e.XXXXXX)
trap 'rm -rf "$WORK"' EXIT

# Every script starts with the pointer in the screen's bottom left corner, away from where panels
# and dialogs open: one left resting over a cell by an earlier script shows its tooltip over the
# pictures this one takes.
if [ -n "${DISPLAY:-}" ] && command -v xdotool >/dev/null; then
    read -r _ screen_h < <(xdotool getdisplaygeometry)
    xdotool mousemove 0 $((screen_h - 1))
fi

# A folder holding a copy of the program, as a user would unpack it.
new_folder() {
    local dir="$WORK/$1"
    mkdir -p "$dir"
    cp "$ZUMARO_EXE" "$dir/Zumaro.exe"
    echo "$dir"
}

# The Windows name of a path under Wine's Z: drive.
winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }

# Text in the program's code page.
sjis() { iconv -f UTF-8 -t CP932; }

# Runs the program in the background; its process id in ZPID.
start_zumaro() { "$WINE_RUN" "$1/Zumaro.exe" & ZPID=$!; }

# Its console output has CR LF line ends. Its exit code is winctl's own: 1 when what it was asked
# about is not there.
winctl() {
    "$WINE_RUN" "$WINCTL_EXE" "$@" | iconv -f CP932 -t UTF-8 | tr -d '\r'
    return "${PIPESTATUS[0]}"
}

# Waits for the background program to end; its exit code in ZRC (124 when it would not end).
wait_exit() {
    local pid=$1 i
    for i in $(seq 1 300); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        kill "$pid"
        ZRC=124
    else
        wait "$pid"
        ZRC=$?
    fi
}

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

# Compares a written file with the expected text line by line (the file in CP932, CR LF).
check_file() {  # check_file DESCRIPTION FILE EXPECTED_UTF8_LINES
    local got want
    got=$(iconv -f CP932 -t UTF-8 "$2" | sed -n 'l' )
    want=$(printf '%s\n' "$3" | sed 's/$/\r/' | sed -n 'l')
    if [ "$got" == "$want" ]; then
        echo "ok: $1"
    else
        echo "FAIL: $1"
        diff <(echo "$want") <(echo "$got") | sed 's/^/  /'
        FAILS=$((FAILS + 1))
    fi
}

# A point on our icon in Wine's tray window (its red pixels), as "x y" on the screen.
tray_icon_point() {
    local tx ty tw th rx ry
    read -r tx ty tw th < <(winctl wait __winex11_standalone_tray 5)
    read -r rx ry < <(import -display "$DISPLAY" -window root png:- | convert - -crop "${tw}x${th}+${tx}+${ty}" +repage txt:- |
                      grep -m1 -i '#FF0000' | sed -E 's/^([0-9]+),([0-9]+):.*/\1 \2/')
    echo "$((tx + rx + 3)) $((ty + ry + 3))"
}

# Clicks our icon in Wine's tray window with a mouse button: tray_click 1|3.
# The tray window belongs to another Wine process, which makes it the active window when a click
# lands on it while it is not, and then asks the X server for the input focus; our program answers
# the same click by bringing the panel forward, asking for the focus too. The request that reaches
# the server last wins, and when the panel loses the focus Wine closes the menu it has just opened
# (with xdotool's press and release in the same instant, in about one run in three). So the tray is
# made active first, by a click on its empty part, and the icon is clicked once the focus is there:
# that click activates nothing in the tray, and only our program moves the focus.
tray_click() {
    local tx ty tw th ix iy tray i
    read -r tx ty tw th < <(winctl wait __winex11_standalone_tray 5)
    read -r ix iy < <(tray_icon_point)
    xdotool mousemove $((tx + tw - 12)) $((ty + th - 8))
    tray=$(xdotool getmouselocation --shell | sed -n 's/^WINDOW=//p')
    xdotool click 1
    for i in $(seq 1 50); do [ "$(xdotool getwindowfocus)" == "$tray" ] && break; sleep 0.1; done
    xdotool mousemove "$ix" "$iy" click "$1"
}

finish() {
    [ "$FAILS" -eq 0 ] && echo "PASS" || echo "$FAILS check(s) failed"
    exit $((FAILS > 0))
}

# Saves a screenshot of the virtual display as NAME.png where the screenshots are collected: the
# build tree's screenshots/ beside its wine-run.sh, where the in-process tests put theirs, unless
# ZUMARO_SHOTS names another folder. They stay after the script.
SHOTS=${ZUMARO_SHOTS:-$(cd "$(dirname "$WINE_RUN")" && pwd)/screenshots}
shot() {
    mkdir -p "$SHOTS"
    import -display "$DISPLAY" -window root "$SHOTS/$1.png" && echo "screenshot: $SHOTS/$1.png"
}
