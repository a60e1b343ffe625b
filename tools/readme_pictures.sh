#!/usr/bin/env bash
# Makes the README's pictures, docs/pictures/*.png, from the screenshots that a test run of the
# real program under Wine leaves in build/x86_64/screenshots (run ./test.sh first): the windows
# cut out of the virtual screen where the end-to-end scripts put them.
set -euo pipefail
cd "$(dirname "$0")/.."
shots=build/x86_64/screenshots
out=docs/pictures
mkdir -p "$out"
need() { [ -f "$shots/$1.png" ] || { echo "readme_pictures: no $shots/$1.png (run ./test.sh first)" >&2; exit 1; }; }
cut() {  # cut SHOT GEOMETRY NAME
    need "$1"
    convert "$shots/$1.png" -crop "$2" +repage "$out/$3.png"
}
size() { need "$1"; identify -format '%w %h\n' "$shots/$1.png"; }
cut callup-panel-menu 210x200+290+190 panel-menu          # the panel at 300,200 with its menu
cut callup-sprite-first-wait 160x130+452+620 sprite        # the sprite leaving the bottom edge
cut tray-tooltip 240x80+0+0 tray                           # Wine's tray window with the tooltip
cut hidpi-menu 362x282+394+294 panel-menu-144              # the same at 144 dpi: the panel at 400,300
# The list after a file was dropped on it: the settings dialog, centred on the screen, its size that
# of its own shot (which follows the font).
read -r dw dh < <(size setting-regist)
read -r sw sh < <(size register-settings-list)
cut register-settings-list "${dw}x${dh}+$(((sw - dw) / 2))+$(((sh - dh) / 2))" settings-list
for name in setting-launchbtn setting-showtype detail about; do
    cut "$name" 100%x100%+0+0 "$name"
done
echo "readme_pictures: $(ls "$out" | wc -l) pictures in $out"
