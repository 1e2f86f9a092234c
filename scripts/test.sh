#!/usr/bin/env bash
# Builds everything twice, normally and with AddressSanitizer + UndefinedBehaviorSanitizer, and
# runs every test in both builds; then the Windows build of the core and the platform backend, its
# tests under Wine (scripts/test-windows.sh). KEYLOOM_SKIP_WINDOWS=1 leaves the Windows part out.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

build() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" > "$dir.configure.log" 2>&1 \
    || { cat "$dir.configure.log"; return 1; }
  cmake --build "$dir" -j "$jobs"
}

mkdir -p build
build build/normal
ctest --test-dir build/normal --output-on-failure -j "$jobs"

build build/sanitize -DKEYLOOM_SANITIZE=ON -DKEYLOOM_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/sanitize --output-on-failure -j "$jobs"

if [ "${KEYLOOM_SKIP_WINDOWS:-0}" != 1 ]; then
  LINUX_BUILD_DIR=build/normal bash scripts/test-windows.sh
fi
