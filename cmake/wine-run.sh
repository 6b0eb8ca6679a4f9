#!/bin/sh
# Runs a Windows program under Wine without a display or a question: ctest's emulator for the
# Windows build.   wine-run.sh [--prefix DIR] program.exe arguments...
# A WINEPREFIX set by the caller wins over --prefix.
if [ "$1" = "--prefix" ]; then
  : "${WINEPREFIX:=$2}"
  shift 2
fi
: "${WINEPREFIX:=$PWD/wineprefix}"
WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko: nothing here needs them, and their installers would ask.
WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
unset DISPLAY WAYLAND_DISPLAY
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=wine
exec "$wine" "$@"
