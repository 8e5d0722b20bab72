#!/bin/sh
# The launcher's benchmark: under Wine in a headless X server of its own, it
# measures side by side the start to a painted (skinned) window against a
# plain Win32 program, the first start against a later one, the engine's
# repaint cost, the peak memory, and splits the program file's size.
# Usage: scripts/bench.sh [BUILD_DIR] [RUNS]   (RUNS >= 10, default 21)
#
# The long fuzz run of the skin file reader, through the fuzzer's own
# script skinengine/fuzz/fuzz.sh (corpus seeded with the eight skins):
#        scripts/bench.sh fuzz [BUILD_DIR] [INPUTS]   (default 10000000)
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"

if [ "${1:-}" = fuzz ]; then
  build="$(cd "${2:-$root/build}" && pwd)"
  inputs="${3:-10000000}"
  fuzzer="$build/skinengine/format/fuzz/fuzz_skinfile"
  [ -x "$fuzzer" ] || { echo "bench: $fuzzer missing: build the host build first" >&2; exit 1; }
  work="$build/fuzz-long"
  mkdir -p "$work"
  rm -f "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-*
  start=$(date +%s)
  status=0
  sh "$root/skinengine/fuzz/fuzz.sh" "$fuzzer" "$build/skins" "$work" -runs="$inputs" >"$work/fuzz.log" 2>&1 || status=$?
  seconds=$(( $(date +%s) - start ))
  findings=$(find "$work" -maxdepth 1 \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
  echo "skin file reader fuzz run: exit status $status, $seconds s"
  grep -E '^(stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb|stat::new_units_added)' \
    "$work/fuzz.log" || true
  echo "findings (crash/leak/timeout/oom files): $findings"
  echo "log: $work/fuzz.log"
  [ "$status" -eq 0 ] && [ "$findings" -eq 0 ]
  exit
fi

build="$(cd "${1:-$root/build}" && pwd)"
runs="${2:-21}"
repaints=200
[ "$runs" -ge 10 ] || { echo "bench: at least 10 runs" >&2; exit 2; }
paths="$build/windows/bench/bench-paths.sh"
if [ ! -f "$paths" ]; then
  echo "bench: $paths missing: build the launcher and the engine first" >&2
  exit 1
fi
. "$paths"

harness="$build/bench-wine"
sh "$root/tests/harness/start.sh" "$harness" >/dev/null
trap 'sh "$root/tests/harness/stop.sh" "$harness"' EXIT
. "$root/tests/harness/env.sh" 2>/dev/null

# Wine's own services may print emulator noise on stderr: kept in logs.
timeout 3600 wine "$bench_start" "$launcher" "$plain" "$engine" "$runs" >"$harness/start.txt" 2>"$harness/start.log" </dev/null ||
  { echo "bench: bench_start failed, see $harness/start.log" >&2; cat "$harness/start.txt"; exit 1; }
timeout 1800 wine "$bench_repaint" "$engine" "$dogmax" "$repaints" "$runs" >"$harness/repaint.txt" \
  2>"$harness/repaint.log" </dev/null ||
  { echo "bench: bench_repaint failed, see $harness/repaint.log" >&2; cat "$harness/repaint.txt"; exit 1; }

size() { stat -c %s "$1"; }
exe_size=$(size "$launcher")
library_size=$(size "$engine")
skins_size=0
for skin in $skins; do skins_size=$((skins_size + $(size "$skin"))); done
icon_size=$(size "$icon")
# The icon travels twice: as carried bytes and as the icon resource (.rsrc,
# with the small version block).
rsrc_hex=$(i686-w64-mingw32-objdump -h "$launcher" | awk '$2 == ".rsrc" { print $3 }')
rsrc_size=$((0x${rsrc_hex:-0}))
code_size=$((exe_size - library_size - skins_size - icon_size - rsrc_size))
kb() { awk -v b="$1" 'BEGIN { printf "%.1f", b / 1024 }'; }

echo "Zanvo3GP benchmark: Wine $(wine --version 2>/dev/null), $runs runs each, medians"
echo
cat "$harness/start.txt"
grep -v '^repaints' "$harness/repaint.txt" | grep -v '^engine attach' || true
printf '%-34s %-9s %10s  %-9s %10s  %-12s %s\n' "program file, KB" "total" "$(kb "$exe_size")" "" "" "" "<= 400 KB"
printf '  %-32s %s\n' "code and data" "$(kb "$code_size")" \
  "carried engine library" "$(kb "$library_size")" \
  "carried skins (8)" "$(kb "$skins_size")" \
  "icon, carried bytes" "$(kb "$icon_size")" \
  "icon and version, resources" "$(kb "$rsrc_size")"
grep -h '^engine attach\|^repaints' "$harness/repaint.txt" || true
