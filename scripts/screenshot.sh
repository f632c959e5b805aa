#!/usr/bin/env bash
# Takes docs/screenshot.png: the program in its demo mode (the stand-in service inside it) under a
# virtual X server, signed in as the sample account with its albums listed, saving to an ordinary
# user's pictures folder rather than to the build folder.
#
#   scripts/screenshot.sh [BUILD_DIR]     (default: build, else build-gui)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-}
if [ -z "$build" ]; then
  for candidate in build build-gui; do
    if [ -x "$candidate/gui/fotolun" ]; then build=$candidate; break; fi
  done
fi
if [ -z "$build" ] || [ ! -x "$build/gui/fotolun" ]; then
  build=${build:-build}
  cmake -S . -B "$build" -G Ninja -DFOTOLUN_GUI=ON >/dev/null
  cmake --build "$build" --target fotolun
fi

mkdir -p docs
export QTWEBENGINE_DISABLE_SANDBOX=1 QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu --no-sandbox"
unset QT_QPA_PLATFORM
xvfb-run -a -s "-screen 0 1280x800x24" \
  "$build/gui/fotolun" --demo --sample-list --save /home/me/Pictures/Fotolun --screenshot docs/screenshot.png
echo "wrote docs/screenshot.png"
