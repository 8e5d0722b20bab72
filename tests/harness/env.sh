# Sourced with the harness folder in $harness: the environment of every Wine
# process of a test run.
export WINEPREFIX="$harness/prefix"
export WINEARCH=win32
export WINEDEBUG=-all
# No Mono or Gecko install prompts; no crash dialogs.
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
# Code page 936 by default; a test asks for another with WINE_LC_ALL.
export LC_ALL="${WINE_LC_ALL:-zh_CN.UTF-8}"
if [ -f "$harness/display" ]; then
  export DISPLAY="$(cat "$harness/display")"
fi
