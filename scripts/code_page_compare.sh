#!/bin/sh
# Builds scripts/code_page_table.cpp for Linux (iconv) and for 64-bit Windows (mingw-w64), runs
# the second under Wine and compares the two tables: no output and status 0 when they agree.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
work=${1:-$(mktemp -d)}
mkdir -p "$work"
src="$root/scripts/code_page_table.cpp $root/src/text/encoding.cpp"
g++ -std=c++20 -O2 -Wall -Wextra -Werror -I"$root/src" $src "$root/src/platform/code_page_posix.cpp" \
  -o "$work/table-linux"
x86_64-w64-mingw32-g++-posix -std=c++20 -O2 -Wall -Wextra -Werror -static -I"$root/src" $src \
  "$root/src/platform/code_page_win32.cpp" -o "$work/table-windows.exe"
"$work/table-linux" "$work/linux.txt"
(cd "$work" && WINEDEBUG=-all LC_ALL=C.UTF-8 /usr/lib/wine/wine64 ./table-windows.exe windows.txt)
cmp "$work/linux.txt" "$work/windows.txt"
