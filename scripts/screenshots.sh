#!/usr/bin/env bash
# Renders the main window on a virtual X display and writes docs/main-window-24.png and
# docs/main-window-48.png (both layouts), docs/main-window-11pt.png (a font resolution that makes
# the 9-point UI font as large as an 11-point one), docs/main-window-2x.png (twice the scale) and
# docs/main-window-dark.png (a dark colour scheme, set as a desktop sets it: through a platform
# theme, here qt6ct's), and docs/finding-codes.png (the code finder with its list open).
# Run it again whenever the window changes.
# KEYLOOM_BUILD names another build folder (default build/normal).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${KEYLOOM_BUILD:-build/normal}

if [ "${1:-}" != "--on-display" ]; then
  bash scripts/install-deps.sh
  # import (ImageMagick) grabs the window, xwininfo (x11-utils) finds it, qt6ct gives the dark scheme,
  # xdotool types into it.
  missing=()
  for package in imagemagick x11-utils qt6ct xdotool; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    as_root=()
    [ "$(id -u)" -eq 0 ] || as_root=(sudo)
    "${as_root[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
  if [ ! -f "$build/build.ninja" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
  fi
  cmake --build "$build" --target KeyloomVKxx -j "$(nproc)"
  mkdir -p docs
  exec xvfb-run -a -s "-screen 0 2600x2000x24 -nolisten tcp" bash "$0" --on-display
fi

work=$(mktemp -d)
program=
cleanup() {
  [ -n "$program" ] && kill "$program" 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
unset QT_QPA_PLATFORM

# Sets window to the id of the window titled $1 once it has appeared and painted.
find_window() {
  window=
  for _ in $(seq 100); do
    window=$(xwininfo -root -tree | awk -v title="\"$1\":" 'index($0, title) { print $1; exit }')
    [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || { echo "The window \"$1\" did not appear." >&2; exit 1; }
  sleep 1 # the first paint
}

# The layout comes from the settings file of a fresh home folder, as it does at a user's start.
# Each case: keys, the picture's name, and the environment the program runs in.
for case in "24:24:" "48:48:" "24:11pt:QT_FONT_DPI=117" "24:2x:QT_SCALE_FACTOR=2" \
            "24:dark:QT_QPA_PLATFORMTHEME=qt6ct"; do
  IFS=: read -r keys name setting <<< "$case"
  home=$work/home-$name
  mkdir -p "$home/Documents/Quorvane/KeyloomVKxx" "$work/run-$name"
  chmod 700 "$work/run-$name"
  printf '[CONFIGURATION]\r\nNumber_of_Keys=%s\r\n' "$keys" > "$home/Documents/Quorvane/KeyloomVKxx/KeyloomVKxx.ini"
  mkdir -p "$home/.config/qt6ct"
  printf '[Appearance]\ncolor_scheme_path=/usr/share/qt6ct/colors/darker.conf\ncustom_palette=true\nstyle=Fusion\n' \
    > "$home/.config/qt6ct/qt6ct.conf"

  env HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$work/run-$name" $setting \
    "$build/bin/KeyloomVKxx" &
  program=$!
  find_window "Quorvane KeyloomVKxx (VK$keys)"
  import -window "$window" "docs/main-window-$name.png"
  kill "$program"
  wait "$program" 2> /dev/null || true
  program=
  echo "docs/main-window-$name.png"
done

# A sample with descriptions: the keypad showing them, and the toolbar's Undo and Redo after a
# letter typed and taken back.
home=$work/home-24
env HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$work/run-24" "$build/bin/KeyloomVKxx" \
  examples/Macro_Files/MultiMediaKeys.ckd &
program=$!
find_window "Quorvane KeyloomVKxx (VK24)"
xdotool windowfocus --sync "$window"
xdotool type --delay 50 "hi"
xdotool key alt+BackSpace
sleep 1
import -window "$window" "$work/sample.png"
width=$(identify -format %w "$work/sample.png")
convert "$work/sample.png" -crop "$((width * 29 / 100))x$((width * 31 / 100))+0+$((width / 20))" +repage \
  -colors 64 "docs/keys-with-descriptions.png"
convert "$work/sample.png" -crop "$((width * 31 / 100))x$((width * 6 / 100))+$((width * 69 / 100))+0" +repage \
  -colors 64 "docs/undo-redo.png"
kill "$program"
wait "$program" 2> /dev/null || true
program=
echo "docs/keys-with-descriptions.png docs/undo-redo.png"

# The finder: Alt+F, a query typed, and the field beside the level tabs with the list under it.
home=$work/home-24
env HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$work/run-24" "$build/bin/KeyloomVKxx" &
program=$!
find_window "Quorvane KeyloomVKxx (VK24)"
xdotool windowfocus --sync "$window"
xdotool key alt+f
xdotool type --delay 50 "double"
sleep 1
import -window "$window" "$work/finder.png"
width=$(identify -format %w "$work/finder.png")
convert "$work/finder.png" -crop "$((width * 11 / 20))x$((width * 22 / 100))+$((width * 9 / 20))+$((width * 5 / 100))" +repage \
  -colors 64 "docs/finding-codes.png"
kill "$program"
wait "$program" 2> /dev/null || true
program=
echo "docs/finding-codes.png"
