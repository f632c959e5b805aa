#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the plain build (all tests, the window's
# included, on Qt's offscreen platform), then every test but the window's under ASan+UBSan and again
# under TSan (Qt's own libraries are not instrumented), then the Windows build under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu --no-sandbox"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs" --timeout 600

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DFOTOLUN_SANITIZE=address -DFOTOLUN_GUI=OFF >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 ctest --test-dir build-asan --output-on-failure -j "$jobs" --timeout 600

cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DFOTOLUN_SANITIZE=thread -DFOTOLUN_GUI=OFF >/dev/null
cmake --build build-tsan -j "$jobs"
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/scripts/tsan.supp" ctest --test-dir build-tsan --output-on-failure -j "$jobs" --timeout 600

# Windows: fotolun-cli.exe cross-built, its unit tests and then the end-to-end cases of the Linux
# build above run against it under Wine, and the zip checked (the libraries are cached after the
# first run).
bash scripts/windows.sh
