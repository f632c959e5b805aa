#!/usr/bin/env bash
# Runs one Windows program under Wine, headless, as if it ran natively: its arguments, standard
# streams and exit code pass through untouched, so ctest and the tests that read a program's UTF-8
# output from a pipe need not know about Wine. CMake uses it as CMAKE_CROSSCOMPILING_EMULATOR.
#   FOTOLUN_WINEPREFIX   the Wine prefix (default: the Windows cache's wine/)
#   FOTOLUN_WINDOWS_CACHE the cache of scripts/windows-deps.sh (default ~/.cache/fotolun-windows)
set -euo pipefail

if [ $# -lt 1 ]; then
  echo "usage: $0 PROGRAM.exe [ARGUMENT...]" >&2
  exit 2
fi

cache=${FOTOLUN_WINDOWS_CACHE:-$HOME/.cache/fotolun-windows}
export WINEPREFIX=${FOTOLUN_WINEPREFIX:-$cache/wine}
export WINEARCH=win64 WINEDEBUG=-all LC_ALL=C.UTF-8
# No Mono or Gecko installer on the first start, no menu entries written into the host's desktop.
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
wine=${FOTOLUN_WINE:-/usr/lib/wine/wine64}
export WINESERVER=${FOTOLUN_WINESERVER:-/usr/lib/wine/wineserver64}

mkdir -p "$(dirname "$WINEPREFIX")"
# The first run creates the prefix (about 12 s); tests started in parallel wait for it rather than
# creating it twice. The server is started by hand, detached from our standard streams: one that
# Wine started would inherit them, and a reader of the program's output would wait for an end of
# file that comes only when the server quits. Kept alive (-p), it makes later runs start in seconds.
# What stays running (the server, the services wineboot starts) must not inherit the lock either.
(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$WINESERVER" -p </dev/null >/dev/null 2>&1 9>&- || true
    "$wine" wineboot --init </dev/null >/dev/null 2>&1 9>&-
  fi
  "$WINESERVER" -p </dev/null >/dev/null 2>&1 9>&- || true
) 9>"$WINEPREFIX.lock"

exec "$wine" "$@"
