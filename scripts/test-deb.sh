#!/usr/bin/env bash
# The Debian package as a user gets it: made by CPack from the normal build, checked by Lintian,
# installed with dpkg (apt for its dependencies); the editor, started by its desktop entry's Exec
# line on a virtual display, opens its window and fills its working folders from the installed
# samples; vkxx draws a keymap from /usr/bin; then the package is purged and must leave no file.
# This installs and removes the package keyloomvkxx on this machine (through sudo when not root).
#   test-deb.sh [BUILD]   the normal build folder (default build/normal)
set -euo pipefail
cd "$(dirname "$0")/.."

title="Quorvane KeyloomVKxx (VK24)"

# On the virtual display: the editor started as the desktop starts it, with a fresh home.
if [ "${1:-}" = --on-display ]; then
  home=$2
  exec_line=$(sed -n 's/^Exec=//p' /usr/share/applications/keyloomvkxx.desktop)
  read -ra words <<< "$exec_line"
  # Without a file to open, the desktop drops the field codes (%f).
  command=()
  for word in "${words[@]}"; do [[ $word == %* ]] || command+=("$word"); done
  mkdir -p "$home/run"
  chmod 700 "$home/run"
  env -i HOME="$home" PATH=/usr/bin:/bin DISPLAY="$DISPLAY" XAUTHORITY="${XAUTHORITY:-}" \
    XDG_RUNTIME_DIR="$home/run" "${command[@]}" > "$home/editor.log" 2>&1 &
  editor=$!
  trap 'kill $editor 2> /dev/null || true' EXIT
  for _ in $(seq 300); do
    xdotool search --name "^${title//[()]/.}\$" > /dev/null 2>&1 && exit 0
    kill -0 $editor 2> /dev/null || { cat "$home/editor.log"; echo "the installed editor ended"; exit 1; }
    sleep 0.1
  done
  cat "$home/editor.log"
  echo "the installed editor opened no window \"$title\""
  exit 1
fi

build=${1:-build/normal}
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
packages=(dpkg-dev file lintian xvfb xauth xdotool)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  "${as_root[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
if dpkg-query -W -f='${Status}' keyloomvkxx 2> /dev/null | grep -q ' installed'; then
  echo "keyloomvkxx is installed on this machine, and this test would purge it: remove it first"
  exit 1
fi

failed=0
fail() { echo "Debian package: $*"; failed=1; }

rm -rf "$build/package"
(cd "$build" && cpack -G DEB) > "$build/package.log" 2>&1 || { cat "$build/package.log"; exit 1; }
deb=$(echo "$build"/package/keyloomvkxx_*.deb)
echo "Debian package: $deb"
echo "Depends: $(dpkg-deb -f "$deb" Depends)"
lintian --fail-on error,warning --display-info "$deb" || fail "Lintian found errors or warnings"

work=$(mktemp -d /tmp/keyloom-deb.XXXXXX)
cleanup() {
  if dpkg-query -W -f='${Status}' keyloomvkxx 2> /dev/null | grep -q ' installed'; then
    "${as_root[@]}" dpkg --purge keyloomvkxx > /dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" dpkg -i "$deb" > "$work/dpkg.log" 2>&1 \
  || "${as_root[@]}" apt-get install -f -y -qq --no-install-recommends > "$work/apt.log" 2>&1 \
  || { cat "$work/dpkg.log" "$work/apt.log"; exit 1; }
dpkg-query -W -f='${Status}' keyloomvkxx | grep -q 'install ok installed' || { cat "$work/dpkg.log"; exit 1; }
dpkg-query -L keyloomvkxx > "$work/files"

# The desktop's caches took in the package (through the triggers of their own packages).
if command -v update-mime-database > /dev/null; then
  [ -f /usr/share/mime/application/x-keyloom-ckd.xml ] || fail "the MIME database has no .ckd type"
fi

# The editor from the menu: its window, and the working folders filled from the installed samples.
home=$work/home
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash "$0" --on-display "$home" \
  || fail "the installed editor did not start from its desktop entry"
area=$home/Documents/Quorvane/KeyloomVKxx
samples=/usr/share/keyloomvkxx/Examples
for sample in "$samples"/Macro_Files/*.ckd "$samples"/Keycap_Labels/*.bmp; do
  copy=$area/${sample#"$samples"/}
  cmp -s "$sample" "$copy" || fail "the editor did not copy ${sample#"$samples"/} into $area"
done
[ -s /usr/share/keyloomvkxx/KeyloomVKxx.pdf ] || fail "no manual where Help looks for it"

# vkxx from /usr/bin, and the vkxx-print beside it, without a display.
(cd "$work" && env -i HOME="$home" XDG_RUNTIME_DIR="$home/run" PATH=/usr/bin:/bin \
  vkxx keymap "$samples/Macro_Files/DefaultVK24.ckd" -o keymap.pdf) || fail "vkxx keymap failed"
[ "$(head -c 5 "$work/keymap.pdf" 2> /dev/null)" = "%PDF-" ] || fail "vkxx keymap wrote no PDF"

# Purged, nothing of the package is left: no file, no folder only it had, no MIME type.
"${as_root[@]}" apt-get purge -y -qq keyloomvkxx > "$work/purge.log" 2>&1 || { cat "$work/purge.log"; exit 1; }
while IFS= read -r path; do
  if [ -L "$path" ] || [ -f "$path" ]; then
    fail "left after purging: $path"
  elif [ -d "$path" ] && ! dpkg-query -S "$path" > /dev/null 2>&1 && [ -z "$(ls -A "$path")" ]; then
    fail "left after purging: the empty folder $path"
  fi
done < "$work/files"
[ -e /usr/share/mime/application/x-keyloom-ckd.xml ] && fail "the MIME database still has the .ckd type"

[ $failed = 0 ] && echo "Debian package: built, Lintian-clean, installed, started, purged without a trace"
exit $failed
