#!/usr/bin/env bash
# Takes docs/screenshot.png: the program in its demo mode (the stand-in service inside it) under a
# virtual X server, signed in as the sample account with its albums listed, saving to an ordinary
# user's pictures folder rather than to the build folder. Then docs/gallery.png and
# docs/gallery-album.png: the offline album a demo run leaves, its albums and one album's photos.
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
cmake --build "$build" --target fotolun-cli fotolun-page-shot >/dev/null

mkdir -p docs
export QTWEBENGINE_DISABLE_SANDBOX=1 QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu --no-sandbox"
unset QT_QPA_PLATFORM
xvfb-run -a -s "-screen 0 1280x800x24" \
  "$build/gui/fotolun" --demo --sample-list --save /home/me/Pictures/Fotolun --screenshot docs/screenshot.png
echo "wrote docs/screenshot.png"

demo=$(mktemp -d)
trap 'rm -rf "$demo"' EXIT
"$build/cli/fotolun-cli" demo --save "$demo" --quiet >/dev/null || true
top=$(find "$demo/classic/hd" -mindepth 2 -maxdepth 2 -name index.html | head -n 1)
album=$(dirname "$top")/$(cd "$(dirname "$top")" && ls -d 旅行2019*)/index.html
xvfb-run -a -s "-screen 0 1280x800x24" "$build/gui/fotolun-page-shot" "$top" docs/gallery.png 1100 700
xvfb-run -a -s "-screen 0 1280x800x24" "$build/gui/fotolun-page-shot" "$album" docs/gallery-album.png 1100 700
echo "wrote docs/gallery.png and docs/gallery-album.png"
