#!/usr/bin/env bash
# Renders the Type Text dialog, with an e-mail address typed in, on a virtual X display and
# writes docs/type-text-dialog.png for the manual. Run it again whenever the dialog changes.
# Needs xvfb, xdotool, imagemagick and x11-utils. KEYLOOM_BUILD names another build folder
# (default build/normal).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${KEYLOOM_BUILD:-build/normal}

if [ "${1:-}" != "--on-display" ]; then
  cmake --build "$build" --target KeyloomVKxx
  exec xvfb-run -a -s "-screen 0 1600x1200x24 -nolisten tcp" bash "$0" --on-display
fi

work=$(mktemp -d)
program=
cleanup() {
  [ -n "$program" ] && kill "$program" 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
unset QT_QPA_PLATFORM

# A fresh home folder, as at a user's first start.
home=$work/home
mkdir -p "$home/Documents" "$work/run"
chmod 700 "$work/run"
env HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$work/run" "$build/bin/KeyloomVKxx" &
program=$!

# The window whose title is $1, once it shows.
find_window() {
  local found=
  for _ in $(seq 100); do
    found=$(xwininfo -root -tree | awk -v title="\"$1\":" 'index($0, title) { print $1; exit }')
    [ -n "$found" ] && break
    sleep 0.1
  done
  [ -n "$found" ] || { echo "The window \"$1\" did not appear." >&2; exit 1; }
  echo "$found"
}

main=$(find_window "Quorvane KeyloomVKxx (VK24)")
sleep 1 # the first paint
xdotool windowfocus --sync "$main" key alt+i
dialog=$(find_window "Type Text")
sleep 0.5
xdotool windowfocus --sync "$dialog" type --delay 20 "ann@example.org"
sleep 0.5
import -window "$dialog" docs/type-text-dialog.png
echo docs/type-text-dialog.png
