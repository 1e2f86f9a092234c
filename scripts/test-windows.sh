#!/usr/bin/env bash
# Builds the core, the Win32 platform backend, vkxx and their tests as Windows programs with
# MinGW-w64, runs the tests under Wine, and checks that vkxx.exe writes the same device images as
# the Linux vkxx.
# WINDOWS_BUILD_DIR and LINUX_BUILD_DIR choose other build folders, JOBS the parallel jobs.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
windows_build=${WINDOWS_BUILD_DIR:-build/windows}
linux_build=${LINUX_BUILD_DIR:-build/normal}
jobs=${JOBS:-$(nproc)}

packages=(cmake ninja-build googletest g++-mingw-w64-x86-64-posix wine wine64 liblnk-utils)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  as_root=()
  [ "$(id -u)" -eq 0 ] || as_root=(sudo)
  echo "Installing: ${missing[*]}"
  "${as_root[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A throwaway Wine installation, without the Gecko and Mono installers it would offer.
WINEPREFIX=$(mktemp -d /tmp/keyloom-wine.XXXXXX)
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Wine reads the Unix side's arguments and file names in the locale's character set.
export LC_ALL=C.UTF-8
work=$(mktemp -d /tmp/keyloom-windows.XXXXXX)
cleanup() {
  wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX" "$work"
}
trap cleanup EXIT
# Without a lasting server every test program pays Wine's start-up of about two seconds.
wineserver -p
if ! wineboot -i > "$work/wineboot.log" 2>&1; then
  # Some Wine versions want a display even to set up the prefix.
  xvfb-run -a wineboot -i > "$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log"; exit 1; }
fi

mkdir -p "$(dirname "$windows_build")"
cmake -S . -B "$windows_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DKEYLOOM_GUI=OFF -DKEYLOOM_BENCH=OFF \
  > "$windows_build.configure.log" 2>&1 || { cat "$windows_build.configure.log"; exit 1; }
cmake --build "$windows_build" -j "$jobs"
ctest --test-dir "$windows_build" --output-on-failure -j "$jobs"

# The Linux vkxx of the normal build; only the tool is built when it is missing.
linux_vkxx=$linux_build/bin/vkxx
if [ ! -x "$linux_vkxx" ]; then
  bash scripts/install-deps.sh
  mkdir -p "$(dirname "$linux_build")"
  cmake -S . -B "$linux_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    > "$linux_build.configure.log" 2>&1 || { cat "$linux_build.configure.log"; exit 1; }
  cmake --build "$linux_build" -j "$jobs" --target vkxx
fi

status=0
compared=0
# A name beyond ASCII as well: it reaches vkxx.exe as UTF-16.
cp examples/Macro_Files/MouseClicks.ckd "$work/Büro ✓.ckd"
for sample in examples/Macro_Files/*.ckd "$work/Büro ✓.ckd"; do
  name=$(basename "$sample" .ckd)
  for keys in "" 24 48; do
    options=()
    [ -z "$keys" ] || options=(--keys "$keys")
    "$linux_vkxx" image "$sample" "${options[@]}" -o "$work/$name$keys.linux.bin"
    wine "$windows_build/bin/vkxx.exe" image "$sample" "${options[@]}" -o "$work/$name$keys.windows.bin"
    if cmp "$work/$name$keys.linux.bin" "$work/$name$keys.windows.bin"; then
      compared=$((compared + 1))
    else
      echo "vkxx image $sample ${options[*]}: the Windows image differs from the Linux one"
      status=1
    fi
  done
done
echo "vkxx image: $compared images identical on Linux and Windows"
exit $status
