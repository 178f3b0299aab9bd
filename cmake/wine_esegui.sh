#!/usr/bin/env bash
# Runs a Windows program under Wine in a private prefix (the CTest emulator of
# the windows preset).  usage: wine_esegui.sh PREFIX PROGRAM [ARGS...]
# The prefix is made once; the Wine server and its background services are
# started here with their output sent to a file, because they keep the first
# program's standard output and error open: started from a test, they would
# hold the caller's pipes open until they exit.
set -euo pipefail
prefisso=$1
shift
export WINEPREFIX=$prefisso WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
# no display, unless asked: a message box then returns at once instead of
# waiting for a click
if [ "${SCENARIO_WINE_DISPLAY:-}" != 1 ]; then
  unset DISPLAY WAYLAND_DISPLAY
fi
registro=$prefisso.log
mkdir -p "$(dirname "$prefisso")"
exec 9>"$prefisso.lock"
flock 9
if [ ! -f "$prefisso/pronto" ]; then
  rm -rf "$prefisso"
  mkdir -p "$prefisso"
  wineboot --init </dev/null >>"$registro" 2>&1
  # no window manager to wait for under Xvfb
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >>"$registro" 2>&1
  wineserver -w </dev/null >>"$registro" 2>&1
  touch "$prefisso/pronto"
fi
# a server that stays up for 10 minutes after its last client, so the next
# run does not wait for a new one
if wineserver -p600 </dev/null >>"$registro" 2>&1; then
  wine cmd /c exit </dev/null >>"$registro" 2>&1
fi
flock -u 9
exec 9>&-
exec wine "$@"
