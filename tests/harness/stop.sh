#!/bin/sh
# Stops what start.sh started. Usage: stop.sh HARNESS_DIR
harness="$1"
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/env.sh"
[ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null
if [ -f "$harness/xvfb.pid" ]; then
  kill "$(cat "$harness/xvfb.pid")" 2>/dev/null
  rm -f "$harness/xvfb.pid" "$harness/display"
fi
exit 0
