#!/usr/bin/env bash
# Builds Qt 6 (Core, Gui, Widgets, Test and the Windows platform plugin) for 64-bit Windows with
# MinGW-w64, from Debian's own qt6-base source package, and installs it into a cache folder
# outside the checkout. Debian ships no Qt for MinGW; the host Qt of the same version supplies
# moc, rcc and uic.
#
# The build takes 30-45 minutes on two cores, so it is done once: the folder is keyed by the Qt
# version and the options below, and a later run that finds it finished prints its path and
# returns at once. Prints the prefix as its last line.
#   KEYLOOM_QT_WINDOWS_CACHE  the cache's parent folder (default ~/.cache/keyloom)
#   JOBS                      parallel build jobs (default: all cores)
set -euo pipefail

qt_version=6.4.2
options=(
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_concurrent=OFF
  -DFEATURE_xml=OFF -DFEATURE_printsupport=OFF -DFEATURE_vulkan=OFF
  # Debian's tarball leaves out the Wintab headers.
  -DFEATURE_tabletevent=OFF
  # The Windows platform plugin of 6.4 needs OpenGL; it is loaded at run time ("dynamic").
  -DFEATURE_opengl=ON
  -DFEATURE_testlib=ON -DQT_FEATURE_system_zlib=OFF
)
key=$(printf '%s\n' "$qt_version" "${options[@]}" | sha256sum | cut -c1-12)
cache=${KEYLOOM_QT_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/keyloom}
prefix=$cache/qt-$qt_version-mingw-$key
jobs=${JOBS:-$(nproc)}

if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
packages=(cmake ninja-build dpkg-dev xz-utils qt6-base-dev qt6-base-dev-tools g++-mingw-w64-x86-64-posix)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done

# apt-get source needs a deb-src entry: the system's Debian entries with Types: deb-src.
sources_entry=/etc/apt/sources.list.d/keyloom-deb-src.sources
need_update=0
if ! grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  sed -E 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
    | "${as_root[@]}" tee "$sources_entry" > /dev/null
  need_update=1
fi
if [ ${#missing[@]} -gt 0 ] || [ $need_update = 1 ]; then
  "${as_root[@]}" apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}" >&2
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
fi

work=$cache/qt-$qt_version-mingw-$key.work
rm -rf "$work" "$prefix"
mkdir -p "$work"
cd "$work"
echo "Building Qt $qt_version for Windows into $prefix (once; about 30-45 minutes)" >&2
apt-get source --download-only "qt6-base=$(apt-cache showsrc qt6-base | sed -n 's/^Version: //p' | grep "^$qt_version" | head -1)" >&2
tar -xf qt6-base_*.orig.tar.* >&2
source_dir=$(find . -maxdepth 1 -type d -name "qtbase-everywhere-src-$qt_version*" | head -1)

# Qt's own toolchain: the project's compilers without the project's static linking, so that Qt's
# DLLs and the programs linked with them share the MinGW runtime DLLs.
cat > toolchain.cmake <<'EOF'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF

cmake -S "$source_dir" -B build -G Ninja -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_INSTALL_PREFIX="$prefix" "${options[@]}" > configure.log 2>&1 \
  || { tail -50 configure.log >&2; exit 1; }
cmake --build build -j "$jobs" > build.log 2>&1 || { tail -50 build.log >&2; exit 1; }
cmake --install build > install.log 2>&1 || { tail -50 install.log >&2; exit 1; }
touch "$prefix/.complete"
cd "$cache"
rm -rf "$work"
echo "$prefix"
