#!/usr/bin/env bash
# Installs what the launcher's build, run and tests need on Debian 12, once; quick when all is there.
set -euo pipefail

packages=(cmake make g++ python3 g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine64 xvfb x11-utils x11-xserver-utils xdotool
          imagemagick fonts-ipafont-gothic fonts-wine python3-xlib locales googletest libgtest-dev libbenchmark-dev
          clang libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    [ "$(id -u)" -eq 0 ] || { echo "setup: run as root to install packages" >&2; exit 1; }
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    # Never wine32: with it the wine command picks a 32-bit loader that cannot run here.
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine takes its ANSI code page from the locale: ja_JP.UTF-8 gives code page 932, the program's
# own; hi_IN.UTF-8 gives 65001 (Windows' UTF-8 option), on which the tests of text run again.
for loc in ja_JP hi_IN; do
    locale -a 2>/dev/null | grep -qi "^$loc\.utf-\?8\$" && continue
    [ "$(id -u)" -eq 0 ] || { echo "setup: run as root to generate the $loc.UTF-8 locale" >&2; exit 1; }
    echo "setup: generating the $loc.UTF-8 locale"
    sed -i "s/^# *\($loc.UTF-8 UTF-8\)/\1/" /etc/locale.gen
    grep -q "^$loc.UTF-8 UTF-8" /etc/locale.gen || echo "$loc.UTF-8 UTF-8" >> /etc/locale.gen
    locale-gen >/dev/null
done
