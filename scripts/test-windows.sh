#!/usr/bin/env bash
# The Windows build: Qt for Windows from Debian's sources (built once into a cache, see
# scripts/build-qt-windows.sh), then everything - core, platform backend, editor, dialogs, KeyTest,
# vkxx and their tests - cross-built with MinGW-w64. The tests run under Wine (the GUI ones
# offscreen); vkxx.exe must write the same device images as the Linux vkxx; the program folder is
# zipped, unpacked elsewhere and started on a virtual display (scripts/test-windows-startup.sh);
# its installer (NSIS, packaging/windows) installs, starts and uninstalls silently under Wine
# (scripts/test-windows-installer.sh).
# WINDOWS_BUILD_DIR and LINUX_BUILD_DIR choose other build folders, JOBS the parallel jobs.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
windows_build=${WINDOWS_BUILD_DIR:-build/windows}
linux_build=${LINUX_BUILD_DIR:-build/normal}
jobs=${JOBS:-$(nproc)}
source scripts/phases.sh
source scripts/compiler-cache.sh

phase "Windows: packages and Qt"

packages=(cmake ninja-build googletest g++-mingw-w64-x86-64-posix wine wine64 liblnk-utils
          xvfb xauth xdotool x11-utils imagemagick zip unzip fonts-wine nsis)
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

# Qt for Windows; the first run on a machine builds it (30-45 minutes).
qt_prefix=$(bash scripts/build-qt-windows.sh | tail -1)

# The Linux build supplies the tools that draw the icons, labels and manual, the reference vkxx
# and the reference editor; only these are built when the build is not there yet.
bash scripts/install-deps.sh
if [ ! -f "$linux_build/build.ninja" ]; then
  mkdir -p "$(dirname "$linux_build")"
  cmake -S . -B "$linux_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${compiler_cache[@]}" \
    > "$linux_build.configure.log" 2>&1 || { cat "$linux_build.configure.log"; exit 1; }
fi
cmake --build "$linux_build" -j "$jobs" --target make_keycap_labels make_icons make_manual vkxx KeyloomVKxx
host_tools=$(realpath "$linux_build")/tools

# A throwaway Wine installation, without the Gecko and Mono installers it would offer, and without
# the menu builder that copies Windows shortcuts into the desktop's menus.
WINEPREFIX=$(mktemp -d /tmp/keyloom-wine.XXXXXX)
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Wine reads the Unix side's arguments and file names in the locale's character set.
export LC_ALL=C.UTF-8
work=$(mktemp -d /tmp/keyloom-windows.XXXXXX)
# Wine links Documents and Desktop to the home folder: a throwaway one, so that nothing the
# Windows programs write lands in the user's.
export HOME=$work/home
mkdir -p "$HOME"
cleanup() {
  local status=$?
  wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX" "$work"
  phases_report $status
}
trap cleanup EXIT
# Without a lasting server every test program pays Wine's start-up of about two seconds.
wineserver -p
if ! wineboot -i > "$work/wineboot.log" 2>&1; then
  # Some Wine versions want a display even to set up the prefix.
  xvfb-run -a wineboot -i > "$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log"; exit 1; }
fi

# GUI tests run offscreen, also while their tests are listed at build time.
export QT_QPA_PLATFORM=offscreen
phase "Windows build"
mkdir -p "$(dirname "$windows_build")"
cmake -S . -B "$windows_build" -G Ninja -DCMAKE_BUILD_TYPE=Release "${compiler_cache[@]}" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DKEYLOOM_GUI=ON -DKEYLOOM_BENCH=OFF \
  -DKEYLOOM_QT_WINDOWS_PREFIX="$qt_prefix" -DQT_HOST_PATH=/usr \
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake -DKEYLOOM_HOST_TOOLS="$host_tools" \
  > "$windows_build.configure.log" 2>&1 || { cat "$windows_build.configure.log"; exit 1; }
cmake --build "$windows_build" -j "$jobs"
phase "Windows tests under Wine"
ctest --test-dir "$windows_build" --output-on-failure -j "$jobs"

phase "Windows zip, vkxx images, start-up"
# The program folder a user copies, as a zip with one top folder.
version=$(sed -n 's/^project(KeyloomVKxx VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
zip_file=$(realpath "$windows_build")/KeyloomVKxx-$version-windows-x64.zip
rm -f "$zip_file"
ln -s "$(realpath "$windows_build")/bin" "$work/KeyloomVKxx"
(cd "$work" && zip -qr "$zip_file" KeyloomVKxx)
echo "Windows program folder: $windows_build/bin, zipped as $windows_build/$(basename "$zip_file")"
# The installer of the same folder.
installer=$(realpath "$windows_build")/KeyloomVKxx-$version-setup.exe
bash packaging/windows/make-installer.sh "$windows_build/bin" "$version" \
  "$windows_build/icons/hicolor/keyloomvkxx.ico" "$installer"
echo "Windows installer: $windows_build/$(basename "$installer")"

linux_vkxx=$linux_build/bin/vkxx

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
[ $status = 0 ] || exit $status

bash scripts/test-windows-startup.sh "$zip_file" "$linux_build/bin/KeyloomVKxx"

phase "Windows installer"
bash scripts/test-windows-installer.sh "$installer" "$windows_build/bin" "$version"
