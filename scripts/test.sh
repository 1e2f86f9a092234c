#!/usr/bin/env bash
# Builds everything twice, normally and with AddressSanitizer + UndefinedBehaviorSanitizer, and
# runs every test in both builds; the Debian package made from the normal build is checked,
# installed and purged again (scripts/test-deb.sh); then the Windows build, its tests and its
# installer under Wine (scripts/test-windows.sh). KEYLOOM_SKIP_DEB=1 and KEYLOOM_SKIP_WINDOWS=1
# leave those parts out. Ends with the time each phase took. Every build compiles through ccache
# (scripts/compiler-cache.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/phases.sh
trap 'status=$?; phases_report $status; [ -z "${compiler_cache_start:-}" ] || compiler_cache_report' EXIT

phase "install packages"
bash scripts/install-deps.sh
source scripts/compiler-cache.sh

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

build() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${compiler_cache[@]}" "$@" \
    > "$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; return 1; }
  cmake --build "$dir" -j "$jobs"
}

mkdir -p build
phase "normal build"
build build/normal
phase "normal tests"
ctest --test-dir build/normal --output-on-failure -j "$jobs"

if [ "${KEYLOOM_SKIP_DEB:-0}" != 1 ]; then
  phase "Debian package"
  bash scripts/test-deb.sh build/normal
fi

phase "sanitizer build"
build build/sanitize -DKEYLOOM_SANITIZE=ON -DKEYLOOM_BENCH=OFF
phase "sanitizer tests"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/sanitize --output-on-failure -j "$jobs"

if [ "${KEYLOOM_SKIP_WINDOWS:-0}" != 1 ]; then
  phase_end
  LINUX_BUILD_DIR=build/normal bash scripts/test-windows.sh
fi
