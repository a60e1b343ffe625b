#!/usr/bin/env bash
# Builds the settings fuzz target (tests/fuzz) with clang in build/fuzz and runs it for SECONDS
# (default 60) on a copy of the seed corpus tests/fuzz/corpus in build/fuzz/corpus; new inputs it
# finds stay there, never in the source tree. A fault leaves its input in build/fuzz/artifacts/.
#   tools/fuzz.sh          # about a minute, as ./test.sh runs it
#   tools/fuzz.sh 3600     # an hour
#   build/fuzz/settings_fuzz FILE...   # replays inputs, e.g. a crash file
# Exits non-zero when the build fails or the fuzzer reports a fault.
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
dir=build/fuzz
mkdir -p "$dir"
cmake -S tests/fuzz -B "$dir" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$dir.configure.log" 2>&1 ||
    { cat "$dir.configure.log"; exit 1; }
cmake --build "$dir" -j"$(nproc)" >"$dir.build.log" 2>&1 || { grep -E 'error|Error' "$dir.build.log" | head -40; exit 1; }
rm -rf "$dir/corpus" "$dir/artifacts"
mkdir -p "$dir/corpus" "$dir/artifacts"
cp tests/fuzz/corpus/* "$dir/corpus/"
log=$dir/fuzz.log
"$dir/settings_fuzz" "$dir/corpus" -max_total_time="$seconds" -dict=tests/fuzz/settings.dict -max_len=8192 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$dir/artifacts/" -print_final_stats=1 >"$log" 2>&1
rc=$?
if [ $rc -ne 0 ]; then
    grep -E -A30 'ERROR|property violated|runtime error|deadly signal' "$log" | head -60
    ls "$dir/artifacts"
    echo "fuzz: FAILED after a run of at most ${seconds}s (log: $log)"
    exit 1
fi
runs=$(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}')
echo "fuzz: ${runs:-?} inputs in ${seconds}s, no fault (corpus $(ls "$dir/corpus" | wc -l) files, log: $log)"
