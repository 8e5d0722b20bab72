#!/bin/sh
# Installs what is missing, builds the launcher and starts it under Wine.
# With DISPLAY set it shows on that display until you close the window;
# without, it runs in a headless X server, saves a screenshot of the window
# to build/launcher.png and closes it.
# Usage (as root, from the repository): sh scripts/run.sh
set -eu
cd "$(dirname "$0")/.."
user_display="${DISPLAY:-}"
sh scripts/setup-machine.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "$(nproc)" >/dev/null
exe="$PWD/build/windows/launcher/Zanvo3GP.exe"

harness="$PWD/build/run"
sh tests/harness/start.sh "$harness"
trap 'sh tests/harness/stop.sh "$harness"' EXIT
. tests/harness/env.sh

if [ -n "$user_display" ]; then
  DISPLAY="$user_display" wine "$exe" </dev/null
  exit 0
fi

wait_for() { # wait_for SECONDS COMMAND...
  limit=$(( $(date +%s) + $1 )); shift
  until "$@" >/dev/null 2>&1; do
    [ "$(date +%s)" -lt "$limit" ] || { echo "timed out: $*" >&2; return 1; }
    sleep 0.5
  done
}
window_shown() { xwininfo -root -tree -display "$DISPLAY" | grep -q 'Zanvo3GP'; }
# The window's size and place on the screen, as "WxH+X+Y" (the skin's frame
# sets its outer size).
geometry() {
  xwininfo -root -tree -display "$DISPLAY" | grep -a '"Zanvo3GP' | head -n 1 |
    awk '{ split($(NF-1), size, "+"); split($NF, at, "+"); print size[1] "+" at[2] "+" at[3] }'
}
shot() { xwd -root -silent -display "$DISPLAY" | convert xwd:- -crop "$(geometry)" +repage "png:$1"; }
settled() { # two screenshots in a row are the same
  shot "$harness/a.png"; shot "$harness/b.png"; cmp -s "$harness/a.png" "$harness/b.png"
}

wine "$exe" >"$harness/launcher.log" 2>&1 </dev/null &
launcher=$!
wait_for 120 window_shown
skin="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Zanvo3GP/dogmax.she"
wait_for 60 test -f "$skin"
wait_for 60 settled
cp "$harness/b.png" build/launcher.png
echo "screenshot: build/launcher.png"
# Wine's taskkill finds no process here; ending its Unix process ends it.
kill "$launcher" 2>/dev/null || true
wait
