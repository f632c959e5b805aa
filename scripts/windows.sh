#!/usr/bin/env bash
# The Windows build: installs what is missing, cross-builds the libraries (once: they are cached),
# fotolun-cli.exe and its unit tests, runs those under Wine, then runs the Linux build's end-to-end
# cases of fotolun-cli (tests/cli) against the .exe under Wine, and packs the zip, which is checked
# by a download run from where it is unpacked. The zip's path is the last line printed.
#   scripts/windows.sh [--no-tests]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
tests=1
[ "${1:-}" = "--no-tests" ] && tests=0
stage() { echo "windows.sh: $* ($((SECONDS))s)" >&2; }

# The libraries and the toolchain (windows-deps.sh installs mingw-w64, Wine and its build tools);
# the Windows build has no stand-in, so not the stand-in's libraries either.
prefix=$(FOTOLUN_WINDOWS_STANDIN=${FOTOLUN_WINDOWS_STANDIN:-0} bash scripts/windows-deps.sh | tail -n 1)
missing=()
for p in librsvg2-bin; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}" >&2
fi
stage "libraries in $prefix"

# Lean: the program and the unit tests only, -O2 without debug information, stripped.
cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DFOTOLUN_WINDOWS_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG" -DCMAKE_EXE_LINKER_FLAGS="-static -s" \
  -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >/dev/null
targets=(fotolun-cli)
[ $tests -eq 1 ] && targets+=(test_units)
cmake --build build-windows -j 2 --target "${targets[@]}"
cmake --build build-windows --target windows-zip >/dev/null
zip=$root/build-windows/fotolun-windows-x64.zip
stage "built"

if [ $tests -eq 1 ]; then
  # One Wine prefix for the run's tests, made afresh: nothing an earlier run left in its %APPDATA%
  # can pass or fail a test.
  export FOTOLUN_WINEPREFIX=$root/build-windows/wine
  rm -rf "$FOTOLUN_WINEPREFIX"
  bash scripts/windows/wine-run.sh cmd /c exit 0
  ctest --test-dir build-windows --output-on-failure -j 2 --timeout 600
  stage "unit tests passed under Wine"

  # The end-to-end cases come from the Linux build, with the stand-in in their own process; one at
  # a time, since Wine gives every Windows program the same %APPDATA%.
  if [ ! -x build/tests/test_cli ] || [ ! -x build/cli/fotolun-cli ]; then
    [ -f build/CMakeCache.txt ] ||
      cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFOTOLUN_GUI=OFF \
        -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >/dev/null
    cmake --build build -j 2 --target test_cli fotolun-cli
  fi
  FOTOLUN_CLI_PATH=$root/build-windows/cli/fotolun-cli.exe FOTOLUN_CLI_LAUNCHER=$root/scripts/windows/wine-run.sh \
    FOTOLUN_WINDOWS_ZIP=$zip ctest --test-dir build -R '^CliTest\.' --output-on-failure --timeout 900
  stage "fotolun-cli.exe passed the end-to-end cases under Wine, the zip's download included"
  # The prefix's server was started for this run; it goes with it.
  WINEPREFIX=$FOTOLUN_WINEPREFIX /usr/lib/wine/wineserver64 -k 2>/dev/null || true
fi
echo "$zip"
