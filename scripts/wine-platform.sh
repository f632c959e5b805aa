#!/bin/sh
# Builds the platform layer's Windows side with mingw-w64 and runs its driver under Wine.
#   scripts/wine-platform.sh [build folder]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build-wine}
mkdir -p "$out"
x86_64-w64-mingw32-g++-posix -std=c++20 -Wall -Wextra -Werror -O1 -static -I"$root/src" \
  -o "$out/platform_driver.exe" "$root/tests/wine/platform_driver.cpp" "$root"/src/platform/*_win32.cpp \
  "$root/src/platform/atomic_file.cpp" "$root/src/download/part_file.cpp" \
  "$root/src/download/download_archive.cpp" "$root/src/program/program_folders.cpp" -lshell32 -lole32 -luuid
WINEDEBUG=-all LC_ALL=C.UTF-8 /usr/lib/wine/wine64 "$out/platform_driver.exe" "参数 一" | cat
