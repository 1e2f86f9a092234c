#!/usr/bin/env bash
# check_desktop.sh <prefix>: the installed desktop entry, MIME package and metainfo pass their
# validators and agree with each other (the same MIME types, an icon that is installed).
set -euo pipefail
prefix=$1
share=$prefix/share
desktop=$share/applications/keyloomvkxx.desktop
mime=$share/mime/packages/keyloomvkxx.xml
metainfo=$share/metainfo/io.github.keyloom.KeyloomVKxx.metainfo.xml
status=0
fail() { echo "$*"; status=1; }

# desktop-file-validate exits 0 on hints; only errors and warnings count.
report=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $report"
grep -qE 'error|warning' <<< "$report" && fail "desktop-file-validate: $report"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate failed on $metainfo"

types=(application/x-keyloom-ckd application/x-keyloom-bin)
for type in "${types[@]}"; do
  grep -q "^MimeType=.*$type;" "$desktop" || fail "$desktop does not list $type"
  grep -q "<mime-type type=\"$type\">" "$mime" || fail "$mime does not define $type"
  grep -q "<mediatype>$type</mediatype>" "$metainfo" || fail "$metainfo does not provide $type"
done
grep -q '^Exec=KeyloomVKxx %f$' "$desktop" || fail "$desktop does not start the editor with the file"
[ -x "$prefix/bin/KeyloomVKxx" ] || fail "the program of Exec= is not installed"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -s "$share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon $icon"

# The MIME database compiler accepts the package and files the types under their glob and magic.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
database=$scratch/mime
mkdir -p "$database/packages"
cp "$mime" "$database/packages/"
# Any output is a complaint (with the scratch folder on the search path it prints no notes).
XDG_DATA_DIRS=$scratch update-mime-database "$database" > "$scratch/log" 2>&1 \
  || fail "update-mime-database failed"
[ -s "$scratch/log" ] && fail "update-mime-database: $(cat "$scratch/log")"
grep -qx 'application/x-keyloom-ckd:\*\.ckd' <(cut -d: -f2- "$database/globs2") || fail "no *.ckd glob"
grep -qx 'application/x-keyloom-ckd text/plain' "$database/subclasses" || fail ".ckd is not text/plain"
grep -aq 'x-keyloom-bin' "$database/magic" || fail "no magic for device images"
grep -q 'x-keyloom-bin' "$database/globs2" && fail "a glob names device images: it would claim every *.bin"
exit $status
