#!/usr/bin/env bash
# Builds the Windows libraries (once: they are cached), then the smoke program of
# scripts/windows/smoke with the toolchain file, and runs it under Wine through ctest.
set -euo pipefail
cd "$(dirname "$0")/../.."

prefix=$(bash scripts/windows-deps.sh | tail -n 1)
build=${FOTOLUN_WINDOWS_SMOKE_BUILD:-build-windows-smoke}
cmake -S scripts/windows/smoke -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" -DFOTOLUN_WINDOWS_PREFIX="$prefix" \
  -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >/dev/null
cmake --build "$build" -j 2
ctest --test-dir "$build" --output-on-failure --timeout 300
