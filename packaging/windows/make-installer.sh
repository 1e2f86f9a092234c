#!/usr/bin/env bash
# make-installer.sh PROGRAM_FOLDER VERSION ICON OUTPUT: the Windows installer of the program folder
# (KeyloomVKxx.nsi), made with NSIS's makensis. The installer's File lines and the uninstaller's
# Delete lines are listed from the folder here, so that the uninstaller removes exactly what was
# installed.
set -euo pipefail
folder=$(realpath "$1") version=$2 icon=$(realpath "$3") output=$(realpath -m "$4")
here=$(dirname "$(realpath "$0")")
lists=$(mktemp -d)
trap 'rm -rf "$lists"' EXIT
mkdir -p "$(dirname "$output")"

# NSIS reads $ as the start of a variable and \ as the Windows path separator.
nsis_text() { local text=${1//\$/\$\$}; printf '%s' "${text//\//\\}"; }

(
  cd "$folder"
  while IFS= read -r dir; do
    dir=${dir#./}
    echo "SetOutPath \"\$INSTDIR$([ "$dir" = . ] || echo "\\$(nsis_text "$dir")")\""
    find "./$dir" -mindepth 1 -maxdepth 1 -type f | LC_ALL=C sort | while IFS= read -r file; do
      echo "File \"${folder//\$/\$\$}/${file#./}\""
    done
  done < <(find . -type d | LC_ALL=C sort)
) > "$lists/install.nsh"
(
  cd "$folder"
  find . -type f | LC_ALL=C sort | while IFS= read -r file; do
    echo "Delete \"\$INSTDIR\\$(nsis_text "${file#./}")\""
  done
  # The deepest folders first; RMDir without /r leaves a folder that still holds anything.
  find . -mindepth 1 -type d | LC_ALL=C sort -r | while IFS= read -r dir; do
    echo "RMDir \"\$INSTDIR\\$(nsis_text "${dir#./}")\""
  done
) > "$lists/uninstall.nsh"

makensis -V2 -NOCD -DVERSION="$version" -DOUTFILE="$output" -DICON="$icon" \
  -DINSTALL_FILES="$lists/install.nsh" -DUNINSTALL_FILES="$lists/uninstall.nsh" "$here/KeyloomVKxx.nsi"
