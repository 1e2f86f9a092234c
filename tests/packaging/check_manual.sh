#!/usr/bin/env bash
# check_manual.sh <pdf> <minimum pages>: the built manual is a PDF with at least that many pages.
set -euo pipefail
pdf=$1 minimum=$2
[ -s "$pdf" ] || { echo "no manual at $pdf"; exit 1; }
[ "$(head -c 5 "$pdf")" = "%PDF-" ] || { echo "$pdf does not start with %PDF-"; exit 1; }
# Page objects, not the page tree ("/Type /Pages").
pages=$(grep -aoE '/Type */Page([^s]|$)' "$pdf" | wc -l)
echo "$pdf: $pages pages"
[ "$pages" -ge "$minimum" ] || { echo "expected at least $minimum pages"; exit 1; }
