#!/bin/sh
# Starts the harness: a headless X server, the Wine prefix (made once per
# build folder), a persistent wineserver and, given keep_desktop.exe, Wine's
# desktop process kept up for the whole run.
# Usage: start.sh HARNESS_DIR [KEEP_DESKTOP_EXE]
set -eu
harness="$1"
here="$(cd "$(dirname "$0")" && pwd)"
mkdir -p "$harness"
sh "$here/stop.sh" "$harness" >/dev/null 2>&1 || true

wait_for() { # wait_for SECONDS COMMAND...: retries COMMAND until it succeeds
  limit=$(( $(date +%s) + $1 )); shift
  until "$@" >/dev/null 2>&1; do
    [ "$(date +%s)" -lt "$limit" ] || { echo "timed out: $*" >&2; return 1; }
    sleep 0.2
  done
}

# A display number that nobody uses.
n=90
while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$harness/xvfb.log" 2>&1 &
echo $! >"$harness/xvfb.pid"
echo ":$n" >"$harness/display"
wait_for 30 xdpyinfo -display ":$n"

. "$here/env.sh"
stamp="$WINEPREFIX/.zanvo-harness"
settings="$(cat "$here/env.sh" "$here/start.sh" | cksum)"
# One wineserver for the whole run, kept until stop.sh; its output and that
# of the prefix's services go to a log, so that no test's pipes stay open.
log="$harness/wineboot.log"
if [ ! -f "$stamp" ] || [ "$(cat "$stamp")" != "$settings" ]; then
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineserver -p >>"$log" 2>&1
  wineboot -i >>"$log" 2>&1 </dev/null
  # Wine draws window frames itself: there is no window manager.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >>"$log" 2>&1 </dev/null
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$log" 2>&1 </dev/null
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >>"$log" 2>&1 </dev/null
  echo "$settings" >"$stamp"
else
  wineserver -p >>"$log" 2>&1
  wine wineboot >>"$log" 2>&1 </dev/null
fi
keeper="${2:-}"
if [ -n "$keeper" ]; then
  ready="$harness/desktop-ready"
  rm -f "$ready"
  wine "$keeper" "Z:$(echo "$ready" | tr / '\\')" >"$harness/keep_desktop.log" 2>&1 </dev/null &
  # Without it the tests still run, only with more starts of the desktop.
  wait_for 120 test -f "$ready" || echo "harness: Wine's desktop process is not kept up" >&2
fi
echo "harness ready on display :$n"
