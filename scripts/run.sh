#!/usr/bin/env bash
# Builds the programs and starts the editor; arguments go to the editor (a .ckd file to open).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
source scripts/compiler-cache.sh
cmake -S . -B build/normal -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${compiler_cache[@]}" > /dev/null
cmake --build build/normal -j "$(nproc)"
exec build/normal/bin/KeyloomVKxx "$@"
