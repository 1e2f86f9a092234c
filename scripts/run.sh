#!/usr/bin/env bash
# Builds the programs and starts them on a sample file.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/normal -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build/normal -j "$(nproc)"
# The editor window is not built yet; show the sample configuration with the command-line tool.
exec build/normal/bin/vkxx show examples/Macro_Files/DefaultVK24.ckd
