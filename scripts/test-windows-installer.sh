#!/usr/bin/env bash
# The Windows installer under Wine, as a user and an administrator use it, on a virtual X display:
# a silent install (/S) for the current user puts the program folder, the Start-menu entry, the
# desktop icon, the .ckd association and the entry in the list of installed programs in place; the
# editor starts from the Start-menu shortcut's target and fills its working folders; a .ckd opened
# by the association's open command opens in the editor; installing again over it and the silent uninstall
# keep the user's files, and the uninstall leaves no program file and no registry key behind.
#
# test-windows-installer.sh INSTALLER PROGRAM_FOLDER VERSION
# Run by scripts/test-windows.sh, which sets up WINEPREFIX and the packages (wine, xvfb, xdotool,
# liblnk-utils).
set -euo pipefail
cd "$(dirname "$0")/.."
installer=$(realpath "$1")
program_folder=$(realpath "$2")
version=$3

if [ "${4:-}" != --on-display ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash "$0" "$installer" "$program_folder" \
    "$version" --on-display
fi

unset QT_QPA_PLATFORM
# A Wine server of its own for this display.
wineserver -k 2> /dev/null || true
wineserver -w 2> /dev/null || true
work=$(mktemp -d /tmp/keyloom-installer.XXXXXX)
cleanup() {
  wineserver -k 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "installer test: $*" >&2
  if import -window root /tmp/keyloom-installer-failure.png 2> /dev/null; then
    echo "installer test: the screen at that moment: /tmp/keyloom-installer-failure.png" >&2
  fi
  exit 1
}

# The first window whose title is exactly $1, waiting up to $2 seconds.
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

# Ends the program that shows window $1, and waits until its window is gone.
close_window() {
  local pid
  pid=$(xdotool getwindowpid "$1" 2> /dev/null) || fail "no process for window $1"
  kill "$pid"
  for _ in $(seq 100); do
    xdotool getwindowname "$1" > /dev/null 2>&1 || return 0
    sleep 0.1
  done
  fail "the editor did not end"
}

registry_value() { # KEY [NAME]: the data of the value NAME, or of the key's default value
  local name=(/ve) shown='(Default)'
  [ $# -lt 2 ] || { name=(/v "$2"); shown=$2; }
  wine reg query "$1" "${name[@]}" 2> /dev/null | tr -d '\r' | sed -n "s/^ *$shown *REG_[A-Z_]* *//p" | grep .
}
registry_key_exists() { wine reg query "$1" > /dev/null 2>&1; }

IFS='|' read -r local_appdata appdata profile < <(wine cmd /c 'echo %LOCALAPPDATA%^|%APPDATA%^|%USERPROFILE%' \
  2> /dev/null | tr -d '\r')
program=$(winepath -u "$local_appdata\\Programs\\KeyloomVKxx")
start_menu_entry=$(winepath -u "$appdata\\Microsoft\\Windows\\Start Menu\\Programs\\KeyloomVKxx.lnk")
desktop_icon=$(winepath -u "$profile\\Desktop\\KeyloomVKxx.lnk")
area=$(winepath -u "$profile\\Documents\\Quorvane\\KeyloomVKxx")
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\KeyloomVKxx'
progid_key='HKCU\Software\Classes\KeyloomVKxx.ckd'
extension_key='HKCU\Software\Classes\.ckd'

# Installed silently: the program folder exactly, its shortcuts and its registry entries.
wine "$installer" /S || fail "the silent install failed"
diff -r --exclude=Uninstall.exe "$program_folder" "$program" > "$work/diff" \
  || fail "the installed program folder differs from the built one: $(head -5 "$work/diff")"
[ -f "$program/Uninstall.exe" ] || fail "no uninstaller"
[ -f "$desktop_icon" ] || fail "no desktop icon"
[ "$(registry_value "$uninstall_key" DisplayVersion)" = "$version" ] || fail "Add/Remove Programs: no version $version"
[ "$(registry_value "$uninstall_key" Publisher)" = Quorvane ] || fail "Add/Remove Programs: no publisher"
[ "$(registry_value "$uninstall_key" DisplayName)" = KeyloomVKxx ] || fail "Add/Remove Programs: no name"
registry_value "$uninstall_key" QuietUninstallString | grep -q ' /S$' || fail "no silent uninstall command"
[ "$(registry_value "$extension_key")" = KeyloomVKxx.ckd ] || fail ".ckd is not associated"
registry_value "$progid_key\\DefaultIcon" | grep -q 'KeyloomVKxx.exe,0$' || fail ".ckd files have no icon"
echo "installer test: installed silently into $local_appdata\\Programs\\KeyloomVKxx"

# The Start-menu entry's target starts the editor, which fills the documents area.
[ -f "$start_menu_entry" ] || fail "no Start-menu entry"
target=$(lnkinfo "$start_menu_entry" | sed -n 's/^[[:space:]]*Local path[[:space:]]*: //p')
[ -n "$target" ] || fail "the Start-menu entry names no program"
wine "$(winepath -u "$target")" > "$work/menu.log" 2>&1 &
window=$(find_window "Quorvane KeyloomVKxx (VK24)" 120) || fail "the editor did not start from the Start menu"
for sample in Macro_Files/DefaultVK24.ckd Keycap_Labels/Keycap_Labels_Large.bmp; do
  [ -f "$area/$sample" ] || fail "the installed editor did not create $sample under Documents"
done
close_window "$window"
echo "installer test: the Start-menu entry starts the editor, which made its working folders"

# A .ckd opened as the shell opens it, by the open command of the type the association names
# (Wine's shell does not read the per-user classes that Windows merges in): the editor opens it
# in the file's own layout. Opening from the command line writes no .bin; saving does.
mkdir -p "$work/keys"
cp examples/Macro_Files/DefaultVK48.ckd "$work/keys/Keys.ckd"
progid=$(registry_value "$extension_key")
open_command=$(registry_value "HKCU\\Software\\Classes\\$progid\\shell\\open\\command")
[[ $open_command =~ ^\"([^\"]+)\"\ \"%1\"$ ]] || fail "the open command of .ckd files is \"$open_command\""
wine "$(winepath -u "${BASH_REMATCH[1]}")" "$(winepath -w "$work/keys/Keys.ckd")" > "$work/open.log" 2>&1 &
window=$(find_window "Quorvane KeyloomVKxx (VK48)" 120) || fail "the associated .ckd did not open in the editor"
close_window "$window"
echo "installer test: a .ckd opens in the editor through the association"

# The user's own files, and the ones the editor made, outlive an upgrade and the uninstall.
echo "[GLOBAL_PARAMETERS]" > "$area/Macro_Files/Mine.ckd"
documents_before=$(cd "$area" && find . -type f -exec sha256sum {} + | sort)
[[ $documents_before == *Mine.ckd* ]] || fail "no user file to keep"
wine "$installer" /S || fail "installing over the installed copy failed"
[ "$(cd "$area" && find . -type f -exec sha256sum {} + | sort)" = "$documents_before" ] \
  || fail "installing again changed the user's documents"
[ -f "$program/KeyloomVKxx.exe" ] || fail "installing again left no program"

# The uninstaller copies itself away and returns at once; its copy is done when the folder is gone.
wine "$program/Uninstall.exe" /S || fail "the silent uninstall failed"
for _ in $(seq 600); do [ -e "$program" ] || break; sleep 0.1; done
[ -e "$program" ] && fail "the uninstall left $(find "$program" | head -5)"
for left in "$start_menu_entry" "$desktop_icon"; do
  [ -e "$left" ] && fail "the uninstall left $left"
done
for key in "$uninstall_key" "$progid_key" "$extension_key"; do
  registry_key_exists "$key" && fail "the uninstall left the registry key $key"
done
[ "$(cd "$area" && find . -type f -exec sha256sum {} + | sort)" = "$documents_before" ] \
  || fail "the uninstall changed the user's documents"
echo "installer test: the upgrade and the silent uninstall kept the user's documents; nothing else left"
