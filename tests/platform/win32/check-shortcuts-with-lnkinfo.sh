#!/usr/bin/env bash
# Reads the shortcuts that the Win32 backend writes with lnkinfo, a reader of the shortcut format
# that shares no code with Windows or Wine. Usage: check-shortcuts-with-lnkinfo.sh WINE HELPER.EXE
# Exit 77 (skipped) when lnkinfo is not installed.
set -euo pipefail
wine=$1
helper=$2
command -v lnkinfo > /dev/null || { echo "lnkinfo not installed (Debian package liblnk-utils)"; exit 77; }

folder=$(mktemp -d /tmp/keyloom-lnk.XXXXXX)
trap 'rm -rf "$folder"' EXIT
"$wine" "$helper" shortcuts "$(winepath -w "$folder")"

status=0
expect() { # file, label as lnkinfo prints it, value
  local actual
  actual=$(lnkinfo "$folder/$1" | sed -n "s/^[[:space:]]*$2[[:space:]]*: //p" | head -n 1 | tr -d '\r')
  if [ "$actual" != "$3" ]; then
    echo "$1: $2 is '$actual', expected '$3'"
    status=1
  fi
}
# This lnkinfo prints 0 for the hot key and the show command whatever the file holds, so the hot
# key word is read from its place in the header: a 16-bit little-endian word at offset 0x40.
expect_hot_key() { # file, word
  local actual
  actual=$(od -An -tx1 -j64 -N2 "$folder/$1" | awk '{ print "0x" $2 $1 }')
  if [ "$actual" != "$2" ]; then
    echo "$1: hot key is $actual, expected $2"
    status=1
  fi
}

expect Office.lnk "Local path" 'C:\Program Files\KeyloomVKxx\VKxxLoad.exe'
expect Office.lnk "Command line arguments" 'C:\Keypads\Office.ckd'
expect Office.lnk "Working directory" 'C:\Program Files\KeyloomVKxx\'
expect Office.lnk "Description" 'Office keys'
expect_hot_key Office.lnk 0x0641

expect report.lnk "Local path" 'C:\Reports\report.xls'
expect report.lnk "Command line arguments" ''
expect report.lnk "Working directory" 'C:\Reports\'
expect report.lnk "Description" 'Monthly report'
expect_hot_key report.lnk 0x0174

[ $status -ne 0 ] || echo "lnkinfo reads both shortcuts as written"
exit $status
