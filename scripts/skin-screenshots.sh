#!/bin/sh
# Renders the skin engine's test window in each built-in skin, as the screen
# shows it under Wine, into docs/skins/<skin>.png.
# Usage: sh scripts/skin-screenshots.sh [BUILD_DIR]   (default: build)
set -eu
cd "$(dirname "$0")/.."
root="$(pwd)"
build="${1:-build}"
if [ ! -f "$build/windows/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" -j "$(nproc)"
fi
build="$(cd "$build" && pwd)"
cmake --build "$build/windows" -j "$(nproc)" --target skin_screenshot SkinH_EL builtin_skins

winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }

# A harness of its own, so that a test run in the same build is not disturbed.
harness="$build/windows/wine-screenshots"
trap 'sh "$root/tests/harness/stop.sh" "$harness"' EXIT
sh tests/harness/start.sh "$harness" >/dev/null
. tests/harness/env.sh
mkdir -p docs/skins
wine "$build/windows/tests/windows/skinengine/skin_screenshot.exe" \
  "$(winpath "$build/windows/skinengine/dll/SkinH_EL.dll")" \
  "$(winpath "$build/windows/skins")" \
  "$(winpath "$root/docs/skins")" >"$harness/screenshots.log" 2>&1 </dev/null || {
  grep -v fixme "$harness/screenshots.log" >&2
  exit 1
}
ls docs/skins/*.png
