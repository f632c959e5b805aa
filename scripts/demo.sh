#!/usr/bin/env bash
# Installs what is missing, builds the command-line program and runs its demo: the stand-in
# service starts inside the program, the demo signs in to it and downloads sample albums into
# ./fotolun-demo (or the folder given as the first argument).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
save="$(realpath -m "${1:-fotolun-demo}")"

bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build-demo" -G Ninja -DCMAKE_BUILD_TYPE=Release -DFOTOLUN_GUI=OFF >/dev/null
cmake --build "$root/build-demo" --target fotolun-cli -j "$(nproc)"
"$root/build-demo/cli/fotolun-cli" demo --save "$save"
