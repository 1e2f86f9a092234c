#!/usr/bin/env bash
# The Windows editor as a user starts it, under Wine on a virtual X display: from a copy of the
# program folder unpacked from its zip (so nothing of the build machine's paths can help), it opens
# its window, creates the working folders under Wine's Documents, refuses a second instance, and
# keys typed into the window and saved with the Save button write the same .ckd and .bin as the
# Linux editor writes for the same keys.
#
# test-windows-startup.sh ZIP LINUX_EDITOR
# Run by scripts/test-windows.sh, which sets up WINEPREFIX and the packages (wine, xvfb, xdotool,
# x11-utils, unzip).
set -euo pipefail
cd "$(dirname "$0")/.."
zip=$(realpath "$1")
linux_editor=$(realpath "$2")

if [ "${3:-}" != --on-display ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash "$0" "$zip" "$linux_editor" --on-display
fi

unset QT_QPA_PLATFORM
# A Wine server of its own for this display.
wineserver -k 2> /dev/null || true
wineserver -w 2> /dev/null || true
work=$(mktemp -d /tmp/keyloom-startup.XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2> /dev/null || true; done
  wineserver -k 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Says what failed and keeps a picture of the screen for a look afterwards.
fail() {
  echo "startup test: $*" >&2
  if import -window root /tmp/keyloom-startup-failure.png 2> /dev/null; then
    echo "startup test: the screen at that moment: /tmp/keyloom-startup-failure.png" >&2
  fi
  exit 1
}

# The X window whose title is exactly $1, waiting up to $2 seconds.
find_window() {
  local found pattern
  pattern=$(printf '%s' "$1" | sed 's/[][()\.*^$+?{}|]/\\&/g')
  for _ in $(seq $(($2 * 10))); do
    found=$(xdotool search --name "^$pattern\$" 2> /dev/null | head -1 || true)
    [ -n "$found" ] && { echo "$found"; return 0; }
    sleep 0.1
  done
  return 1
}

# The same keys and clicks on either editor: into the Level 1 grid of key 1, which has the focus at
# the start, then the toolbar's Save button (fixed width 72 after a margin of 8, third of them).
record_and_save() {
  local window=$1 file=$2
  local before
  before=$(sha256sum < "$file")
  xdotool windowfocus --sync "$window" 2> /dev/null || true
  xdotool mousemove --window "$window" 420 400
  sleep 0.5
  xdotool type --delay 60 "vk24"
  xdotool key --delay 60 shift+a Return F5
  sleep 0.5
  xdotool mousemove --window "$window" 192 24
  sleep 0.3
  xdotool click 1
  # Saving onto the file it was opened from asks first; Yes is the default answer.
  local question
  question=$(find_window KeyloomVKxx 30) || fail "Save did not ask to overwrite $file"
  sleep 0.5
  xdotool windowfocus --sync "$question" 2> /dev/null || true
  xdotool key Return
  for _ in $(seq 100); do
    [ "$(sha256sum < "$file")" != "$before" ] && return 0
    sleep 0.1
  done
  fail "Save did not write $file"
}

title="Quorvane KeyloomVKxx (VK24)"
sample=examples/Macro_Files/DefaultVK24.ckd

# The Linux editor writes the reference.
mkdir -p "$work/linux/home" "$work/linux/run" "$work/linux/keys"
chmod 700 "$work/linux/run"
cp "$sample" "$work/linux/keys/Keys.ckd"
HOME=$work/linux/home XDG_CONFIG_HOME=$work/linux/home/.config XDG_RUNTIME_DIR=$work/linux/run \
  "$linux_editor" "$work/linux/keys/Keys.ckd" &
pids+=($!)
window=$(find_window "$title" 30) || fail "the Linux window \"$title\" did not appear"
sleep 1
record_and_save "$window" "$work/linux/keys/Keys.ckd"
sleep 0.5
kill "${pids[-1]}"
window=

# The Windows editor, from the unpacked zip.
mkdir -p "$work/windows/program" "$work/windows/keys"
unzip -q "$zip" -d "$work/windows/program"
program=$(dirname "$(find "$work/windows/program" -name KeyloomVKxx.exe | head -1)")
cp "$sample" "$work/windows/keys/Keys.ckd"
keys_file=$(winepath -w "$work/windows/keys/Keys.ckd")
documents=$(winepath -u "$(wine cmd /c 'echo %USERPROFILE%' 2> /dev/null | tr -d '\r')")/Documents

wine "$program/KeyloomVKxx.exe" "$keys_file" > "$work/first.log" 2>&1 &
pids+=($!)
window=$(find_window "$title" 120) || fail "the Windows window \"$title\" did not appear"
echo "startup test: the window \"$title\" opened"
sleep 2

area="$documents/Quorvane/KeyloomVKxx"
for expected in "$area/Macro_Files/DefaultVK24.ckd" "$area/Macro_Files/MouseClicks.ckd" \
                "$area/Keycap_Labels/Keycap_Labels_Large.bmp"; do
  [ -f "$expected" ] || fail "no ${expected#"$documents"/} under Wine's Documents"
done
echo "startup test: the working folders are under Wine's Documents"

# A second start shows the refusal, titled with the program's name, and ends when it is answered.
wine "$program/KeyloomVKxx.exe" > "$work/second.log" 2>&1 &
second=$!
pids+=($second)
refusal=$(find_window KeyloomVKxx 60) || fail "a second instance showed no refusal"
import -window "$refusal" "$work/refusal.png" 2> /dev/null || true
xdotool windowfocus --sync "$refusal" 2> /dev/null || true
xdotool mousemove --window "$refusal" 10 10
xdotool key Return
for _ in $(seq 100); do
  kill -0 "$second" 2> /dev/null || break
  sleep 0.1
done
kill -0 "$second" 2> /dev/null && fail "the second instance did not end after its refusal"
wait "$second" || fail "the second instance ended with an error"
find_window "$title" 1 > /dev/null || fail "the first window went away with the second instance"
echo "startup test: a second instance was refused"

record_and_save "$window" "$work/windows/keys/Keys.ckd"
sleep 1
for extension in ckd bin; do
  cmp "$work/linux/keys/Keys.$extension" "$work/windows/keys/Keys.$extension" \
    || fail "Keys.$extension written on Windows differs from the Linux one"
done
cmp -s "$sample" "$work/windows/keys/Keys.ckd" && fail "the typed keys did not change the file"
echo "startup test: the Windows editor saved the same Keys.ckd and Keys.bin as the Linux editor"

# With KEYLOOM_SCREENSHOTS set to a folder: the window and two dialogs as Windows draws them. Each
# dialog is shown by a start of its own, as a dialog under Wine without a window manager does not
# always take the keyboard's focus to be closed again.
if [ -n "${KEYLOOM_SCREENSHOTS:-}" ]; then
  mkdir -p "$KEYLOOM_SCREENSHOTS"
  window_taken=0
  # Toolbar places: buttons 72 wide, blanks 16, 2 apart, after a margin of 8.
  for dialog in "358:Keypad Properties:windows-properties.png" "746:Shortcut Wizard:windows-shortcut-wizard.png"; do
    IFS=: read -r x dialog_title picture <<< "$dialog"
    wineserver -k 2> /dev/null || true
    wineserver -w 2> /dev/null || true
    wine "$program/KeyloomVKxx.exe" "$keys_file" > "$work/screenshot.log" 2>&1 &
    pids+=($!)
    window=$(find_window "$title" 120) || fail "the window \"$title\" did not appear again"
    sleep 2
    # The window itself, from the first of these starts: the start-up test's own has closed.
    if [ "$window_taken" = 0 ]; then
      import -window "$window" "$KEYLOOM_SCREENSHOTS/windows-main-window.png"
      window_taken=1
    fi
    xdotool mousemove --window "$window" "$x" 24
    sleep 0.3
    xdotool click 1
    shown=$(find_window "$dialog_title" 30) || fail "the dialog \"$dialog_title\" did not open"
    sleep 1
    import -window "$shown" "$KEYLOOM_SCREENSHOTS/$picture"
  done
  echo "startup test: screenshots in $KEYLOOM_SCREENSHOTS"
fi
