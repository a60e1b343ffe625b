#!/usr/bin/env bash
# Measures the figures from the Release builds and writes them into the README's figures table
# (between its "figures:begin" and "figures:end" marks). Run on a quiet machine: the figures are
# times. Usage: tools/figures.sh
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
cmake -S . -B build/x86_64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/x86_64 --target Zumaro bench_startup -j"$(nproc)" >/dev/null
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/native --target bench_settings -j"$(nproc)" >/dev/null
tools/wine-prefix.sh "$PWD/build/x86_64/wineprefix"
. tools/display.sh
if [ -z "${DISPLAY:-}" ]; then
    start_virtual_display 95
    trap stop_virtual_display EXIT
fi
out=$(mktemp -d)
build/x86_64/wine-run.sh build/x86_64/bench_startup.exe >"$out/startup.txt" 2>&1
build/native/bench_settings --benchmark_filter=ReadAndWrite >"$out/settings.txt" 2>&1
stat -c %s build/x86_64/portable/Zumaro.exe >"$out/size.txt"
/usr/bin/python3 - "$out" README.md <<'PY'
import re, sys
out, readme = sys.argv[1], sys.argv[2]
s = open(out + '/startup.txt', encoding='utf-8', errors='replace').read()
def num(pattern, text=s):
    m = re.search(pattern, text)
    if not m:
        sys.exit('figures: no match for ' + pattern)
    return float(m.group(1))
size = int(open(out + '/size.txt').read())
rw = num(r'BM_ReadAndWriteSettings/10000\s+([\d.]+) ms', open(out + '/settings.txt').read())
def callup(grid):
    m = re.search(grid + r' grid: median ([\d.]+) ms, worst ([\d.]+) ms \(of 50\); bare window median ([\d.]+) ms; '
                  r'ratio to a bare window ([\d.]+)', s)
    if not m:
        sys.exit('figures: no hot key line for ' + grid)
    median, worst, bare, ratio = map(float, m.groups())
    return '%.2f times (median %.1f ms, worst %.1f ms, against %.1f ms)' % (ratio, median, worst, bare)
def start(files):
    m = re.search(r'start to panel shown, ' + files + r' distinct files: ([\d.]+) ms; 6 entries: ([\d.]+) ms; '
                  r'ratio ([\d.]+)', s)
    if not m:
        sys.exit('figures: no start-up line for ' + files)
    ms, six, ratio = map(float, m.groups())
    return '%.2f times (%.0f ms against %.0f ms)' % (ratio, ms, six)
rows = [
    ('Hot key to the panel fully painted, 3 x 2 grid, against a bare popup of the same size (median of 50)',
     callup('3 x 2'), 'at most 1.5 times', 'tools/figures.sh (bench_startup.exe)'),
    ('Hot key to the panel fully painted, 5 x 5 grid, against a bare popup of the same size (median of 50)',
     callup('5 x 5'), 'at most 1.5 times', 'tools/figures.sh (bench_startup.exe)'),
    ('Start to the panel shown, 1,000 entries of distinct files, against 6 entries', start('1,000'),
     'at most 1.5 times', 'tools/figures.sh (bench_startup.exe)'),
    ('Start to the panel shown, 20,000 entries of distinct files, against 6 entries', start('20,000'),
     'at most 2 times', 'tools/figures.sh (bench_startup.exe)'),
    ('Start-up, 20,000 entries over 100 distinct files', '%.0f ms' % num(r'20,000 entries over 100 files:\s+([\d.]+)'),
     'under 3 s', 'tools/figures.sh (bench_startup.exe)'),
    ('Settings read and write, 10,000 entries (native, optimised)', '%.2f ms' % rw, 'under 5 ms',
     'tools/figures.sh (bench_settings)'),
    ('Memory of the process with the panel shown: no entries', '%.2f MB' % num(r'no entries:\s+([\d.]+)'), '',
     'tools/figures.sh (bench_startup.exe)'),
    ('Memory added by 100 entries', '%.2f MB' % num(r'100 entries:\s+[\d.]+ MB \(\+([\d.]+)'), '',
     'tools/figures.sh (bench_startup.exe)'),
    ('Memory added by 20,000 entries over 100 files', '%.2f MB' % num(r'added by 20,000 entries:\s+([\d.]+)'), '',
     'tools/figures.sh (bench_startup.exe)'),
    ('Size of Zumaro.exe', '%d KB' % round(size / 1024), 'under 400 KB', 'tools/figures.sh'),
]
table = ['| figure | measured | goal | measured by |', '| --- | --- | --- | --- |']
table += ['| %s | %s | %s | `%s` |' % r for r in rows]
text = open(readme, encoding='utf-8').read()
begin, end = '<!-- figures:begin -->', '<!-- figures:end -->'
if begin not in text or end not in text:
    sys.exit('figures: README has no figures marks')
head, rest = text.split(begin, 1)
_, tail = rest.split(end, 1)
open(readme, 'w', encoding='utf-8').write(head + begin + '\n' + '\n'.join(table) + '\n' + end + tail)
print('\n'.join(table))
PY
rm -rf "$out"
