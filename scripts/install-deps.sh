#!/usr/bin/env bash
# Installs every Debian package the project needs. Quick when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  # The compiler cache that makes repeated builds quick (scripts/compiler-cache.sh).
  ccache
  qt6-base-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  clang
  xvfb xauth
  # pdftotext and pdftoppm read the printed sheets back in the tests, xlrd the label spreadsheets.
  poppler-utils python3-xlrd
  desktop-file-utils appstream shared-mime-info
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
